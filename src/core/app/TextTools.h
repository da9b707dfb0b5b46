// SPDX-License-Identifier: GPL-3.0-or-later
// Text helpers: blanks and padding, column tags, number lists typed by the user, the
// splitting of data-file lines and the conversion of cell texts to numbers.
// Lengths count characters (UTF-8), not bytes.
#pragma once

#include "app/MissingValue.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

inline constexpr int kMaxColumns = 512;
// Names and descriptions read from a file keep at most this many characters.
inline constexpr int kMaxFieldChars = 80;

// UTF-8 aware lengths and prefixes.
std::size_t CharCount(std::string_view s);
std::string_view CharPrefix(std::string_view s, std::size_t chars);

std::string Blanks(int n);
std::string PadRight(std::string_view s, int w);
std::string PadLeft(std::string_view s, int w);
std::string TrimBlanks(std::string_view s);
std::string RemoveBlanks(std::string_view s);
std::string CollapseBlanks(std::string_view s);
std::string DropLastChar(std::string_view s);
std::string DropTag(std::string_view s);

// Two letters naming a column in list boxes: column 1 is "AB", 25 "BA", 512 "UM".
std::string ColumnTag(int col);
// The column number of the tag at the start of text; 0 when there is no tag.
int TagColumn(std::string_view text);

// The shared work string used to assemble messages and labels.
extern std::string WorkText;
void AppendWorkText(std::string_view s);

// Blank-commas setting of ParseNumberList (asked once after each data file load).
extern bool AskBlankCommas;
extern bool BlankCommasMissing;

// Parses up to 512 numbers typed by the user. texts and values are cleared and filled in
// order (index 0 is the first entry); a blank entry has an empty text and MissingValue.
void ParseNumberList(std::string_view text, std::vector<std::string>& texts, std::vector<double>& values,
                     int& count);
// Every maximal run of digits as a 16-bit integer (values beyond 32767 are held at 32767).
void ParseIntegerList(std::string_view text, std::vector<int>& values, int& count);
// The first run of digits whose value is at least 1; 0 when all runs are zero; -1 without digits.
long long FirstInteger(std::string_view text);

// Calls field(view) for every field of line between delimiters, in order, until it returns false.
// A delimiter at the very end of the line gives a final empty field only with keepTrailingEmpty;
// an empty line is one empty field with it and none without. The views point into line.
// firstDelimiter, when the caller has already found it, saves searching for it again.
template <typename Field>
void ForEachField(std::string_view line, char delimiter, bool keepTrailingEmpty, Field&& field,
                  const char* firstDelimiter = nullptr) {
    if (line.empty()) {
        // memchr must not see the null pointer an empty view may hold.
        if (keepTrailingEmpty) field(std::string_view());
        return;
    }
    const char* start = line.data();
    const char* end = start + line.size();
    const char* at = firstDelimiter;
    while (true) {
        if (!at)
            at = static_cast<const char*>(
                std::memchr(start, delimiter, static_cast<std::size_t>(end - start)));
        if (!at) {
            if (start < end || keepTrailingEmpty)
                field(std::string_view(start, static_cast<std::size_t>(end - start)));
            return;
        }
        if (!field(std::string_view(start, static_cast<std::size_t>(at - start)))) return;
        start = at + 1;
        at = nullptr;
        if (start == end && !keepTrailingEmpty) return;
    }
}

// True when text holds a character other than tab, blank, "+", ",", "-", ".", digits, "E", "e".
bool HasNonNumericChar(std::string_view text);
// True when the whole text reads as a number in a cell, or is one of the cells' missing-value
// marks "." and "..". "E", "-" or "1-2" are not numbers, although they hold no other character.
bool IsNumberText(std::string_view text);
// The number boxes' comma rule for a whole text: a comma stands for the decimal point. A text
// that reads as a number once its one comma is a point ("24,995", "-0,5", ",5") comes back with
// the point; any other text comes back as it is ("1,2,3", "1,5.2", "a,b").
std::string DecimalCommaAsPoint(std::string_view text);
// Names line: tabs only when the line has a tab, else runs of blanks and commas. At most 512
// fields of at most 80 characters; returns true when fields were dropped.
bool SplitHeaderLine(std::string_view line, std::vector<std::string>& fields);
// Data line: tabs, else commas, else blanks (trimmed and collapsed). The views point into line.
void SplitDataLine(std::string_view line, std::vector<std::string_view>& fields);

// Converts a number text with the cell rules: ".5" and "-.5" get their zero, one trailing "."
// is dropped, an optional sign and exponent are read, anything left over fails. The whole
// text must be used; leading blanks are skipped. Returns false (value untouched) on failure.
bool ConvertNumber(std::string_view text, double& value);
// ConvertNumber that tells where it failed: 0 when the text converted, else the 1-based
// position of the first character that is not part of the number.
int ConvertNumberAt(std::string_view text, double& value);
// The numeric value of a cell text: MissingValue when empty, ".", "..", or not a number.
double CellTextToValue(std::string_view text);
// [sign] digits [. digits] with at most 15 digits, the common case of measured values, converted
// exactly as the general rules would: a mantissa below 2^53 divided by an exact power of ten is
// correctly rounded. False for anything else.
inline bool PlainDecimal(std::string_view text, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = text.data();
    const char* end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
        if (d <= 9) {
            mantissa = mantissa * 10 + d;
            ++digits;
            decimals += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0 || digits > 15) return false;
    const double v = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    value = negative ? -v : v;
    return true;
}

bool NumericCellValueSlow(std::string_view text, double& value);

// Classifies a cell: false for a text cell (it holds a character that is no part of a number);
// otherwise true with value set as CellTextToValue would. Fast for plain decimals.
inline bool NumericCellValue(std::string_view text, double& value) {
    if (text.size() <= 17 && PlainDecimal(text, value)) return true;
    return NumericCellValueSlow(text, value);
}

// Adds x to an extended-precision running total.
inline void AddToTotal(Extended& total, double x) { total += x; }
// Local time of day in seconds.
double SecondsOfDay();

} // namespace kivspc
