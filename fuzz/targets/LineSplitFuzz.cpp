// SPDX-License-Identifier: GPL-3.0-or-later
// Splitting of data-file lines into names and cells, and the test for text cells.
// Input: the line.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/TextTools.h"

#include <algorithm>

namespace kivspc::fuzz {

namespace {

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '\t' || c == ' ' || c == '+' || c == ',' || c == '-' || c == '.' ||
           c == 'E' || c == 'e';
}

std::string Joined(const std::vector<std::string_view>& fields, char delimiter) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += delimiter;
        line += fields[i];
    }
    return line;
}

} // namespace

int FuzzLineSplitting(const std::uint8_t* data, std::size_t size) {
    ResetCore();
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    std::vector<std::string> names{"stale"};
    const bool dropped = SplitHeaderLine(line, names);
    Check(names.size() <= static_cast<std::size_t>(kMaxColumns), "at most 512 names");
    Check(!dropped || names.size() == static_cast<std::size_t>(kMaxColumns),
          "names are dropped only past 512");
    for (const std::string& name : names)
        Check(CharCount(name) <= static_cast<std::size_t>(kMaxFieldChars),
              "a name keeps at most 80 characters");

    std::vector<std::string_view> cells{"stale"};
    SplitDataLine(line, cells);
    for (std::string_view cell : cells)
        Check(cell.data() >= line.data() && cell.data() + cell.size() <= line.data() + line.size(),
              "cells point into the line");
    const char delimiter = line.find('\t') != std::string_view::npos  ? '\t'
                           : line.find(',') != std::string_view::npos ? ','
                                                                      : ' ';
    if (delimiter != ' ') {
        // Nothing is lost between the delimiters; one at the very end starts no further cell.
        const std::string rebuilt = Joined(cells, delimiter);
        Check(rebuilt == line || rebuilt + delimiter == line,
              "the cells and their delimiters make up the line");
    } else {
        for (std::string_view cell : cells)
            Check(!cell.empty() && cell.find(' ') == std::string_view::npos,
                  "blank-delimited cells hold no blanks");
    }

    Check(HasNonNumericChar(line) == !std::all_of(line.begin(), line.end(), IsNumberChar),
          "HasNonNumericChar finds exactly the characters outside the number characters");
    return 0;
}

} // namespace kivspc::fuzz
