// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "data/DataEditor.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/SampleBuffer.h"

#include <cmath>
#include <limits>

using namespace kivspc;

namespace {

using Sample = std::vector<double>;

Sample Current() { return Sample(SampleX.begin() + 1, SampleX.begin() + 1 + SampleN); }

// A table given as rows of cells; the first row holds the names.
void MakeTable(const std::vector<std::vector<std::string>>& rows) {
    NewDataTable();
    TDataTable& t = DataTable();
    t.SetColumnCount(static_cast<int>(rows[0].size()));
    t.SetRowCount(static_cast<int>(rows.size()) - 1);
    for (std::size_t c = 0; c < rows[0].size(); ++c)
        t.SetColumnName(static_cast<int>(c) + 1, rows[0][c]);
    for (std::size_t r = 1; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            t.SetCell(static_cast<int>(c) + 1, static_cast<int>(r), rows[r][c]);
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
}

class ExtractTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        //           Machine  Shift  A    B    C
        MakeTable({{"Machine", "Shift", "A", "B", "C"},
                   {"1", "x", "10", "20", "30"},
                   {"2", "y", "11", "", "31"},
                   {"1", "y", "0", "22", "32"},
                   {"3", "x", "150", "23", "33"},
                   {"", "x", "14", "24", "34"}});
    }

    // Every group of a run as label -> values.
    std::vector<std::pair<std::string, Sample>> Collect(TRunInfo& ri) {
        std::vector<std::pair<std::string, Sample>> out;
        RewindGroups(ri);
        while (NextGroup(ri)) {
            out.emplace_back(ri.ShortLabel, Current());
            if (out.size() > 100) break;
        }
        return out;
    }
};

using Groups = std::vector<std::pair<std::string, Sample>>;

TEST_F(ExtractTest, RunTypesFormTheirGroups) {
    DataList.Selected[3] = DataList.Selected[5] = 1;
    {
        TRunInfo ri;
        ri.RunType = 1;
        ri.FirstGroup = 1;
        ri.LastGroup = 5;
        EXPECT_EQ(Collect(ri), (Groups{{"A", {10, 11, 0, 150, 14}}, {"C", {30, 31, 32, 33, 34}}}));
    }
    {
        TRunInfo ri;
        ri.RunType = 2;
        ri.MeasureColumn = 3;
        ri.GroupColumn = 1;
        ri.FirstGroup = 1;
        ri.LastGroup = 3;
        EXPECT_EQ(Collect(ri), (Groups{{"1", {10, 0}}, {"2", {11}}, {"3", {150}}}));
        ExtractAll(ri);
        EXPECT_EQ(Current(), (Sample{10, 11, 0, 150, 14}));
        EXPECT_EQ(ri.ShortLabel, "(All)");
        EXPECT_EQ(ri.LongLabel, "(All)");
    }
    {
        // A text group column: levels x = 1, y = 2, labelled by their texts.
        TRunInfo ri;
        ri.RunType = 6;
        ri.GroupColumn = 2;
        ri.FirstGroup = 1;
        ri.LastGroup = 2;
        EXPECT_EQ(Collect(ri), (Groups{{"x", {10, 30, 150, 33, 14, 34}}, {"y", {11, 31, 0, 32}}}));
        EXPECT_EQ(DataList.SpecColumn, 3);
    }
    {
        TRunInfo ri;
        ri.RunType = 5;
        ri.FirstGroup = 3;
        ri.LastGroup = 4;
        EXPECT_EQ(Collect(ri), (Groups{{"Group", {10, 11, 0, 150, 14}}}));
    }
    {
        TRunInfo ri;
        ri.RunType = 11;
        ri.GroupColumn = 2;
        ri.FirstGroup = 1;
        ri.LastGroup = 2;
        ri.FirstMeasure = 3;
        ri.LastMeasure = 5;
        EXPECT_EQ(
            Collect(ri),
            (Groups{{"A(x)", {10, 150, 14}}, {"A(y)", {11, 0}}, {"C(x)", {30, 33, 34}}, {"C(y)", {31, 32}}}));
    }
}

