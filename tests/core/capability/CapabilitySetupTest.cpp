// SPDX-License-Identifier: GPL-3.0-or-later
// The capability setup's choice turned into a layout code, a run type and the run description:
// which columns are measured and grouped, the group range and the Selected flags.
#include "charts/VarChartFixture.h"

#include "capability/CapabilitySetup.h"
#include "data/DataList.h"

#include <string>
#include <vector>

using namespace kivspc;

namespace {

class CapabilitySetupTest : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        ResetCapabilitySetup();
        // Columns 1-3 measures; 4 and 5 group columns (4 runs from 0.5 to 3.5); 6 is text.
        Table({{"1", "2", "3", "0.5", "1", "a"},
               {"2", "3", "4", "2", "2", "b"},
               {"3", "4", "5", "3.5", "1", "c"}},
              6);
    }
    static std::vector<int> SelectedColumns() {
        std::vector<int> columns;
        for (int c = 1; c <= 6; ++c)
            if (DataList.Selected[static_cast<std::size_t>(c)]) columns.push_back(c);
        return columns;
    }
};

struct RunCase {
    std::vector<int> measures, groups;
    int layout;
    int code, runType;
    int measureColumn, groupColumn, firstGroup, lastGroup, firstMeasure, lastMeasure;
};

TEST_F(CapabilitySetupTest, LayoutCodesRunTypesAndRunColumns) {
    // Group column 4 holds 0.5 ... 3.5: halves round to the even neighbour, so its groups run
    // from 0 to 4 (nearbyint(0.5) = 0, nearbyint(3.5) = 4).
    const RunCase cases[] = {
        {{1}, {}, 0, 100, kRunColumns, 0, 0, 1, 1, 0, 0},
        // The reading of several measures does not count for one measure.
        {{2}, {}, kLayoutSubgroupsInRows, 100, kRunColumns, 0, 0, 2, 2, 0, 0},
        {{1, 2, 3}, {}, kLayoutDifferentVariables, 200, kRunColumns, 0, 0, 1, 3, 0, 0},
        {{1, 2, 3}, {}, kLayoutProcessStreams, 200, kRunColumns, 0, 0, 1, 3, 0, 0},
        {{1, 2, 3}, {}, kLayoutSubgroupsInRows, 201, kRunPooled, 0, 0, 1, 3, 0, 0},
        {{1, 2, 3}, {}, kLayoutRepeatedMeasures, 202, kRunRowMeans, 0, 0, 1, 3, 0, 0},
        // One measure by one group column: the combinations of that column, not its values.
        {{1}, {4}, 0, 110, kRunBySingleCombination, 1, 0, 0, 0, 0, 0},
        {{1}, {4, 5}, 0, 120, kRunByCombination, 1, 0, 0, 0, 0, 0},
        {{1, 3}, {4}, kLayoutDifferentVariables, 210, kRunEachByGroupValue, 1, 4, 0, 4, 1, 3},
        {{1, 3}, {4}, kLayoutProcessStreams, 210, kRunEachByGroupValue, 1, 4, 0, 4, 1, 3},
        {{2, 3}, {4}, kLayoutSubgroupsInRows, 211, kRunColumnsByGroupValue, 2, 4, 0, 4, 0, 0},
        {{2, 3}, {4}, kLayoutRepeatedMeasures, 212, kRunRowMeansByGroupValue, 2, 4, 0, 4, 0, 0},
        {{1, 2}, {5, 4}, kLayoutDifferentVariables, 220, kRunEachByCombination, 1, 0, 0, 0, 1, 2},
        {{1, 2}, {4, 5}, kLayoutSubgroupsInRows, 221, kRunColumnsByCombination, 1, 0, 0, 0, 0, 0},
        {{1, 2}, {4, 5}, kLayoutRepeatedMeasures, 222, kRunRowMeansByCombination, 1, 0, 0, 0, 0, 0},
        // A text group column ranges over its levels: a, b and c are 1 to 3.
        {{1, 2}, {6}, kLayoutSubgroupsInRows, 211, kRunColumnsByGroupValue, 1, 6, 1, 3, 0, 0},
    };
    for (const RunCase& c : cases) {
        const TCapabilityChoice choice{c.measures, c.groups, 0, c.layout, 0};
        SCOPED_TRACE("layout code " + std::to_string(c.code) + ", layout " + std::to_string(c.layout));
        EXPECT_EQ(CapabilityLayoutCode(choice), c.code);
        EXPECT_EQ(CapabilityRunType(c.code), c.runType);
        ASSERT_TRUE(StoreCapabilitySetup(choice));
        const TRunInfo& r = CapabilityRun;
        EXPECT_EQ(r.RunType, c.runType);
        EXPECT_EQ(r.MeasureColumn, c.measureColumn);
        EXPECT_EQ(r.GroupColumn, c.groupColumn);
        EXPECT_EQ(r.FirstGroup, c.firstGroup);
        EXPECT_EQ(r.LastGroup, c.lastGroup);
        EXPECT_EQ(r.FirstMeasure, c.firstMeasure);
        EXPECT_EQ(r.LastMeasure, c.lastMeasure);
        ASSERT_EQ(r.GroupColumnCount, static_cast<int>(c.groups.size()));
        for (std::size_t i = 0; i < c.groups.size(); ++i)
            EXPECT_EQ(r.GroupColumns[i + 1], c.groups[i]) << "group columns keep list order";
        EXPECT_EQ(SelectedColumns(), c.measures) << "only the measures are selected";
        EXPECT_EQ(CapabilityConfig.MeasureCount, static_cast<int>(c.measures.size()));
        EXPECT_EQ(CapabilityConfig.GroupColumnTotal, static_cast<int>(c.groups.size()));
        EXPECT_EQ(CapabilityConfig.MeasuresAreStreams,
                  c.layout == kLayoutProcessStreams && c.measures.size() > 1);
    }
    EXPECT_EQ(CapabilityRunType(230), 0) << "a code no choice can give";
}

