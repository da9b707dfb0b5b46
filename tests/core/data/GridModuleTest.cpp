// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/GridModule.h"
#include "../output/OutputTestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Rows of texts; row 0 holds the column names, column 0 the row labels.
class TableGrid : public TextGrid {
public:
    explicit TableGrid(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
    int GridColumnCount() const override { return rows_.empty() ? 0 : static_cast<int>(rows_[0].size()); }
    int GridRowCount() const override { return static_cast<int>(rows_.size()); }
    std::string GridCell(int col, int row) const override {
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }

private:
    std::vector<std::vector<std::string>> rows_;
};

// A grid of `rows` data rows numbered from 1 and columns named C1.. holding "r<row>c<col>".
TableGrid NumberedGrid(int columns, int rows) {
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(rows) + 1);
    cells[0].push_back("Case");
    for (int c = 1; c <= columns; ++c)
        cells[0].push_back("C" + std::to_string(c));
    for (int r = 1; r <= rows; ++r) {
        cells[static_cast<std::size_t>(r)].push_back(std::to_string(r));
        for (int c = 1; c <= columns; ++c)
            cells[static_cast<std::size_t>(r)].push_back("r" + std::to_string(r) + "c" + std::to_string(c));
    }
    return TableGrid(std::move(cells));
}

int PageCount(const RecordingTextDevice& device) {
    int pages = 0;
    for (const auto& d : device.Drawings)
        pages = std::max(pages, d.page);
    return pages;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The table lines (those holding " | ") drawn on a page.
std::vector<std::string> TableLinesOn(const RecordingTextDevice& device, int page) {
    std::vector<std::string> lines;
    for (const std::string& text : device.TextsOn(page))
        if (text.find(" | ") != std::string::npos) lines.push_back(text);
    return lines;
}

} // namespace

