// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/TableHooks.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

using Column = std::vector<std::string>;

class DataListTest : public CoreTest {
protected:
    // Replaces the table by the given columns (all the same length) and rebuilds the cache.
    void Load(const std::vector<Column>& columns) {
        TDataTable& t = DataTable();
        t.SetColumnCount(static_cast<int>(columns.size()));
        t.SetRowCount(columns.empty() ? 0 : static_cast<int>(columns[0].size()));
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (std::size_t r = 0; r < columns[c].size(); ++r)
                t.SetCell(static_cast<int>(c + 1), static_cast<int>(r + 1), columns[c][r]);
        DataList.MarkAllRowsChanged();
        DataList.RebuildValues();
    }
    static std::vector<double> Cached(int col) {
        const auto& v = Values.at(static_cast<std::size_t>(col));
        return {v.begin() + 1, v.begin() + 1 + DataTable().RowCount()};
    }
    void TearDown() override {
        OnValuesRebuilt = nullptr;
        CoreTest::TearDown();
    }
    static bool IsText(int col) { return DataList.IsText[static_cast<std::size_t>(col)] != 0; }
    static constexpr double M = MissingValue;
};

TEST_F(DataListTest, TextColumnsGetLevelsInOrderOfFirstAppearance) {
    Load({{"1", "2", "x"}});
    EXPECT_TRUE(IsText(1));
    EXPECT_EQ(Cached(1), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(LevelText(1, 1), "1");
    EXPECT_EQ(LevelText(1, 3), "x");

    Load({{"b", "a", "b", "", "a", "", "B", "new"}});
    EXPECT_EQ(Cached(1), (std::vector<double>{1, 2, 1, 3, 2, 3, 4, 5}));
    EXPECT_EQ(LevelFirstRow[1], (std::vector<std::int32_t>{0, 1, 2, 4, 7, 8}));
    EXPECT_EQ(LevelText(1, 3), "");
    EXPECT_EQ(LevelText(1, 4), "B"); // levels are case-sensitive
    EXPECT_EQ(LevelText(1, 5), "new");
    EXPECT_EQ(DataList.Min[1], 1);
    EXPECT_EQ(DataList.Max[1], 5);
    EXPECT_TRUE(DataList.HasRange[1]);
}

TEST_F(DataListTest, NumericColumnsHoldNumbersAndMissingValues) {
    Load({{"4", "", "-2", ".5", "1,000"}, {"", ".", "", "", ""}});
    EXPECT_FALSE(IsText(1));
    EXPECT_EQ(Cached(1), (std::vector<double>{4, M, -2, 0.5, M}));
    EXPECT_EQ(DataList.Min[1], -2);
    EXPECT_EQ(DataList.Max[1], 4);
    EXPECT_TRUE(DataList.HasRange[1]);
    EXPECT_FALSE(IsText(2));
    EXPECT_FALSE(DataList.HasRange[2]);
    EXPECT_EQ(LevelText(1, 7), "7");
}

// The cache converts cells with its own loop; it must agree with the one-cell conversion.
TEST_F(DataListTest, CacheAgreesWithCellConversion) {
    // Plain decimals, signs, exponents, and the texts that must stay missing.
    Column cells = {".5", "-.5", "5.", "1e3", "+2", "", ".", "..", "-", "1,000", "5 ", " 5", " .", "1e999"};
    for (const char* more : {"--1", "-0", "0.1", "00012", "-5.", "+.5", "123456789012345", "1234567890123456",
                             "0.000000000000001"})
        cells.push_back(more);
    Load({cells});
    ASSERT_FALSE(IsText(1));
    std::vector<double> expected;
    for (const auto& c : cells)
        expected.push_back(CellTextToValue(c));
    EXPECT_EQ(Cached(1), expected);
    EXPECT_EQ(Cached(1)[0], 0.5);
    EXPECT_EQ(Cached(1)[4], 2);
    EXPECT_EQ(Cached(1)[9], M);
}

TEST_F(DataListTest, ColumnTurnsNumericAgainWhenItsTextGoes) {
    Load({{"1", "x", "3"}});
    ASSERT_TRUE(IsText(1));
    DataTable().SetCell(1, 2, "");
    DataList.MarkRowChanged(2);
    EXPECT_TRUE(ValuesStale);
    DataList.RebuildValues();
    EXPECT_FALSE(ValuesStale);
    EXPECT_FALSE(IsText(1));
    EXPECT_EQ(Cached(1), (std::vector<double>{1, M, 3}));
    EXPECT_EQ(LevelText(1, 2), "2");

    // And back, with the table growing and shrinking in between.
    for (int round = 0; round < 4; ++round) {
        bool text = round % 2 == 0;
        Column cells;
        for (int r = 0; r < 10 + round * 7; ++r)
            cells.push_back(std::to_string(r % 3));
        if (text) cells.back() = "late";
        Load({cells, cells});
        EXPECT_EQ(IsText(1), text);
        std::vector<double> got = Cached(2);
        ASSERT_EQ(got.size(), cells.size());
        for (std::size_t r = 0; r < cells.size(); ++r) {
            double want = text ? (r + 1 == cells.size() ? 4 : static_cast<double>(r % 3 + 1)) : r % 3;
            EXPECT_EQ(got[r], want) << "round " << round << " row " << r + 1;
        }
    }
}

TEST_F(DataListTest, LabelsAndSpecificationLimits) {
    Load({{"1"}, {"2"}});
    TDataTable& t = DataTable();
    t.SetColumnName(1, "Diameter");
    t.SetColumnName(2, "Width");
    t.SetDescription(2, kTitleRow, "Width of the flange (mm)");
    t.SetDescription(1, kUSLRow, "10.5");
    t.SetDescription(1, kTargetRow, "10");
    t.SetDescription(1, kLSLRow, ".5");
    t.SetDescription(2, kUSLRow, "high");
    t.SetDescription(2, kLSLRow, "1,5");

    EXPECT_EQ(ColumnLabel(1), "Diameter");
    EXPECT_EQ(ColumnLabel(2), "Width of the flange (mm)");
    EXPECT_EQ(ColumnLabel(0), "");
    EXPECT_EQ(ColumnLabel(3), "");
    EXPECT_EQ(ColumnUSL(1), 10.5);
    EXPECT_EQ(ColumnTarget(1), 10);
    EXPECT_EQ(ColumnLSL(1), 0.5);
    EXPECT_EQ(ColumnUSL(2), M);
    EXPECT_EQ(ColumnTarget(2), M);
    EXPECT_EQ(ColumnLSL(2), M);
    for (int col : {-1, 0, 3, 513}) {
        EXPECT_EQ(ColumnUSL(col), M);
        EXPECT_EQ(ColumnTarget(col), M);
        EXPECT_EQ(ColumnLSL(col), M);
    }
}

TEST_F(DataListTest, RebuildKeepsRowStatisticsAndSignalsTheEditor) {
    int rebuilt = 0;
    OnValuesRebuilt = [&] { ++rebuilt; };
    Load({{"1", "2"}, {"3", "4"}});
    ASSERT_EQ(Values.size(), 2u + RowStatisticColumns + 1);
    // A row mean written by an analysis into the first row-statistic column.
    Values[3].assign(3, MissingValue);
    Values[3][1] = 2.5;
    DataTable().SetCell(1, 1, "9");
    DataList.MarkRowChanged(1);
    DataList.RebuildValues();
    EXPECT_EQ(Values[3][1], 2.5);
    EXPECT_EQ(Cached(1), (std::vector<double>{9, 2}));
    EXPECT_EQ(rebuilt, 2);
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_EQ(DataList.RowsCached, 2);
}

TEST_F(DataListTest, EmptyTable) {
    Load({{}});
    EXPECT_EQ(DataList.RowsCached, 0);
    EXPECT_FALSE(DataList.HasRange[1]);
    EXPECT_FALSE(IsText(1));
    EXPECT_EQ(LevelText(1, 1), "1");
    DataList.MarkAllRowsChanged();
    DataList.MarkRowChanged(1);
    DataList.MarkRangeChanged();
    DataList.RebuildValues();
    EXPECT_EQ(Values[1].size(), 1u);
}

TEST_F(DataListTest, ShrinkingTableShrinksTheCache) {
    Load({{"1", "2", "x", "4"}, {"5", "6", "7", "8"}, {"a", "b", "c", "d"}});
    Load({{"1", "2"}});
    EXPECT_EQ(Values.size(), 1u + RowStatisticColumns + 1);
    EXPECT_EQ(Values[1].size(), 3u);
    EXPECT_FALSE(IsText(1));
    EXPECT_EQ(Cached(1), (std::vector<double>{1, 2}));
    EXPECT_EQ(LevelText(3, 1), "1"); // outside the table now
}

TEST_F(DataListTest, FiveHundredTwelveColumns) {
    std::vector<Column> columns(600, Column{"1", "2"});
    columns[511] = {"a", "b"};
    Load(columns);
    ASSERT_EQ(ColumnCount(), kMaxColumns);
    EXPECT_EQ(Values.size(), static_cast<std::size_t>(kMaxColumns) + RowStatisticColumns + 1);
    EXPECT_TRUE(IsText(512));
    EXPECT_EQ(LevelText(512, 2), "b");
    EXPECT_EQ(Cached(511), (std::vector<double>{1, 2}));
    EXPECT_EQ(ColumnLabel(512), "Col512");
    EXPECT_EQ(ColumnLabel(513), "");
}

TEST_F(DataListTest, MegabyteCells) {
    std::string words(1 << 20, 'w');
    std::string digits(1 << 20, '1');
    Load({{words, "w", words}, {digits, "2", "3"}});
    EXPECT_TRUE(IsText(1));
    EXPECT_EQ(Cached(1), (std::vector<double>{1, 2, 1}));
    EXPECT_EQ(LevelText(1, 1).size(), words.size());
    // Every digit counts: a megabyte of them is beyond a double's range, so the cell is missing.
    EXPECT_FALSE(IsText(2));
    EXPECT_EQ(Cached(2), (std::vector<double>{MissingValue, 2, 3}));
}

TEST_F(DataListTest, LongCellsConvertWithEveryCharacter) {
    const std::string hundredDigits = "1" + std::string(99, '0');
    // A letter beyond the 80th character still makes a text column.
    const std::string lateLetter = std::string(90, '1') + "x";
    Load({{hundredDigits, "1e80", "0." + std::string(120, '0') + "25", "7." + std::string(450, '0')},
          {"1", lateLetter, "2", "3"}});
    EXPECT_EQ(Cached(1), (std::vector<double>{1e99, 1e80, 2.5e-121, 7}));
    EXPECT_TRUE(IsText(2));
}

TEST_F(DataListTest, NewDataTableStartsOver) {
    Load({{"a", "b"}, {"1", "2"}});
    NewDataTable();
    EXPECT_EQ(ColumnCount(), 1);
    EXPECT_EQ(DataTable().RowCount(), 1);
    EXPECT_EQ(DataTable().ColumnName(1), "Col1");
    EXPECT_EQ(DataList.RowsCached, 0);
    EXPECT_FALSE(IsText(1));
    EXPECT_TRUE(Values.empty());
    DataList.RebuildValues();
    EXPECT_EQ(Cached(1), (std::vector<double>{M}));
}

TEST(RunInfoTest, ClearKeepsOnlyTheGroupColumnCount) {
    TRunInfo info;
    info.Position = 4;
    info.FirstGroup = 1;
    info.LastGroup = 9;
    info.MeasureColumn = 3;
    info.LastCode = 12;
    info.RunType = 20;
    info.ReservedFlag4 = 1;
    info.LongLabel = "Shift = 2";
    info.MeasureLabel = "Diameter";
    info.Multiplier[512] = 7;
    info.LevelRange[1] = 3;
    info.GroupColumns[2] = 5;
    info.GroupColumnCount = 2;
    info.GroupCount = 6;
    info.ValueTotal = 60;
    info.Clear();
    EXPECT_EQ(info.GroupColumnCount, 2);
    EXPECT_EQ(info.Position, 0);
    EXPECT_EQ(info.FirstGroup, 0);
    EXPECT_EQ(info.LastGroup, 0);
    EXPECT_EQ(info.MeasureColumn, 0);
    EXPECT_EQ(info.LastCode, 0);
    EXPECT_EQ(info.RunType, 0);
    EXPECT_EQ(info.ReservedFlag4, 0);
    EXPECT_EQ(info.LongLabel, "");
    EXPECT_EQ(info.MeasureLabel, "");
    EXPECT_EQ(info.Multiplier[512], 0);
    EXPECT_EQ(info.LevelRange[1], 0);
    EXPECT_EQ(info.GroupColumns[2], 0);
    EXPECT_EQ(info.GroupCount, 0);
    EXPECT_EQ(info.ValueTotal, 0);
}

} // namespace
