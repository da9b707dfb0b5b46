// SPDX-License-Identifier: GPL-3.0-or-later
// Saving loses nothing: a table loaded from any file, saved with names and descriptions and
// loaded again, is the same table (names, descriptions, every cell). Input: the file's bytes.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/DataFile.h"
#include "data/DataU.h"

#include <vector>

namespace kivspc::fuzz {

namespace {

struct TableTexts {
    int columns = 0;
    int rows = 0;
    std::vector<std::string> texts; // per column: name, four descriptions, the cells

    bool operator==(const TableTexts&) const = default;
};

TableTexts Snapshot() {
    const TDataTable& table = DataTable();
    TableTexts t{table.ColumnCount(), table.RowCount(), {}};
    for (int c = 1; c <= t.columns; ++c) {
        t.texts.push_back(table.ColumnName(c));
        for (int d = kTitleRow; d <= kLSLRow; ++d)
            t.texts.push_back(table.Description(c, d));
        for (int r = 1; r <= t.rows; ++r)
            t.texts.emplace_back(table.Cell(c, r));
    }
    return t;
}

} // namespace

int FuzzFileRoundTrip(const std::uint8_t* data, std::size_t size) {
    ResetCore();
    FuzzInput in(data, size);
    const TempFile input("round-trip.kivs");
    const TempFile output("round-trip-saved.kivs");
    const std::string& path = input.Path();
    const std::string& saved = output.Path();
    if (!WriteBytes(path, in.Rest()) || !LoadFile(path)) return 0;
    const TableTexts loaded = Snapshot();
    if (!WriteDataFile(saved, true, false, true)) return 0;
    Check(LoadFile(saved), "a saved table loads again");
    const TableTexts reloaded = Snapshot();
    Check(reloaded.columns == loaded.columns && reloaded.rows == loaded.rows, "a saved table keeps its size");
    Check(reloaded == loaded, "a saved table keeps its names, descriptions and cells");
    return 0;
}

} // namespace kivspc::fuzz
