// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/GridModule.h"

#include "app/TextTools.h"

#include <algorithm>
#include <utility>

namespace kivspc {

PrintOrientation GridPrintOrientation = PrintOrientation::Portrait;

void ResetGridModule() { GridPrintOrientation = PrintOrientation::Portrait; }

namespace {

TOutputFont TableFont() {
    TOutputFont font;
    font.Name = "Courier New";
    font.Size = 9.0;
    return font;
}

TOutputFont HeadingFont() {
    TOutputFont font = TableFont();
    font.Name = "Arial";
    font.Bold = true;
    return font;
}

// A cell's text; empty outside the grid (a grid without even its fixed row or column).
std::string CellText(const TextGrid& grid, int col, int row) {
    if (col < 0 || row < 0 || col >= grid.GridColumnCount() || row >= grid.GridRowCount()) return {};
    return grid.GridCell(col, row);
}

// Appends the text right-aligned in a field of the given number of characters.
void AppendRightAligned(std::string& line, std::string_view text, int width) {
    const auto length = static_cast<long long>(CharCount(text));
    if (length < width) line.append(static_cast<std::size_t>(width - length), ' ');
    line.append(text);
}

// A table line: the label right-aligned in the label width less 3, " | ", then every cell of the
// page's columns right-aligned in its width.
std::string TableLine(const TextGrid& grid, int row, const GridPage& page, const GridPrintRange& range,
                      const std::vector<int>& widths) {
    std::string line;
    AppendRightAligned(line, CellText(grid, 0, row), widths[0] - 3);
    line += " | ";
    for (int col = page.FirstColumn; col <= page.LastColumn; ++col)
        AppendRightAligned(line, CellText(grid, col, row),
                           widths[static_cast<std::size_t>(col - range.FirstColumn + 1)]);
    return line;
}

// The next chunk of at most `size` items from `first`, never empty; one empty chunk when there
// are no items at all.
std::vector<std::pair<int, int>> RowChunks(int first, int last, int size) {
    std::vector<std::pair<int, int>> chunks;
    if (first > last) return {{first, last}};
    for (int start = first; start <= last; start = chunks.back().second + 1)
        chunks.emplace_back(
            start, static_cast<int>(std::min<long long>(last, static_cast<long long>(start) + size - 1)));
    return chunks;
}

std::vector<std::pair<int, int>> ColumnChunks(const GridPrintRange& range, const std::vector<int>& widths,
                                              int charsPerLine) {
    if (range.FirstColumn > range.LastColumn) return {{range.FirstColumn, range.LastColumn}};
    std::vector<std::pair<int, int>> chunks;
    int col = range.FirstColumn;
    while (col <= range.LastColumn) {
        const int start = col;
        long long running = widths[0];
        do {
            running += widths[static_cast<std::size_t>(col - range.FirstColumn + 1)];
            ++col;
        } while (col <= range.LastColumn &&
                 running + widths[static_cast<std::size_t>(col - range.FirstColumn + 1)] <= charsPerLine);
        chunks.emplace_back(start, col - 1);
    }
    return chunks;
}

} // namespace

std::string GridSelectionText(const TextGrid& grid, const GridSelection& s) {
    const int left = std::max(0, std::min(s.Left, s.Right));
    const int right = std::min(grid.GridColumnCount() - 1, std::max(s.Left, s.Right));
    const int top = std::max(0, std::min(s.Top, s.Bottom));
    const int bottom = std::min(grid.GridRowCount() - 1, std::max(s.Top, s.Bottom));
    std::string text;
    if (left > right || top > bottom) return text;

    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            if (col > left) text += '\t';
            text += grid.GridCell(col, row);
        }
        text += "\r\n";
        // The first line is a fair guess of every line's length: one allocation instead of many.
        if (row == top) text.reserve(text.size() * (static_cast<std::size_t>(bottom - top) + 1) * 9 / 8);
    }
    return text;
}

GridPrintRange GridPrintedRange(const TextGrid& grid, const GridSelection* selection) {
    GridPrintRange range;
    range.LastColumn = grid.GridColumnCount() - 1;
    range.LastRow = grid.GridRowCount() - 1;
    if (selection) {
        // The label column and the column line are printed anyway, so a selection reaching into
        // the fixed cells prints from the first data cell.
        range.FirstColumn = std::max(1, std::min(selection->Left, selection->Right));
        range.LastColumn = std::min(range.LastColumn, std::max(selection->Left, selection->Right));
        range.FirstRow = std::max(1, std::min(selection->Top, selection->Bottom));
        range.LastRow = std::min(range.LastRow, std::max(selection->Top, selection->Bottom));
    }
    return range;
}