TEST_F(ExtractTest, CombinationsOfGroupColumns) {
    TRunInfo ri;
    ri.RunType = 3;
    ri.MeasureColumn = 4;
    ri.GroupColumnCount = 2;
    ri.GroupColumns[1] = 1;
    ri.GroupColumns[2] = 2;
    // Machine 1-3 by Shift levels 1-2; the empty machine cell forms combination 1 (code 0).
    EXPECT_EQ(PrepareGroups(ri), 5);
    EXPECT_EQ(ri.Multiplier[1], 2);
    EXPECT_EQ(ri.Multiplier[2], 1);
    EXPECT_EQ(Collect(ri), (Groups{{", x", {24}}, {"1, x", {20}}, {"1, y", {22}}, {"3, x", {23}}}))
        << "the group of machine 2 holds only an empty cell and is skipped";
    CountGroups(ri);
    EXPECT_EQ(ri.GroupCount, 4);
    EXPECT_EQ(ri.ValueTotal, 4);
    ListGroups(ri);
    EXPECT_EQ(GroupLabels, (std::vector<std::string>{", x", "1, x", "1, y", "3, x"}));
    EXPECT_EQ(GroupKeys, (std::vector<std::string>{"1", "2", "3", "5"}));
}

TEST_F(ExtractTest, CombinationsThatCannotBeCountedAreRefused) {
    MakeTable({{"G1", "G2", "G3", "M"}, {"1", "1", "1", "5"}, {"2000", "60000", "90000", "6"}});
    TRunInfo ri;
    ri.RunType = 3;
    ri.MeasureColumn = 4;
    ri.GroupColumnCount = 3;
    ri.GroupColumns = {0, 1, 2, 3};
    EXPECT_EQ(PrepareGroups(ri), 0);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "error");
    RewindGroups(ri);
    EXPECT_FALSE(NextGroup(ri));
}

TEST_F(ExtractTest, GroupColumnsOutsideTheDataColumnsAreRefused) {
    // Column 3 was deleted; its old range (100..100) is still on record, and the row means
    // that now sit behind the data columns hold values far outside it.
    MakeTable({{"G", "M", "Old"}, {"1", "5", "100"}, {"2", "6", "100"}});
    DataTable().DeleteColumns(3, 1);
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    EnsureRowStatisticColumns();
    Values[3][1] = 5;
    Values[3][2] = 250;

    struct Case {
        std::vector<std::int16_t> groupColumns;
        const char* what;
    };
    const Case cases[] = {
        {{3}, "a column number left over from a wider table, now the row means"},
        {{1, 5}, "a row-statistic column after a data column"},
        {{0}, "column 0"},
        {{-3}, "a negative column"},
        {{600}, "a column past the largest table"},
    };
    for (const Case& c : cases) {
        platform.Messages.clear();
        TRunInfo ri;
        ri.RunType = 3;
        ri.MeasureColumn = 2;
        ri.GroupColumnCount = static_cast<std::int16_t>(c.groupColumns.size());
        for (std::size_t i = 0; i < c.groupColumns.size(); ++i)
            ri.GroupColumns[i + 1] = c.groupColumns[i];
        EXPECT_EQ(PrepareGroups(ri), 0) << c.what;
        ASSERT_EQ(platform.Messages.size(), 1u) << c.what;
        EXPECT_EQ(platform.Messages[0].kind, "error");
        EXPECT_EQ(platform.Messages[0].text, "Group columns must be columns of the data table.") << c.what;
        RewindGroups(ri);
        EXPECT_FALSE(NextGroup(ri)) << c.what;
        CountGroups(ri);
        EXPECT_EQ(ri.GroupCount, 0);
    }
}

