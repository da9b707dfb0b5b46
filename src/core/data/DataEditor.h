// SPDX-License-Identifier: GPL-3.0-or-later
// What the data editor window shows and decides, kept here so that tests and batch programs
// reach it without a window: the caption and status texts, spreadsheet jumps, default names.
#pragma once

#include "data/TableEdit.h"

#include <string>
#include <string_view>

namespace kivspc {

enum class JumpDirection { Up, Down, Left, Right };

struct CellPosition {
    int Column = 1;
    int Row = 1;
};

// Where Ctrl+arrow goes from a cell: from a filled cell to the last filled cell of its run, from
// an empty cell (or the end of a run) to the next filled cell, else to the table's edge.
CellPosition JumpTarget(CellPosition from, JumpDirection direction);

// The name corrections made when rename mode ends: an empty name becomes "Col" + its number, and
// a name "Col" + number (any case) whose number is not its column's gets its column's number.
edits::Sequence DefaultNameCorrections();

// Why a name typed over column `current`'s name is refused: a name of blanks alone names nothing
// (an empty name still becomes the default). Empty when the name is taken.
std::string ColumnNameProblem(std::string_view name, const std::string& current);

// The editor's caption: "Data - " + file (+ "  (modified)"), or "Data" for a new table.
std::string DataFormCaption();
// The texts of the five status panels.
std::string StatusCellText(int col, int row);
std::string StatusMissingText();
std::string StatusTransformText();
std::string StatusProcessIfText();
std::string StatusSizeText();
// The hint of the status bar: the active filters and the size, one per line.
std::string StatusHint();

// False for the empty new table (one column, one row).
bool HasData();

} // namespace kivspc
