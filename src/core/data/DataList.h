// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric cache of the data table. Analyses never read cell texts: they read Values,
// which RebuildValues fills from the texts (numbers, MissingValue, or the levels of text
// columns) whenever they have changed.
#pragma once

#include "app/MissingValue.h"
#include "app/TextTools.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kivspc {

class TDataList {
public:
    std::array<double, kMaxColumns + 1> Max{};
    std::array<double, kMaxColumns + 1> Min{};
    std::array<std::uint8_t, kMaxColumns + 1> HasRange{};
    std::array<std::uint8_t, kMaxColumns + 1> Selected{};
    std::array<std::uint8_t, kMaxColumns + 1> IsText{};
    std::int32_t RowsCached = 0;
    std::int32_t RowCapacity = 0;
    bool Resized = false;
    std::int32_t SampleCapacity = 0;
    std::int32_t SpecColumn = 0;
    std::int32_t ColumnCapacity = 0;

    void MarkRowChanged(int row);
    // Every row of the last pasted block (PasteFirstRow..PasteLastRow).
    void MarkRangeChanged();
    void MarkAllRowsChanged();
    void RebuildValues();
    // Builds the cache from columns converted while a file was read (index 1..C, each R + 1
    // long, text columns flagged in isText); columns not given are converted here.
    void AdoptConvertedValues(std::vector<std::vector<double>>&& converted,
                              const std::vector<std::uint8_t>& isText);
    // Grows SampleX to hold n values (index 0..n).
    void EnsureSampleCapacity(int n);

private:
    void Rebuild(std::vector<std::vector<double>>* converted, const std::vector<std::uint8_t>* knownText);
};

// The cache of the current table; NewDataList replaces it with an empty one.
extern TDataList DataList;

// Values[col][row]: col 1..C + RowStatisticColumns, row 1..R; index 0 unused. The row-statistic
// columns stay empty until EnsureRowStatisticColumns allocates them.
extern std::vector<std::vector<double>> Values;
// LevelFirstRow[col][level]: the row where a level of a text column first occurs.
extern std::vector<std::vector<std::int32_t>> LevelFirstRow;
extern std::vector<std::uint8_t> RowChanged;
// Sized by the grouping of rows when it is first needed.
extern std::vector<std::int32_t> RowGroupCode;
struct TGroupSort {
    std::vector<std::int32_t> Code;
    std::vector<std::int32_t> Row;
};
extern TGroupSort GroupSort;
// Some cell text changed since the last rebuild.
extern bool ValuesStale;
// Rows of the last pasted block.
extern int PasteFirstRow;
extern int PasteLastRow;

// Allocates the row-statistic columns C+1..C+3 (filled with MissingValue) before an analysis
// writes row means, standard deviations and counts into them.
void EnsureRowStatisticColumns();

// Frees the cache and all its arrays and starts an empty one (a new table).
void NewDataList();
// An empty table and an empty cache.
void NewDataTable();

int ColumnCount();
// The Title of a column when it has one, else its name; empty outside the table.
std::string ColumnLabel(int col);
double ColumnUSL(int col);
double ColumnTarget(int col);
double ColumnLSL(int col);
// The text of a level: the first cell holding it (text columns) or the number itself.
std::string LevelText(int col, int level);

} // namespace kivspc