TEST_F(ExtractTest, GroupValuesBeyondWholeNumbersAreRefused) {
    // Values no 64-bit integer holds, alone, beside ordinary ones, or with a small range.
    const std::vector<std::vector<std::string>> columns[] = {
        {{"G", "M"}, {"1e19", "5"}, {"1e19", "6"}},
        {{"G", "M"}, {"-1e19", "5"}, {"1", "6"}},
        {{"G", "M"}, {"1e19", "5"}, {"1.0000000000000002e19", "6"}},
        {{"G", "M"}, {"-9.3e18", "5"}, {"-9.3e18", "6"}},
        {{"G", "M"}, {"1e300", "5"}, {"", "6"}},
    };
    for (const auto& table : columns) {
        MakeTable(table);
        platform.Messages.clear();
        TRunInfo ri;
        ri.RunType = 3;
        ri.MeasureColumn = 2;
        ri.GroupColumnCount = 1;
        ri.GroupColumns[1] = 1;
        EXPECT_EQ(PrepareGroups(ri), 0) << table[1][0] << " " << table[2][0];
        ASSERT_EQ(platform.Messages.size(), 1u);
        EXPECT_EQ(platform.Messages[0].kind, "error");
        RewindGroups(ri);
        EXPECT_FALSE(NextGroup(ri));
    }
    // Large values a few apart still form their groups.
    TRunInfo ri;
    ri.RunType = 3;
    ri.MeasureColumn = 2;
    ri.GroupColumnCount = 1;
    ri.GroupColumns[1] = 1;
    MakeTable({{"G", "M"}, {"4e18", "5"}, {"4e18", "6"}, {"4000000000000000001", "7"}});
    platform.Messages.clear();
    EXPECT_EQ(PrepareGroups(ri), 1);
    EXPECT_TRUE(platform.Messages.empty());
    EXPECT_EQ(Collect(ri), (Groups{{"4e18", {5, 6, 7}}}));
}

TEST_F(ExtractTest, GroupRangesAtTheEndsOfTheIntegerRange) {
    MakeTable({{"G", "M"}, {"2147483647", "5"}, {"-2147483648", "6"}, {"2147483646", "7"}});
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        std::int32_t first, last;
        Groups expected;
    };
    const Case cases[] = {
        {kMax - 1, kMax, {{"2147483646", {7}}, {"2147483647", {5}}}},
        {kMax, kMax, {{"2147483647", {5}}}},
        {kMin + 1, kMin + 3, {}},
        // The one 32-bit value below the missing-value code is no group: Position stands before it.
        {kMin, kMin, {}},
    };
    for (const Case& c : cases) {
        TRunInfo ri;
        ri.RunType = 2;
        ri.MeasureColumn = 2;
        ri.GroupColumn = 1;
        ri.FirstGroup = c.first;
        ri.LastGroup = c.last;
        EXPECT_EQ(Collect(ri), c.expected) << c.first << ".." << c.last;
        EXPECT_EQ(ri.Position, c.last);
        CountGroups(ri);
        EXPECT_EQ(ri.GroupCount, static_cast<int>(c.expected.size()));
        ListGroups(ri);
        EXPECT_EQ(GroupLabels.size(), c.expected.size());
    }
}

TEST_F(ExtractTest, MeasureRangesOutsideTheColumns) {
    // Per-measure runs walk the selected columns between FirstMeasure and LastMeasure only.
    DataList.Selected[3] = DataList.Selected[5] = 1;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        std::int32_t firstMeasure, lastMeasure;
        Groups expected;
    };
    const Case cases[] = {
        {kMin, 5, {{"A(x)", {10, 150, 14}}, {"A(y)", {11, 0}}, {"C(x)", {30, 33, 34}}, {"C(y)", {31, 32}}}},
        {-1, kMax, {{"A(x)", {10, 150, 14}}, {"A(y)", {11, 0}}, {"C(x)", {30, 33, 34}}, {"C(y)", {31, 32}}}},
        {kMax, kMax, {}},
        {kMin, kMin, {}},
    };
    for (const Case& c : cases) {
        TRunInfo ri;
        ri.RunType = 11;
        ri.GroupColumn = 2;
        ri.FirstGroup = 1;
        ri.LastGroup = 2;
        ri.FirstMeasure = c.firstMeasure;
        ri.LastMeasure = c.lastMeasure;
        EXPECT_EQ(Collect(ri), c.expected) << c.firstMeasure << ".." << c.lastMeasure;
        RewindGroups(ri);
        EXPECT_FALSE(NextRowStatisticGroup(0, ri));
    }
}

