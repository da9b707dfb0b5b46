// SPDX-License-Identifier: GPL-3.0-or-later
// Pasting clipboard text into the data table: the shape of the text against the shape of the
// selection decides where it goes, the table grows to take it, and a first line of words may
// become the column names. A paste is one table edit, so it is undone in one step.
#pragma once

#include "data/DataFile.h"

#include <string_view>

namespace kivspc {

struct PasteOutcome {
    bool Pasted = false;
    // The first line became the names of the columns from the selection's left on.
    bool NamesTaken = false;
    // Columns were added to the table.
    bool ColumnsGrew = false;
};

// Pastes text into the cells at the selection (table coordinates, 1-based): asks whether a
// first line of words should name the columns, refuses with "Maximum Number of Columns
// Exceeded." before anything changes when the table would need more than 512 columns, grows the
// table and writes the cells by the shape rules. The pasted rows become the changed-row range.
PasteOutcome PasteIntoDataGrid(std::string_view text, const CellRange& selection);
// Pastes text into the description rows (1 Title .. 4 LSL) of the selection's columns; lines
// beyond the LSL row are dropped, columns are added as for the data.
PasteOutcome PasteIntoSelection(std::string_view text, const CellRange& selection);

} // namespace kivspc