TEST(GridSelectionText, CopiesTheSelectedCellsRowByRow) {
    const TableGrid grid = NumberedGrid(4, 3);
    struct Case {
        GridSelection selection;
        std::string expected;
    } cases[] = {
        // Two rows of three cells.
        {{1, 1, 3, 2}, "r1c1\tr1c2\tr1c3\r\nr2c1\tr2c2\tr2c3\r\n"},
        // Corners given the other way round.
        {{3, 2, 1, 1}, "r1c1\tr1c2\tr1c3\r\nr2c1\tr2c2\tr2c3\r\n"},
        {{2, 3, 2, 3}, "r3c2\r\n"},
        // Fixed cells are copied when selected.
        {{0, 0, 1, 1}, "Case\tC1\r\n1\tr1c1\r\n"},
        // Cut to the grid.
        {{4, 3, 9, 9}, "r3c4\r\n"},
        {{5, 1, 7, 2}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(GridSelectionText(grid, c.selection), c.expected);
    }
    EXPECT_EQ(GridSelectionText(TableGrid({{"a", "b"}, {"1", ""}}), {1, 0, 1, 1}), "b\r\n\r\n");
}

TEST(GridPrintLayout, WidthsAreTheLongestTextPlusThree) {
    const TableGrid grid(
        {{"", "Diameter", "x"}, {"1", "2.5", "ab"}, {"2", "12345678901", ""}, {"1000", "", ""}});
    // Every row: the label column counts row 0 and the printed rows only.
    EXPECT_EQ(GridColumnWidths(grid, GridPrintedRange(grid, nullptr)), (std::vector<int>{7, 14, 5}));
    GridSelection secondColumn{2, 1, 2, 2};
    EXPECT_EQ(GridColumnWidths(grid, GridPrintedRange(grid, &secondColumn)), (std::vector<int>{4, 5}));
    // Characters, not bytes.
    const TableGrid accented({{"", "Ø µm"}, {"é", "1"}});
    EXPECT_EQ(GridColumnWidths(accented, GridPrintedRange(accented, nullptr)), (std::vector<int>{4, 7}));
}

TEST(GridPrintLayout, PrintedRangeIsTheSelectionWithinTheDataCells) {
    const TableGrid grid = NumberedGrid(4, 6);
    struct Case {
        const GridSelection* selection;
        GridSelection given;
        int firstColumn, lastColumn, firstRow, lastRow;
    };
    const GridSelection block{2, 3, 3, 5}, reversed{3, 5, 2, 3}, everything{0, 0, 4, 6}, beyond{3, 4, 10, 10};
    const Case cases[] = {
        {nullptr, {}, 1, 4, 1, 6},         {&block, block, 2, 3, 3, 5},
        {&reversed, reversed, 2, 3, 3, 5}, {&everything, everything, 1, 4, 1, 6},
        {&beyond, beyond, 3, 4, 4, 6},
    };
    for (const Case& c : cases) {
        const GridPrintRange range = GridPrintedRange(grid, c.selection);
        EXPECT_EQ(range.FirstColumn, c.firstColumn);
        EXPECT_EQ(range.LastColumn, c.lastColumn);
        EXPECT_EQ(range.FirstRow, c.firstRow);
        EXPECT_EQ(range.LastRow, c.lastRow);
    }
}

TEST(GridPrintLayout, RowsPerPageAndCharactersPerLine) {
    // printable height, text height, heading height -> rows
    const int rows[][4] = {
        {990, 18, 18, 46}, // 990 / 20 - 3
        {179, 18, 18, 5},  {180, 18, 18, 6},
        {990, 18, 20, 46}, // the empty line is 2 lower than a table line
        {990, 18, 21, 45}, {990, 18, 41, 44},
        {30, 18, 18, 1}, // never less than one row, so printing always moves on
        {0, 0, 0, 1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(GridRowsPerPage(r[0], r[1], r[2]), r[3]) << r[0] << " " << r[1] << " " << r[2];
    EXPECT_EQ(GridCharsPerLine(725, 9), 79);
    EXPECT_EQ(GridCharsPerLine(720, 9), 79);
    EXPECT_EQ(GridCharsPerLine(5, 9), 1);
    EXPECT_EQ(GridCharsPerLine(100, 0), 99);
}

TEST(GridPrintLayout, PagePlanGoesAcrossThenDown) {
    // 11 rows, 5 a page: three pages, the last holding row 11 alone.
    GridPrintRange rows{1, 2, 1, 11};
    EXPECT_EQ(GridPagePlan(rows, {4, 5, 5}, 79, 5),
              (std::vector<GridPage>{{1, 2, 1, 5}, {1, 2, 6, 10}, {1, 2, 11, 11}}));

    // Label 5 wide, columns 10, 10, 10, 30, 3 on lines of 25: running widths 15, 25 | 15 | 35 alone | 8.
    GridPrintRange wide{1, 5, 1, 7};
    EXPECT_EQ(GridPagePlan(wide, {5, 10, 10, 10, 30, 3}, 25, 4), (std::vector<GridPage>{{1, 2, 1, 4},
                                                                                        {3, 3, 1, 4},
                                                                                        {4, 4, 1, 4},
                                                                                        {5, 5, 1, 4},
                                                                                        {1, 2, 5, 7},
                                                                                        {3, 3, 5, 7},
                                                                                        {4, 4, 5, 7},
                                                                                        {5, 5, 5, 7}}));

    // A selection of columns 3..4 keeps grid indices.
    EXPECT_EQ(GridPagePlan({3, 4, 2, 3}, {4, 6, 6}, 79, 46), (std::vector<GridPage>{{3, 4, 2, 3}}));
    // Nothing to print still gives one page (heading and column line).
    EXPECT_EQ(GridPagePlan({1, 2, 1, 0}, {4, 5, 5}, 79, 46), (std::vector<GridPage>{{1, 2, 1, 0}}));
    EXPECT_EQ(GridPagePlan({1, 0, 1, 0}, {4}, 79, 46), (std::vector<GridPage>{{1, 0, 1, 0}}));
}

class GridPrintTest : public OutputTest {
protected:
    void Print(const TextGrid& grid, const GridSelection* selection = nullptr,
               PrintOrientation orientation = PrintOrientation::Portrait) {
        PrintGrid(grid, "Grid Title", "Point Information", selection, orientation, device);
    }
    RecordingTextDevice device;
};

TEST_F(GridPrintTest, APageCarriesHeadingColumnLineAndRows) {
    const TableGrid grid({{"Pt", "Mean", "Range"}, {"1", "10.25", "1.5"}, {"2", "9.75", "12.25"}});
    Print(grid);
    // Portrait at 100 dpi: margins 75 left, 60 top; Courier New 9 is 9 pixels wide, 18 high.
    ASSERT_EQ(PageCount(device), 1);
    const std::vector<std::string> expected = {"Grid Title",
                                               "06/05/2024",
                                               "Point Information",
                                               "Pt |     Mean   Range",
                                               " 1 |    10.25     1.5",
                                               " 2 |     9.75   12.25"};
    EXPECT_EQ(device.TextsOn(1), expected);

    const auto& drawn = device.Drawings;
    // Header: title at the left margin and the date ending at the right one, 0.25 inch down.
    EXPECT_EQ(drawn[0].x, 75);
    EXPECT_EQ(drawn[0].y, 25);
    EXPECT_EQ(drawn[1].x + 10 * 9, 800);
    EXPECT_EQ(drawn[0].font, HeaderFooterFont());
    // Heading in Arial bold, the empty line as high as a table line, the column line underlined.
    EXPECT_EQ(drawn[2].font.Name, "Arial");
    EXPECT_TRUE(drawn[2].font.Bold);
    EXPECT_EQ(drawn[2].x, 75);
    EXPECT_EQ(drawn[2].y, 60);
    EXPECT_EQ(drawn[3].y, 60 + 20 + 18);
    EXPECT_TRUE(drawn[3].font.Underline);
    EXPECT_EQ(drawn[3].font.Name, "Courier New");
    EXPECT_EQ(drawn[3].font.Size, 9.0);
    EXPECT_EQ(drawn[4].y, 60 + 20 + 18 + 20);
    EXPECT_FALSE(drawn[4].font.Underline);
    EXPECT_FALSE(drawn[4].font.Bold);
}

TEST_F(GridPrintTest, ElevenRowsOnFivePerPage) {
    // 280 - 60 top - 50 bottom = 170 printable: 170 / 20 - 3 = 5 rows a page.
    device.Height = 280;
    Print(NumberedGrid(2, 11));
    ASSERT_EQ(PageCount(device), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(Contains(device.TextsOn(page), "Point Information")) << page;
        EXPECT_TRUE(Contains(device.TextsOn(page), "Case |       C1      C2")) << page;
        // The footer's page number from page 2 on only.
        EXPECT_EQ(Contains(device.TextsOn(page), "Page (" + std::to_string(page) + ")"), page > 1) << page;
    }
    EXPECT_EQ(TableLinesOn(device, 1).size(), 6u);
    EXPECT_EQ(TableLinesOn(device, 1).back(), "   5 |     r5c1    r5c2");
    EXPECT_EQ(TableLinesOn(device, 3),
              (std::vector<std::string>{"Case |       C1      C2", "  11 |    r11c1   r11c2"}));
}

TEST_F(GridPrintTest, WideTablesGoAcrossTheColumnsBeforeTheNextRows) {
    // Portrait: 725 / 9 - 1 = 79 characters a line; label 7, columns 33 wide: two fit, the third not.
    const std::string long30(30, 'x');
    std::vector<std::vector<std::string>> cells = {{"Case", "A", "B", "C"}};
    for (int r = 1; r <= 50; ++r)
        cells.push_back({std::to_string(r), long30, long30, long30});
    Print(TableGrid(cells));
    // 46 rows a page: rows 1..46 with A and B, then C, then rows 47..50 the same way.
    ASSERT_EQ(PageCount(device), 4);
    const std::string pad(30, ' ');
    EXPECT_EQ(TableLinesOn(device, 1).front(), "Case | " + pad + "  A" + pad + "  B");
    EXPECT_EQ(TableLinesOn(device, 1).size(), 47u);
    EXPECT_EQ(TableLinesOn(device, 2).front(), "Case | " + pad + "  C");
    EXPECT_EQ(TableLinesOn(device, 2).back(), "  46 |    " + long30);
    EXPECT_EQ(TableLinesOn(device, 3).back(), "  50 |    " + long30 + "   " + long30);
    EXPECT_EQ(TableLinesOn(device, 4).size(), 5u);

    // Landscape at the same paper: wider margins (75 both sides, 100 top) and the header lower.
    device = RecordingTextDevice{};
    Print(TableGrid(cells), nullptr, PrintOrientation::Landscape);
    EXPECT_EQ(device.Drawings[0].y, 65);
    EXPECT_EQ(device.Drawings[2].y, 100);
    // 700 / 9 - 1 = 76 characters; 950 / 20 - 3 = 44 rows.
    EXPECT_EQ(TableLinesOn(device, 1).size(), 45u);
    EXPECT_EQ(PageCount(device), 4);
}

TEST_F(GridPrintTest, PrintsOnlyTheSelection) {
    const GridSelection selection{2, 3, 2, 4};
    Print(NumberedGrid(3, 6), &selection);
    ASSERT_EQ(PageCount(device), 1);
    EXPECT_EQ(TableLinesOn(device, 1),
              (std::vector<std::string>{"Case |      C2", "   3 |    r3c2", "   4 |    r4c2"}));
}

TEST_F(GridPrintTest, AnEmptyGridPrintsItsHeadingOnOnePage) {
    Print(TableGrid(Rows{{"Case", "A"}}));
    EXPECT_EQ(PageCount(device), 1);
    EXPECT_EQ(TableLinesOn(device, 1), (std::vector<std::string>{"Case |    A"}));
    device = RecordingTextDevice{};
    Print(TableGrid(Rows{}));
    EXPECT_EQ(PageCount(device), 1);
    EXPECT_TRUE(Contains(device.TextsOn(1), "Point Information"));
}

TEST_F(GridPrintTest, ATallerHeadingNeverPushesRowsOntoAnUnheadedPage) {
    // Headings twice as high as table text: one row fewer a page, so every page still starts
    // with its heading and column line.
    struct TallHeadingDevice : RecordingTextDevice {
        int TextHeight(std::string_view text, const TOutputFont& font) override {
            return font.Name == "Arial" ? 40 : RecordingTextDevice::TextHeight(text, font);
        }
    } tall;
    tall.Height = 280;
    PrintGrid(NumberedGrid(2, 8), "Grid Title", "Point Information", nullptr, PrintOrientation::Portrait,
              tall);
    ASSERT_EQ(PageCount(tall), 2);
    for (int page = 1; page <= 2; ++page) {
        EXPECT_TRUE(Contains(tall.TextsOn(page), "Point Information")) << page;
        EXPECT_EQ(TableLinesOn(tall, page).size(), 5u) << page;
    }
}