TEST_F(ExtractTest, MissingWhenAndProcessIfFilterValues) {
    DataList.Selected[3] = 1;
    TRunInfo ri;
    ri.RunType = 1;
    ri.FirstGroup = ri.LastGroup = 3;
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "0", kMissGreater, "100"), "Missing: X = 0, or X > 100");
    EXPECT_EQ(MissingText1, "X = 0");
    ExtractGroup(3, ri);
    EXPECT_EQ(Current(), (Sample{10, 11, 14}));

    struct Case {
        ProcessIfCondition first;
        ProcessIfCondition second;
        bool orJoin;
        Sample expected;
        std::string status;
    };
    const Case cases[] = {
        {{1, "Machine", kRelEqual, "1"}, {}, true, {10}, "Process If: Machine = 1"},
        {{1, "Machine", kRelIn, "1,3"},
         {2, "Shift", kRelEqual, "1"},
         false,
         {10},
         "Process If: Machine in [1,3], Shift = 1"},
        {{1, "Machine", kRelEqual, "2"}, {2, "Shift", kRelEqual, "1"}, true, {10, 11, 14}, ""},
        {{2, "Shift", kRelNotIn, "1"}, {}, false, {11}, ""},
        {{1, "Machine", kRelGreater, "x"}, {}, false, {}, ""},
    };
    for (const Case& c : cases) {
        std::string status = ApplyProcessIf(c.first, c.second, c.orJoin);
        if (!c.status.empty()) {
            EXPECT_EQ(status, c.status);
        }
        ExtractGroup(3, ri);
        EXPECT_EQ(Current(), c.expected) << c.first.Name << " " << int(c.first.Relation);
    }
    EXPECT_EQ(ApplyProcessIf({}, {}, false), "Process If Off");
    EXPECT_FALSE(ProcessIfOn);
}

TEST_F(ExtractTest, SelectionSummaryListsTheActiveFilters) {
    TSelectionSummary s;
    EXPECT_FALSE(SelectionSummary(s));
    ApplyMissingRules(kMissEqual, "0", kMissNone, "");
    ApplyProcessIf({1, "Machine", kRelEqual, "1"}, {2, "Shift", kRelIn, "1, 2"}, true);
    TransformRec.Kind = kTransformLinear;
    TransformRec.AText = "2";
    TransformRec.BText = "-3";
    TransformRec.B = -3;
    ASSERT_TRUE(SelectionSummary(s));
    EXPECT_EQ(s.Lines, "Missing When: X = 0\r\nProcess If: Machine = 1 or\r\nProcess If: Shift in "
                       "[1,2]\r\nTransform: 2X -3");
    EXPECT_EQ(s.TabbedLines, "Missing When: X = 0\r\n\tProcess If: Machine = 1 or\r\n\tProcess If: Shift in "
                             "[1,2]\r\n\tTransform: 2X -3");
    EXPECT_EQ(
        s.Inline,
        "Missing When: X = 0  Process If: Machine = 1 or  Process If: Shift in [1,2]  Transform: 2X -3");
}

