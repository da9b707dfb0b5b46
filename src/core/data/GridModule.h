// SPDX-License-Identifier: GPL-3.0-or-later
// What the program's string grids share: copying a selection as tab-delimited text and printing
// a grid as a paged text table through the printer text device.
#pragma once

#include "output/MPrinters.h"
#include "output/OutputPrinting.h"

#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

// A grid of texts with a fixed row 0 (column names) and fixed column 0 (row labels).
class TextGrid {
public:
    virtual ~TextGrid() = default;
    virtual int GridColumnCount() const = 0; // including column 0
    virtual int GridRowCount() const = 0;    // including row 0
    virtual std::string GridCell(int col, int row) const = 0;
};

// A rectangle of cells, inclusive on every side.
struct GridSelection {
    int Left = 1, Top = 1, Right = 1, Bottom = 1;
};

// The text CopyGridSelection puts on the clipboard: per row, cells joined by TAB, CR LF after each
// line. Corners in either order are accepted; the rectangle is cut to the grid (empty outside it).
std::string GridSelectionText(const TextGrid& grid, const GridSelection& s);

// Portrait at start-up; afterwards the orientation last chosen in the grid print dialog.
extern PrintOrientation GridPrintOrientation;
// Back to the start-up state: portrait.
void ResetGridModule();

// Prints rows/columns (the selection, or columns 1..last and rows 1..last when selection is null)
// on the device, whose print job the caller has started and ends afterwards. Each page carries
// the heading, an empty line, the column line and its rows; pages go across the columns first,
// then down the rows.
void PrintGrid(const TextGrid& grid, std::string_view title, std::string_view heading,
               const GridSelection* selection, PrintOrientation orientation, TextDevice& device);

// The layout arithmetic of PrintGrid, reachable on its own.

// The rows and columns a print covers; empty (First > Last) when there is nothing of that kind.
struct GridPrintRange {
    int FirstColumn = 1, LastColumn = 0, FirstRow = 1, LastRow = 0;
};

// The range printed for a selection (cut to the grid's data cells), or every data cell for none.
GridPrintRange GridPrintedRange(const TextGrid& grid, const GridSelection* selection);

// Widths in characters: [0] is the label column, then one per printed column. Each is the
// length of the longest text among the column's row 0 and its printed rows, plus 3.
std::vector<int> GridColumnWidths(const TextGrid& grid, const GridPrintRange& range);

// Table rows that fit below the heading, the empty line and the column line: the printable
// height over the line height (text height + 2), less those three lines; less one more row for
// every line height (or part of one) by which the heading's text is higher than a table line.
// At least 1.
int GridRowsPerPage(int printableHeight, int textHeight, int headingHeight);

// Characters of the table font that fit on a line, less one. At least 1.
int GridCharsPerLine(int printableWidth, int averageCharWidth);

// One printed page: its columns and rows (grid indices, inclusive; First > Last when none).
struct GridPage {
    int FirstColumn, LastColumn, FirstRow, LastRow;
    bool operator==(const GridPage&) const = default;
};

// Pages in printing order. widths as from GridColumnWidths. A page's columns are the next ones
// whose running width, starting from the label width, stays within charsPerLine (at least one);
// its rows the next rowsPerPage. Across the columns of the same rows first, then down.
std::vector<GridPage> GridPagePlan(const GridPrintRange& range, const std::vector<int>& widths,
                                   int charsPerLine, int rowsPerPage);

} // namespace kivspc
