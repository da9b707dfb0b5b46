// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

// A cell text of a given length whose content depends on a seed, so stale bytes show.
std::string Text(std::size_t length, int seed) {
    std::string s = std::to_string(seed) + ":";
    while (s.size() < length)
        s += static_cast<char>('a' + (seed + s.size()) % 26);
    s.resize(length);
    return s;
}

void ExpectColumn(const CellColumn& col, const std::vector<std::string>& expected) {
    ASSERT_EQ(col.Size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r)
        ASSERT_EQ(col.Get(r), expected[r]) << "row " << r;
}

TEST(CellColumnTest, ShortAndLongTextsRoundTrip) {
    CellColumn col;
    std::vector<std::string> expected;
    for (std::size_t len = 0; len <= 20; ++len)
        expected.push_back(Text(len, static_cast<int>(len)));
    expected.push_back(std::string("a\0b", 3)); // bytes are kept as they are
    expected.push_back(std::string(1 << 20, 'm'));
    for (std::size_t r = 0; r < expected.size(); ++r)
        col.Set(r, expected[r]);
    ExpectColumn(col, expected);
    EXPECT_EQ(col.Get(expected.size() + 5), "");

    col.Set(40, "late"); // beyond the end: the gap reads empty
    EXPECT_EQ(col.Size(), 41u);
    EXPECT_EQ(col.Get(30), "");

    // An empty view may carry no pointer at all (what Get returns for a row never stored).
    col.Set(40, std::string_view{});
    col.Set(21, col.Get(100));
    EXPECT_EQ(col.Get(40), "");
    EXPECT_EQ(col.Get(21), "");
}

TEST(CellColumnTest, RewritesAreCompactedAndValuesStayRight) {
    CellColumn col;
    std::vector<std::string> expected(200);
    for (int i = 0; i < 200; ++i) {
        expected[static_cast<std::size_t>(i)] = Text(20 + i % 50, i);
        col.Set(static_cast<std::size_t>(i), expected[static_cast<std::size_t>(i)]);
    }
    for (int round = 0; round < 50000; ++round) {
        auto row = static_cast<std::size_t>(round * 7919 % 200);
        // Long and short texts alternate, so cells move between the word and the heap.
        expected[row] = Text(round % 3 == 0 ? 5 : 10 + round % 90, round);
        col.Set(row, expected[row]);
    }
    ExpectColumn(col, expected);
    // 50000 rewrites of up to 100 bytes would be megabytes without compaction.
    EXPECT_LT(col.MemoryBytes(), 200u * 1024);
}

TEST(CellColumnTest, InsertEraseAndResize) {
    CellColumn col;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        expected.push_back(Text(i % 2 ? 3 : 30, i));
        col.Set(static_cast<std::size_t>(i), expected.back());
    }
    col.Insert(10, 3);
    expected.insert(expected.begin() + 10, 3, "");
    col.Erase(500, 400);
    expected.erase(expected.begin() + 500, expected.begin() + 900);
    col.Erase(590, 1000); // runs past the end
    expected.resize(590);
    col.Erase(5000, 1); // outside: nothing happens
    ExpectColumn(col, expected);
    // Erasing much of the heap and rewriting: compaction must keep the survivors right.
    for (int round = 0; round < 20; ++round) {
        col.Erase(0, 100);
        expected.erase(expected.begin(), expected.begin() + 100);
        col.Insert(expected.size(), 100);
        for (std::size_t r = expected.size(); r < expected.size() + 100; ++r)
            col.Set(r, Text(40, round));
        expected.resize(expected.size() + 100, Text(40, round));
    }
    ExpectColumn(col, expected);
    col.Resize(3);
    expected.resize(3);
    ExpectColumn(col, expected);
    col.Clear();
    EXPECT_EQ(col.Size(), 0u);
    EXPECT_EQ(col.Get(0), "");
}