TEST_F(CapabilitySetupTest, ConfigurationOfTheReadingsAndTheSampleColumn) {
    // Groups as process streams, with a sample column kept.
    ASSERT_TRUE(StoreCapabilitySetup({{1, 2}, {4}, 5, kLayoutDifferentVariables, kGroupsProcessStreams}));
    EXPECT_TRUE(CapabilityConfig.GroupsAreStreams);
    EXPECT_EQ(CapabilityConfig.GroupsIndex, kGroupsProcessStreams);
    EXPECT_TRUE(CapabilityConfig.HasSampleColumn);
    EXPECT_EQ(CapabilityConfig.SampleColumn, 5);

    // Subgroups in rows drop the sample column; "Groups Represent:" without groups reads as 0.
    ASSERT_TRUE(StoreCapabilitySetup({{1, 2, 3}, {}, 5, kLayoutSubgroupsInRows, kGroupsProcessStreams}));
    EXPECT_EQ(CapabilityConfig.LayoutIndex, kLayoutSubgroupsInRows);
    EXPECT_EQ(CapabilityConfig.GroupsIndex, 0);
    EXPECT_FALSE(CapabilityConfig.GroupsAreStreams);
    EXPECT_FALSE(CapabilityConfig.HasSampleColumn);
    EXPECT_EQ(CapabilityConfig.SampleColumn, 0);
    EXPECT_EQ(CapabilityRun.RunType, kRunPooled);

    // Several measures as streams; one measure never is, whatever the stale index says.
    ASSERT_TRUE(StoreCapabilitySetup({{1, 2}, {}, 0, kLayoutProcessStreams, 0}));
    EXPECT_TRUE(CapabilityConfig.MeasuresAreStreams);
    ASSERT_TRUE(StoreCapabilitySetup({{1}, {}, 0, kLayoutProcessStreams, 0}));
    EXPECT_FALSE(CapabilityConfig.MeasuresAreStreams);
    EXPECT_EQ(CapabilityConfig.LayoutIndex, 0);
}

TEST_F(CapabilitySetupTest, RefusedChoicesChangeNothing) {
    ASSERT_TRUE(StoreCapabilitySetup({{2, 3}, {4}, 0, kLayoutRepeatedMeasures, 0}));
    const TCapabilityConfig config = CapabilityConfig;
    const int runType = CapabilityRun.RunType;
    const TCapabilityChoice refused[] = {
        {{}, {4}, 0, 0, 0},    // no measure
        {{1, 7}, {}, 0, 0, 0}, // a measure beyond the last column
        {{0}, {}, 0, 0, 0},    // no column at all
        {{1}, {-2}, 0, 0, 0},  // a group column outside the table
        {{1}, {}, 9, 0, 0},    // a sample column beyond the table
    };
    for (const TCapabilityChoice& choice : refused) {
        EXPECT_FALSE(StoreCapabilitySetup(choice));
        EXPECT_EQ(CapabilityRun.RunType, runType);
        EXPECT_EQ(CapabilityConfig.MeasureCount, config.MeasureCount);
        EXPECT_EQ(CapabilityConfig.LayoutIndex, config.LayoutIndex);
        EXPECT_EQ(SelectedColumns(), (std::vector<int>{2, 3})) << "the Selected flags stay";
    }
}

} // namespace