TEST_F(ExtractTest, TransformAppliesToExtractedValues) {
    DataList.Selected[3] = 1;
    TRunInfo ri;
    ri.RunType = 1;
    ri.FirstGroup = ri.LastGroup = 3;
    TransformRec.Kind = kTransformLinear;
    TransformRec.A = 2;
    TransformRec.B = 1;
    ExtractGroup(3, ri);
    EXPECT_EQ(Current(), (Sample{21, 23, 1, 301, 29}));

    // LOG of 10, 11, 0, ...: the 0 is a domain error; values from it on stay as they were.
    TransformRec.Kind = kTransformLog;
    TransformRec.A = 1;
    TransformRec.B = 0;
    ExtractGroup(3, ri);
    ASSERT_EQ(SampleN, 5);
    EXPECT_DOUBLE_EQ(SampleX[1], std::log(10.0));
    EXPECT_DOUBLE_EQ(SampleX[2], std::log(11.0));
    EXPECT_EQ(SampleX[3], 0);
    EXPECT_EQ(SampleX[4], 150);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].text,
              "Transform Error - Turning Off Transform!\r\nTransform: LN(X)\r\nError: X <= 0");
    EXPECT_EQ(TransformRec.Kind, kTransformNone);
}

TEST_F(ExtractTest, TransformTexts) {
    struct Case {
        std::uint8_t kind;
        const char* a;
        const char* b;
        const char* c;
        const char* text;
    };
    const Case cases[] = {
        {kTransformNone, "1", "0", "1", "None"},
        {kTransformLinear, "1", "0", "1", "X"},
        {kTransformLinear, "2", "5", "1", "2X + 5"},
        {kTransformLinear, "2", "-3", "1", "2X -3"},
        {kTransformPower1, "1", "0", "2", "(X)^2"},
        {kTransformPower2, "1", "0", "2", "(X)^(1/2)"},
        {kTransformInverse, "3", "2", "1.5", "2/(3X)^1.5"},
        {kTransformLog, "1", "1", "1", "LN(X + 1)"},
        {kTransformSin, "0.5", "0", "1", "SIN(0.5X)"},
        {kTransformUniform, "1", "5", "1", "Uniform(1,5)"},
        {kTransformChiSquare, "3", "2", "1", "Chi-Square(3,2,1)"},
    };
    for (const Case& c : cases) {
        TransformRec.Kind = c.kind;
        TransformRec.AText = c.a;
        TransformRec.BText = c.b;
        TransformRec.CText = c.c;
        ConvertTransformConstants();
        EXPECT_EQ(TransformText(), c.text);
    }
    TransformRec.Kind = kTransformExponential;
    TransformRec.A = TransformRec.B = 5;
    TransformRec.ErrorFlag = 0;
    TransformValue(1);
    EXPECT_EQ(TransformRec.ErrorText, "Error: B <= A");
}

TEST_F(ExtractTest, AddingAndModifyingTransformedVariables) {
    TransformRec.Kind = kTransformLinear;
    TransformRec.AText = "2";
    TransformRec.BText = "0";
    ASSERT_TRUE(AddTransformedVariables({3}, true, true));
    EXPECT_EQ(DataTable().ColumnName(6), "f(A)");
    EXPECT_EQ(DataTable().Cell(6, 1), "20");
    EXPECT_EQ(TransformRec.Kind, kTransformNone);
    EXPECT_TRUE(DataTable().Modified);

    // Modify in place with rows 1 and 2 excluded: they keep their text; a missing value empties.
    TransformRec.Kind = kTransformLog;
    TransformRec.AText = "1";
    TransformRec.BText = "0";
    ApplyProcessIf({1, "Machine", kRelNotIn, "1,2"}, {}, false);
    ApplyMissingRules(kMissGreater, "100", kMissNone, "");
    ASSERT_TRUE(AddTransformedVariables({3}, false, false));
    EXPECT_EQ(DataTable().Cell(3, 1), "10");
    EXPECT_EQ(DataTable().Cell(3, 3), "0");
    EXPECT_EQ(DataTable().Cell(3, 4), "") << "150 counts as missing";
    // Written in full, so that it reads back as exactly the value computed.
    EXPECT_EQ(DataTable().Cell(3, 5), "2.6390573296152584");
    EXPECT_EQ(CellTextToValue(DataTable().Cell(3, 5)), std::log(14.0));
}