// The editor copies cells within a column (fill down, sorting); the source text lives in the
// column itself and must survive the column growing under it.
TEST(CellColumnTest, CopyingACellWithinTheColumn) {
    CellColumn col;
    const std::string longText = Text(50, 1);
    col.Set(0, longText);
    for (std::size_t r = 1; r < 2000; ++r)
        col.Set(r, col.Get(r - 1));
    for (std::size_t r = 0; r < 2000; ++r)
        ASSERT_EQ(col.Get(r), longText) << "row " << r;

    CellColumn shortCol;
    shortCol.Set(0, "abc");
    for (std::size_t r = 1; r < 2000; r = r * 2 + 1)
        shortCol.Set(r * 3, shortCol.Get(0));
    EXPECT_EQ(shortCol.Get(3), "abc");
    EXPECT_EQ(shortCol.Get(3069), "abc");

    col.Set(5, col.Get(5)); // onto itself
    EXPECT_EQ(col.Get(5), longText);
}

class DataTableTest : public CoreTest {};

TEST_F(DataTableTest, CopyingCellsThroughTheTable) {
    TDataTable& t = DataTable();
    t.SetRowCount(5000);
    t.SetCell(1, 1, "12.5");
    t.SetCell(1, 2, "a rather long comment about this part");
    for (int r = 3; r <= 5000; ++r)
        t.SetCell(1, r, t.Cell(1, r % 2 ? 1 : 2));
    EXPECT_EQ(t.Cell(1, 4999), "12.5");
    EXPECT_EQ(t.Cell(1, 5000), "a rather long comment about this part");
}

TEST_F(DataTableTest, RowsAndColumnsMoveTheirCells) {
    TDataTable& t = DataTable();
    t.SetColumnCount(3);
    t.SetRowCount(6);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 4; ++r)
            t.SetCell(c, r, std::to_string(c * 10 + r)); // rows 5, 6 stay unstored
    t.InsertRows(2, 2);
    EXPECT_EQ(t.RowCount(), 8);
    EXPECT_EQ(t.Cell(1, 1), "11");
    EXPECT_EQ(t.Cell(1, 2), "");
    EXPECT_EQ(t.Cell(1, 4), "12");
    EXPECT_EQ(t.Cell(3, 6), "34");
    t.InsertRows(8, 1); // inside the unstored tail
    EXPECT_EQ(t.RowCount(), 9);
    t.DeleteRows(1, 3);
    EXPECT_EQ(t.Cell(2, 1), "22");
    EXPECT_EQ(t.RowCount(), 6);
    t.DeleteRows(4, 100);
    EXPECT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.Cell(2, 3), "24");
    EXPECT_EQ(t.Cell(2, 4), "");

    t.SetColumnName(2, "Width");
    t.DeleteColumns(1, 1);
    EXPECT_EQ(t.ColumnCount(), 2);
    EXPECT_EQ(t.ColumnName(1), "Width");
    EXPECT_EQ(t.Cell(1, 1), "22");
    t.DeleteColumns(1, 600);
    EXPECT_EQ(t.ColumnCount(), 1); // a table always keeps one column
    t.InsertColumns(1, 1000);
    EXPECT_EQ(t.ColumnCount(), kMaxColumns);
    t.SetRowCount(-4);
    EXPECT_EQ(t.RowCount(), 0);
    t.SetCell(1, 1, "ignored");
    EXPECT_EQ(t.Cell(1, 1), "");
}

TEST_F(DataTableTest, OutsideTheTableIsEmptyAndIgnored) {
    TDataTable& t = DataTable();
    t.SetCell(0, 1, "x");
    t.SetCell(2, 1, "x");
    t.SetCell(1, 2, "x");
    t.SetColumnName(0, "x");
    t.SetDescription(1, 5, "x");
    t.SetDescription(1, 0, "x");
    EXPECT_EQ(t.Cell(1, 1), "");
    EXPECT_EQ(t.Cell(1, 0), "");
    EXPECT_EQ(t.ColumnName(0), "");
    EXPECT_EQ(t.ColumnName(2), "");
    EXPECT_EQ(t.Description(1, 0), "");
    EXPECT_EQ(t.Description(1, 5), "");
    EXPECT_EQ(t.ColumnName(1), "Col1");
}

} // namespace
