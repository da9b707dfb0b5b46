// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "CoreState.h"
#include "app/MRUFilesUnit.h"
#include "charts/AttrChart.h"
#include "charts/CCPointInfo.h"
#include "charts/ChartScene.h"
#include "charts/ChartTexts.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/TableHooks.h"
#include "data/Transfrm.h"
#include "output/ReditU.h"
#include "stats/CC_calc.h"
#include "stats/Zizize87.h"

using namespace kivspc;

namespace {

class CoreStateTest : public CoreTest {};

// Every module touched by a run of the program, then one reset: each is as at start-up.
TEST_F(CoreStateTest, OneResetReachesEveryModule) {
    DataTable().SetColumnCount(3);
    DataTable().SetRowCount(2);
    DataTable().SetCell(1, 1, "7");
    DataTable().Modified = true;
    DataList.RebuildValues();
    ApplyMissingRules(kMissGreater, "5", kMissNone, "");
    ApplyProcessIf({1, "Col1", kRelEqual, "7"}, {}, false);
    TransformRec.Kind = kTransformLog;
    TransformRec.AText = "2";
    GroupLabels = {"a"};
    SampleX = {0, 1, 2};
    SampleN = 2;
    SampleStats.Mean = 42;
    StatErrorCode = 10;
    AskBlankCommas = false;
    BlankCommasMissing = true;
    WorkText = "left over";
    MRUFiles().Entries[1] = "/tmp/x.kivs";
    OnTableReplaced = [] {};
    SaveAsWithConfiguration = [] { return true; };
    TOutputDocument doc;
    SetOutputDocument(&doc);

    ResetCoreState();

    EXPECT_EQ(DataTable().ColumnCount(), 1);
    EXPECT_EQ(DataTable().RowCount(), 1);
    EXPECT_EQ(DataTable().Cell(1, 1), "");
    EXPECT_FALSE(DataTable().Modified);
    EXPECT_TRUE(Values.empty());
    EXPECT_FALSE(MissingRec.MissingOn);
    EXPECT_FALSE(ProcessIfOn);
    EXPECT_EQ(TransformRec.Kind, kTransformNone);
    EXPECT_EQ(TransformRec.AText, "1");
    EXPECT_TRUE(GroupLabels.empty());
    EXPECT_EQ(SampleN, 0);
    EXPECT_TRUE(SampleX.empty());
    EXPECT_EQ(SampleStats.Mean, TSampleStats{}.Mean);
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_TRUE(AskBlankCommas);
    EXPECT_FALSE(BlankCommasMissing);
    EXPECT_TRUE(WorkText.empty());
    EXPECT_EQ(MRUFiles().Entries[1], "");
    EXPECT_FALSE(OnTableReplaced);
    EXPECT_FALSE(SaveAsWithConfiguration);
    EXPECT_EQ(CurrentOutputDocument(), nullptr);
}

// Every chart global, set as a run of the chart windows leaves it, then one reset.
TEST_F(CoreStateTest, OneResetReachesEveryChartGlobal) {
    ChartsBlackAndWhite = true;
    VarChartDisplay.ShowZones = true;
    VarChartDisplay.Sizing = 30;
    VarChartDisplay.LocationLabels = {"a"};
    ChartInfoStyle.Decimals = 7;
    ChartInfoStyle.HeadingSize = 20;
    ChartVersion = 12;
    ChartTextMemory.Title = "left over";
    ChartTextMemory.PointText = "x";
    VarChart.Count = 5;
    VarChart.Notes = {"note"};
    AttrChartSettings.LimitMethod = TAttrMethod::UserDefined;
    AddAttrPoint(3, 10, 0, 1);

    ResetCoreState();

    EXPECT_FALSE(ChartsBlackAndWhite);
    const TVarChartDisplay display;
    EXPECT_EQ(VarChartDisplay.ShowZones, display.ShowZones);
    EXPECT_EQ(VarChartDisplay.Sizing, display.Sizing);
    EXPECT_TRUE(VarChartDisplay.LocationLabels.empty());
    EXPECT_EQ(ChartInfoStyle.Decimals, TChartInfoStyle{}.Decimals);
    EXPECT_EQ(ChartInfoStyle.HeadingSize, TChartInfoStyle{}.HeadingSize);
    EXPECT_EQ(ChartVersion, 0u);
    EXPECT_TRUE(ChartTextMemory.Title.empty());
    EXPECT_TRUE(ChartTextMemory.PointText.empty());
    EXPECT_EQ(VarChart.Count, 0);
    EXPECT_TRUE(VarChart.Notes.empty());
    EXPECT_EQ(AttrChartSettings.LimitMethod, TAttrChartSettings{}.LimitMethod);
    EXPECT_EQ(AttrChart.Count, 0);
}

} // namespace