TEST_F(ExtractTest, TransformedCellsThatAreNoNumberStayEmptyAndAreCounted) {
    // EXP of 800 overflows a double; LOG of A X + B < 0 has no real value.
    struct Case {
        std::uint8_t kind;
        const char* a;
        const char* b;
        const char* error;
    };
    const Case cases[] = {{kTransformExp, "80", "0", "Error: Result is not a finite number"},
                          {kTransformLog, "-1", "0", "Error: Result is not a finite number"}};
    for (const Case& c : cases) {
        SetUp();
        TransformRec.Kind = c.kind;
        TransformRec.AText = c.a;
        TransformRec.BText = c.b;
        platform.Messages.clear();
        ASSERT_TRUE(AddTransformedVariables({3}, true, false));
        const int added = DataTable().ColumnCount();
        int empty = 0;
        for (int r = 1; r <= DataTable().RowCount(); ++r) {
            EXPECT_EQ(DataTable().Cell(added, r).find_first_of("nai"), std::string_view::npos) << c.a;
            empty += DataTable().Cell(added, r).empty();
        }
        EXPECT_FALSE(DataList.IsText[static_cast<std::size_t>(added)])
            << "no nan or inf text makes a text column";
        ASSERT_EQ(platform.Messages.size(), 1u);
        EXPECT_EQ(platform.Messages[0].kind, "warning");
        EXPECT_NE(platform.Messages[0].text.find(c.error), std::string::npos) << platform.Messages[0].text;
        EXPECT_NE(platform.Messages[0].text.find(std::to_string(empty) + " cell"), std::string::npos)
            << platform.Messages[0].text;
    }
}

