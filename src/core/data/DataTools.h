// SPDX-License-Identifier: GPL-3.0-or-later
// Data editor tools that reshape the table: numbering the combinations of several columns as
// runs, recoding columns into ranks of their distinct values, and repeating rows by a weight
// column. Each result goes into the table as one undoable table edit.
#pragma once

#include <string>
#include <vector>

namespace kivspc {

// The most rows the table can hold: row numbers and row counts are 32-bit throughout, and a row
// past the last one must still have a number.
inline constexpr int kMaxRows = 2147483646;

// Appends the column "Run" numbering the distinct combinations of the columns' values 1, 2, ...
// in the order of the grouping (the first column varies slowest); rows where one of the columns
// has no value stay empty. A table of one row gets no column. Returns the new column, or 0.
int GenerateRunNumbers(const std::vector<int>& columns);

// Appends, for each column in order, the column "<name>_R" holding the rank codes 1, 2, ... of
// the column's distinct valid values from lowest to highest, over all rows; rows without a valid
// value stay empty. All columns or none: too many for the table gives "Maximum Number of Columns
// Exceeded." Returns the number of columns added.
int AutoRecode(const std::vector<int>& columns);

enum class TWeightResult {
    Done,     // the rows were repeated (or every weight was 1)
    Declined, // the user answered No to the new row count
    Refused,  // a weight or the total was unusable; the message was shown
};
struct TWeightOutcome {
    TWeightResult Result = TWeightResult::Refused;
    long long NewRowCount = 0;
    std::string Message; // the refusal shown, if any
};

// The new row count (the sum of the weights rounded halves to even), or a refusal naming the
// first row whose weight is missing, not a number or below 1 after rounding, or a total beyond
// kMaxRows. Nothing is shown and nothing changes.
TWeightOutcome PlanWeightCases(int weightColumn);
// Repeats each row as many times as its rounded weight says: the rows stay where they are and
// the copies follow the last row, row by row (row 1's copies first). The new row count is asked
// first ("New Row Count = N, Continue?").
TWeightOutcome WeightCases(int weightColumn);

} // namespace kivspc