std::vector<int> GridColumnWidths(const TextGrid& grid, const GridPrintRange& range) {
    const int columns = std::max(0, range.LastColumn - range.FirstColumn + 1);
    std::vector<std::size_t> longest(static_cast<std::size_t>(columns) + 1, 0);
    auto measure = [&](int row) {
        longest[0] = std::max(longest[0], CharCount(CellText(grid, 0, row)));
        for (int i = 0; i < columns; ++i)
            longest[static_cast<std::size_t>(i) + 1] =
                std::max(longest[static_cast<std::size_t>(i) + 1],
                         CharCount(CellText(grid, range.FirstColumn + i, row)));
    };
    measure(0);
    for (int row = range.FirstRow; row <= range.LastRow; ++row)
        measure(row);
    std::vector<int> widths;
    widths.reserve(longest.size());
    for (std::size_t length : longest)
        widths.push_back(static_cast<int>(std::min<std::size_t>(length, 1u << 24)) + 3);
    return widths;
}

int GridRowsPerPage(int printableHeight, int textHeight, int headingHeight) {
    const long long lineHeight = std::max(1LL, static_cast<long long>(textHeight) + 2);
    long long rows = std::max(0, printableHeight) / lineHeight - 3;
    // A taller heading font would otherwise push the last row over the bottom margin. The empty
    // line below the heading is 2 pixels lower than a table line, which covers that much.
    const long long extra = static_cast<long long>(headingHeight) - lineHeight;
    if (extra > 0) rows -= (extra + lineHeight - 1) / lineHeight;
    return static_cast<int>(std::max(1LL, rows));
}

int GridCharsPerLine(int printableWidth, int averageCharWidth) {
    return std::max(1, std::max(0, printableWidth) / std::max(1, averageCharWidth) - 1);
}

std::vector<GridPage> GridPagePlan(const GridPrintRange& range, const std::vector<int>& widths,
                                   int charsPerLine, int rowsPerPage) {
    const auto columnChunks = ColumnChunks(range, widths, charsPerLine);
    std::vector<GridPage> pages;
    for (const auto& [firstRow, lastRow] : RowChunks(range.FirstRow, range.LastRow, std::max(1, rowsPerPage)))
        for (const auto& [firstColumn, lastColumn] : columnChunks)
            pages.push_back({firstColumn, lastColumn, firstRow, lastRow});
    return pages;
}

void PrintGrid(const TextGrid& grid, std::string_view title, std::string_view heading,
               const GridSelection* selection, PrintOrientation orientation, TextDevice& device) {
    const bool landscape = orientation == PrintOrientation::Landscape;
    TMPrinter printer(device);
    if (landscape) {
        printer.SetPrintMargins(750, 750, 500, 1000);
    } else {
        printer.SetPrintMargins(750, 500, 500, 600);
    }
    const TOutputFont tableFont = TableFont();
    const TOutputFont headingFont = HeadingFont();
    TOutputFont columnLineFont = tableFont;
    columnLineFont.Underline = true;
    printer.SetFont(tableFont);
    printer.SetPrintHeaderFooter(kPrintHeader, title, "", HeaderFooterFont(), true, landscape ? 650 : 250,
                                 "&D");
    printer.SetPrintHeaderFooter(kPrintFooter, "", "", HeaderFooterFont(), false, 250, "Page (&P)");

    const GridPrintRange range = GridPrintedRange(grid, selection);
    const std::vector<int> widths = GridColumnWidths(grid, range);
    const int rowsPerPage =
        GridRowsPerPage(printer.Bottom() - printer.Top(), device.TextHeight("", tableFont),
                        device.TextHeight("", headingFont));
    const int charsPerLine =
        GridCharsPerLine(printer.Right() - printer.Left(), device.AverageCharWidth(tableFont));

    bool firstPage = true;
    for (const GridPage& page : GridPagePlan(range, widths, charsPerLine, rowsPerPage)) {
        if (!firstPage) printer.Write("\f");
        firstPage = false;
        printer.SetFont(headingFont);
        printer.WriteLine(heading);
        // The empty line in the table font, so that it is as high as a table line without text.
        printer.SetFont(tableFont);
        printer.WriteLine("");
        printer.SetFont(columnLineFont);
        printer.WriteLine(TableLine(grid, 0, page, range, widths));
        printer.SetFont(tableFont);
        for (int row = page.FirstRow; row <= page.LastRow; ++row)
            printer.WriteLine(TableLine(grid, row, page, range, widths));
    }
    printer.Close();
}

} // namespace kivspc