TEST_F(ExtractTest, AConstantThatIsNoNumberWritesNothing) {
    // "-" and "1e" pass the key filter of the constant boxes; taken as 0 they would write a column
    // of zeros. The transform is refused, naming the box, and the table stays as it was.
    struct Case {
        std::uint8_t kind;
        const char *a, *b, *c;
        const char* message;
    };
    const Case cases[] = {
        {kTransformLinear, "-", "0", "1", "A is not a number!"},
        {kTransformLinear, "1e", "0", "1", "A is not a number!"},
        {kTransformLog, "1", "", "1", "B is not a number!"},
        {kTransformPower1, "1", "0", ".", "C is not a number!"},
        {kTransformExp, "1", "1e999", "1", "B is beyond the range of numbers!"},
    };
    for (const Case& c : cases) {
        SetUp();
        TransformRec.Kind = c.kind;
        TransformRec.AText = c.a;
        TransformRec.BText = c.b;
        TransformRec.CText = c.c;
        EXPECT_FALSE(AddTransformedVariables({3}, true, true)) << c.a << " " << c.b << " " << c.c;
        EXPECT_FALSE(AddTransformedVariables({3}, false, true));
        EXPECT_EQ(DataTable().ColumnCount(), 5);
        EXPECT_EQ(DataTable().Cell(3, 1), "10");
        EXPECT_FALSE(DataTable().Modified);
        ASSERT_FALSE(platform.Messages.empty());
        EXPECT_EQ(platform.Messages[0].text, c.message);
        EXPECT_EQ(platform.Messages[0].kind, "error");
        EXPECT_EQ(TransformRec.Kind, c.kind) << "the transform stays as chosen, to be corrected";
    }

    // C takes no part in LINEAR: a stray text there does not stop it.
    SetUp();
    TransformRec.Kind = kTransformLinear;
    TransformRec.AText = "2";
    TransformRec.BText = "-3";
    TransformRec.CText = "-";
    ASSERT_TRUE(AddTransformedVariables({3}, true, true));
    EXPECT_EQ(DataTable().Cell(6, 1), "17"); // 2 * 10 - 3
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(ExtractTest, TheTransformWarningCountsEveryCellItLeftEmpty) {
    // Column A holds 10, 11, 0, 150, 14. LOG cannot take the 0; with Missing When X > 100 the 150
    // is no valid value: two cells of the new column stay empty, counted by hand.
    struct Case {
        std::uint8_t kind;
        const char* missingOver; // Missing When X > this; "" for none
        const char* warning;     // "" for none
    };
    const Case cases[] = {
        {kTransformLog, "",
         "Transform: LN(X)\r\nError: X <= 0\r\n1 cell could not be transformed and was left empty."},
        {kTransformLog, "100",
         "Transform: LN(X)\r\nError: X <= 0\r\n2 cells were left empty: 1 could not be transformed and 1 "
         "held "
         "no valid value."},
        {kTransformLinear, "100", "Transform: X\r\n1 cell held no valid value and was left empty."},
        {kTransformLinear, "", ""},
    };
    for (const Case& c : cases) {
        SetUp();
        if (*c.missingOver) ApplyMissingRules(kMissGreater, c.missingOver, kMissNone, "");
        TransformRec.Kind = c.kind;
        ASSERT_TRUE(AddTransformedVariables({3}, true, false));
        int empty = 0;
        for (int r = 1; r <= DataTable().RowCount(); ++r)
            empty += DataTable().Cell(6, r).empty();
        EXPECT_EQ(empty, std::string(c.warning).empty()              ? 0
                         : c.kind == kTransformLog && *c.missingOver ? 2
                                                                     : 1);
        if (*c.warning) {
            ASSERT_EQ(platform.Messages.size(), 1u) << c.warning;
            EXPECT_EQ(platform.Messages[0].text, c.warning);
        } else {
            EXPECT_TRUE(platform.Messages.empty());
        }
    }
}

TEST_F(ExtractTest, AMissingWhenRuleWithoutANumberIsRefusedAndTheStatusShowsWhatHolds) {
    // One rule refused, the other kept.
    EXPECT_EQ(ApplyMissingRules(kMissEqual, "-", kMissGreater, "100"), "Missing: X > 100");
    EXPECT_EQ(StatusMissingText(), "Missing: X > 100");
    EXPECT_FALSE(IsValidValue(150));
    EXPECT_TRUE(IsValidValue(0));
    // Every rule refused: Missing When is off, and says so.
    EXPECT_EQ(ApplyMissingRules(kMissGreater, "", kMissNone, ""), "Missing Off");
    EXPECT_FALSE(MissingRec.MissingOn);
    EXPECT_EQ(StatusMissingText(), "Missing Off");
    EXPECT_EQ(StatusHint(), "Status Bar\r\nCols = 5,  Rows = 5");
    TSelectionSummary s;
    EXPECT_FALSE(SelectionSummary(s)) << "no filter is active";
}

TEST_F(ExtractTest, AProcessIfConditionNeedsANumberToCompareWith) {
    struct Case {
        ProcessIfCondition condition;
        const char* problem;
    };
    const Case cases[] = {
        {{1, "Machine", kRelGreater, ""}, "Value 1 is not a number!"},
        {{1, "Machine", kRelGreater, "-"}, "Value 1 is not a number!"},
        {{1, "Machine", kRelNotEqual, "1e"}, "Value 1 is not a number!"},
        {{1, "Machine", kRelIn, "  "}, "Value 1 holds no list of numbers!"},
        {{1, "Machine", kRelNotIn, "1, 3"}, ""},
        {{1, "Machine", kRelLessEqual, " 2 "}, ""},
        {{0, "", kRelGreater, ""}, ""},    // no column: the condition is dropped, not refused
        {{1, "Machine", kRelAll, ""}, ""}, // "All" compares nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProcessIfConditionProblem(c.condition, "Value 1"), c.problem) << c.condition.ValueText;
}

TEST_F(ExtractTest, TransformConstantsAreTakenOnlyWhenTheUsedOnesAreNumbers) {
    struct Case {
        std::uint8_t kind;
        const char *a, *b, *c;
        const char* problem;
        int box;
    };
    const Case cases[] = {
        {kTransformLinear, "2", "-3", "-", "", -1}, // LINEAR takes no C
        {kTransformLinear, "-", "0", "1", "A is not a number!", 0},
        {kTransformNormal, "10", "", "1", "B is not a number!", 1},
        {kTransformInverse, "1", "2", "1e", "C is not a number!", 2},
        {kTransformChiSquare, "3", "2", "1", "", -1},
        {kTransformNone, "-", "-", "-", "", -1},
    };
    for (const Case& c : cases) {
        SetUp();
        TransformRec.Kind = c.kind;
        TransformRec.AText = c.a;
        TransformRec.BText = c.b;
        TransformRec.CText = c.c;
        int box = -1;
        EXPECT_EQ(TakeTransformConstants(&box), c.problem) << c.a << " " << c.b << " " << c.c;
        EXPECT_EQ(box, c.box);
        if (*c.problem || c.kind == kTransformNone) {
            EXPECT_EQ(TransformRec.A, 1) << "kept as they were";
            EXPECT_EQ(TransformRec.B, 0);
            EXPECT_EQ(TransformRec.C, 1);
        }
    }
    TransformRec.Kind = kTransformChiSquare;
    TransformRec.AText = "3";
    TransformRec.BText = " 2";
    TransformRec.CText = "1.";
    EXPECT_EQ(TakeTransformConstants(), "");
    EXPECT_EQ(TransformRec.A, 3);
    EXPECT_EQ(TransformRec.B, 2);
    EXPECT_EQ(TransformRec.C, 1);
}

TEST_F(ExtractTest, ExtractionSurvivesTablesAndBuffersChangedBehindItsBack) {
    // The sample buffer replaced by a smaller one.
    DataList.Selected[3] = 1;
    TRunInfo ri;
    ri.RunType = 1;
    ri.FirstGroup = ri.LastGroup = 3;
    ExtractGroup(3, ri);
    SampleX.assign(2, 0.0);
    ExtractGroup(3, ri);
    EXPECT_EQ(Current(), (Sample{10, 11, 0, 150, 14}));

    // Columns added without a change mark: the cache catches up before reading.
    DataTable().SetColumnCount(7);
    DataList.Selected[6] = DataList.Selected[7] = 1;
    TRunInfo pooled;
    pooled.RunType = 5;
    pooled.FirstGroup = 3;
    pooled.LastGroup = 7;
    ExtractGroup(3, pooled);
    EXPECT_EQ(Current(), (Sample{10, 11, 0, 150, 14}));
}

TEST_F(ExtractTest, UnselectedRowStatisticsAndEmptyTables) {
    EnsureRowStatisticColumns();
    Values[6][1] = 12.5;
    TRunInfo ri;
    ri.RunType = 1;
    ri.FirstGroup = ri.LastGroup = 6;
    ExtractGroup(6, ri);
    EXPECT_EQ(SampleN, 0) << "the row-mean column is not selected";
    DataList.Selected[6] = 1;
    ExtractGroup(6, ri);
    EXPECT_EQ(Current(), (Sample{12.5}));

    DataTable().SetRowCount(0);
    DataList.RebuildValues();
    TRunInfo groups;
    groups.RunType = 3;
    groups.MeasureColumn = 4;
    groups.GroupColumnCount = 1;
    groups.GroupColumns[1] = 1;
    EXPECT_EQ(PrepareGroups(groups), 1);
    EXPECT_EQ(groups.FirstCode, 1);
    EXPECT_EQ(groups.LastCode, 1);
    RewindGroups(groups);
    EXPECT_FALSE(NextGroup(groups));
}

} // namespace
