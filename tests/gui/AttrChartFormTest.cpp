// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes chart setup and chart window driven as a user drives them: columns moved into
// the lists, the type, method and centre line chosen, "Action" pressed, and the chart window's
// list, limit summary, display options and point texts.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "charts/AttrChart.h"
#include "charts/AttrChartForm.h"
#include "charts/AttrChartScene.h"
#include "charts/AttrSetup.h"
#include "charts/ChartScene.h"
#include "charts/ChartView.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Rows of cells; the columns are named by `names`.
void MakeTable(const QStringList& names, const std::vector<std::vector<std::string>>& rows) {
    NewDataTable();
    TDataTable& t = DataTable();
    t.SetColumnCount(static_cast<int>(names.size()));
    t.SetRowCount(static_cast<int>(rows.size()));
    for (int c = 1; c <= names.size(); ++c)
        t.SetColumnName(c, names[c - 1].toStdString());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            t.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
}

// Twelve lots of boards: defective, inspected, shift; lot 9 is far out.
void Boards() {
    MakeTable({"Defective", "Inspected", "Shift"}, {{"4", "100", "1"},
                                                    {"6", "110", "1"},
                                                    {"3", "90", "1"},
                                                    {"5", "100", "1"},
                                                    {"7", "120", "1"},
                                                    {"4", "100", "1"},
                                                    {"2", "80", "2"},
                                                    {"3", "100", "2"},
                                                    {"21", "100", "2"},
                                                    {"4", "110", "2"},
                                                    {"3", "100", "2"},
                                                    {"5", "100", "2"}});
}

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text().mid(2);
    return names;
}

class AttrSetupTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
    }
    void TearDown() override {
        form.reset();
        GuiTest::TearDown();
    }
    TForm_AttrSetup& Open() {
        form = std::make_unique<TForm_AttrSetup>(nullptr);
        form->resize(900, 640);
        form->show();
        form->FormActivate();
        QApplication::processEvents();
        return *form;
    }
    template <class W> W* Get(const QString& name) { return Child<W>(form.get(), name); }
    bool Shown(const QString& name) { return !Get<QWidget>(name)->isHidden(); }
    // Selects the named columns in a list and presses a button.
    void Move(const QString& list, const QStringList& names, const QString& button) {
        auto* from = Get<QListWidget>(list);
        from->clearSelection();
        for (int i = 0; i < from->count(); ++i)
            if (names.contains(from->item(i)->text().mid(2))) from->item(i)->setSelected(true);
        Get<QAbstractButton>(button)->click();
    }
    void Radio(const QString& group, int index) {
        Get<QRadioButton>(group + "_" + QString::number(index))->click();
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& m : recorder.Messages)
            if (m.kind == "error") texts.push_back(m.text);
        return texts;
    }
    // Saves what the user sees when KIVSPC_SHOTS names a folder (for looking at the windows).
    static void Shot(QWidget* w, const char* name) {
        if (const char* dir = std::getenv("KIVSPC_SHOTS")) w->grab().save(QString(dir) + "/" + name + ".png");
    }

    RecordingPlatform recorder;
    std::unique_ptr<TForm_AttrSetup> form;
};

} // namespace

TEST_F(AttrSetupTest, OneColumnTableHasNoReferenceTabAndNeedsTheConstantSampleSize) {
    MakeTable({"Defects"}, {{"3"}, {"5"}, {"2"}, {"4"}});
    Open();
    EXPECT_EQ(form->windowTitle(), "Attributes Chart Setup");
    EXPECT_FALSE(form->Tabs()->isTabVisible(1));
    EXPECT_FALSE(Shown("CheckBox_Constant"));
    EXPECT_TRUE(form->ColumnsTab().constant->isChecked());
    EXPECT_FALSE(Shown("Edit_Sets")) << "no sets with one column";
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(Errors(), std::vector<std::string>{"Sample size not given!"});

    Get<QLineEdit>("Edit_Sample")->setText("50");
    ASSERT_TRUE(form->CalcButtonClick());
    TAttrChart_Form* chart = form->ChartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    ASSERT_EQ(chart->AnalysisList()->count(), 1);
    EXPECT_EQ(chart->AnalysisList()->item(0)->text(), "Defects");
    // p-bar = 14 / 200 = 0.07; by a direct sum of binomial(50, 0.07) tails, P(X >= 11) is the
    // first below 0.00135: UCL = 10.5 / 50.
    EXPECT_TRUE(
        chart->LimitText()->toPlainText().startsWith("       UCL = 0.2100         Exact Binomial Limits"))
        << chart->LimitText()->toPlainText().toStdString();
    EXPECT_EQ(Child<QAction>(chart, "Return1")->text(), "&Return to Attributes Chart Setup Form");
}

TEST_F(AttrSetupTest, ListsKeepDataOrderAndColumnBoxesTakeOneColumn) {
    MakeTable({"A", "B", "C", "D"}, {{"1", "2", "3", "4"}, {"2", "3", "4", "5"}, {"3", "4", "5", "6"}});
    Open();
    EXPECT_TRUE(form->Tabs()->isTabVisible(1));
    Move("DataVarList", {"D", "B"}, "IncludeBtn");
    EXPECT_EQ(Names(Get<QListWidget>("ListBox_Measures")), QStringList({"B", "D"}));
    EXPECT_EQ(Names(Get<QListWidget>("DataVarList")), QStringList({"A", "C"}));
    EXPECT_TRUE(Get<QListWidget>("DataVarList")->item(1)->isSelected()) << "the entry now at B's place";
    Move("ListBox_Measures", {"D"}, "ExcludeBtn");
    EXPECT_EQ(Names(Get<QListWidget>("DataVarList")), QStringList({"A", "C", "D"}));

    // The sample-size box takes the first selected column and gives it back.
    Move("DataVarList", {"C", "A"}, "SpeedButton_Sample");
    EXPECT_EQ(Get<QLineEdit>("Edit_Sample")->text(), "A");
    EXPECT_EQ(Get<QToolButton>("SpeedButton_Sample")->text(), "<");
    EXPECT_EQ(Names(Get<QListWidget>("DataVarList")), QStringList({"C", "D"}));
    // Type c: a constant sample size of 1 on both tabs, the column back in its list.
    Radio("RadioGroup_Type", 2);
    EXPECT_EQ(Names(Get<QListWidget>("DataVarList")), QStringList({"A", "C", "D"}));
    for (const char* box : {"Edit_Sample", "Edit_Sample2"})
        EXPECT_EQ(Get<QLineEdit>(box)->text(), "1") << box;
    EXPECT_TRUE(Get<QCheckBox>("CheckBox_Constant")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("CheckBox_Constant2")->isChecked());
    EXPECT_FALSE(Shown("SpeedButton_Sample"));
    EXPECT_EQ(Get<QLabel>("Label_Parameter")->text(), "Lambda:");
}

TEST_F(AttrSetupTest, VisibilityFollowsTheMethodAndTheCentreLine) {
    Boards();
    Open();
    Move("DataVarList", {"Shift"}, "SpeedButton_Sets");
    EXPECT_EQ(Get<QLineEdit>("Edit_Sets")->text(), "Shift");
    const struct {
        int method, centre;
        bool centreBox, sets, stdErr, user;
    } cases[] = {
        {0, 0, false, false, false, false}, // None
        {7, 0, false, false, true, true},   // User Defined
        {6, 0, true, true, false, false},   // Centerline Only
        {1, 0, true, true, true, false},    // Exact
        {1, 2, true, false, true, false},   // Exact with a known parameter
    };
    for (const auto& c : cases) {
        Radio("RadioGroup_Method", c.method);
        Radio("RadioGroup_Centerline", c.centre);
        EXPECT_EQ(Shown("RadioGroup_Centerline"), c.centreBox) << c.method;
        EXPECT_EQ(Shown("Edit_Sets"), c.sets) << c.method;
        EXPECT_EQ(Shown("Edit_StdErr"), c.stdErr) << c.method;
        EXPECT_EQ(Shown("CheckBox_UCL"), c.user) << c.method;
        EXPECT_EQ(Shown("Edit_Parameter"), c.centreBox && c.centre == 2) << c.method;
    }
    // The sets went away with the known parameter: the column is back in its list.
    EXPECT_TRUE(Names(Get<QListWidget>("DataVarList")).contains("Shift"));
    EXPECT_TRUE(Get<QLineEdit>("Edit_Sets")->text().isEmpty());
    EXPECT_EQ(Get<QLabel>("Label_ProcessIf")->text(), "Process If: Off");

    // User-defined limits: only the checked ones are read, and they must be in order.
    Radio("RadioGroup_Method", 7);
    Move("DataVarList", {"Defective"}, "IncludeBtn");
    Move("DataVarList", {"Inspected"}, "SpeedButton_Sample");
    Get<QLineEdit>("Edit_UCL")->setText("0.1");
    Get<QLineEdit>("Edit_LCL")->setText("0.2");
    Get<QCheckBox>("CheckBox_CL")->setChecked(false);
    EXPECT_FALSE(Shown("Edit_CL"));
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(Errors().back(), "User Defined Limits Not Valid!");
    Get<QCheckBox>("CheckBox_LCL")->setChecked(false);
    EXPECT_TRUE(form->CalcButtonClick());
    Shot(form.get(), "attr-setup");
}

TEST_F(AttrSetupTest, ReferenceTabChartsEachGroupAndEmptyListsOnlyBeep) {
    Boards();
    Open();
    form->Tabs()->setCurrentIndex(1);
    Get<QCheckBox>("CheckBox_Constant2")->click();
    Get<QLineEdit>("Edit_Sample2")->setText("100");
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(recorder.Beeps, 1) << "no grouping variable: a beep, no message";
    EXPECT_TRUE(Errors().empty());
    Move("DataVarList2", {"Shift"}, "IncludeBtn2");
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(Errors(), std::vector<std::string>{"Measure column not given!"});
    Move("DataVarList2", {"Defective"}, "SpeedButton_Measure2");
    ASSERT_TRUE(form->CalcButtonClick());
    QStringList labels;
    for (int i = 0; i < form->ChartWindow()->AnalysisList()->count(); ++i)
        labels << form->ChartWindow()->AnalysisList()->item(i)->text();
    EXPECT_EQ(labels, QStringList({"1", "2"}));
    EXPECT_EQ(form->ChartWindow()->Chart()->Scene().TitleLines.front(), "p Chart: Defective (1)")
        << "the list shows the first analysis";
}

namespace {

class AttrChartFormTest : public AttrSetupTest {
protected:
    // The boards as a p chart by shift with exact limits, drawn in the chart window.
    TAttrChart_Form& Chart(TAttrMethod method = TAttrMethod::Exact) {
        Boards();
        Open();
        Move("DataVarList", {"Defective"}, "IncludeBtn");
        Move("DataVarList", {"Inspected"}, "SpeedButton_Sample");
        Move("DataVarList", {"Shift"}, "SpeedButton_Sets");
        Radio("RadioGroup_Method", static_cast<int>(method));
        EXPECT_TRUE(form->CalcButtonClick());
        TAttrChart_Form* chart = form->ChartWindow();
        chart->resize(1000, 680);
        QApplication::processEvents();
        return *chart;
    }
    QAction* Item(TAttrChart_Form& chart, const char* name) { return Child<QAction>(&chart, name); }
};

} // namespace

TEST_F(AttrChartFormTest, ShowsTheChartTheLimitSummaryAndTheOptions) {
    TAttrChart_Form& chart = Chart();
    const TChartScene& scene = chart.Chart()->Scene();
    EXPECT_EQ(scene.TitleLines.front(), "p Chart: Defective");
    EXPECT_EQ(scene.Panels.at(0).Y.Title, "Proportion");
    ASSERT_EQ(scene.Separators.size(), 2U);
    EXPECT_EQ(scene.Separators[1].Label, " Shift=2 ");
    // Lot 9 (21 of 100) is beyond its shift's UCL: drawn in the violation colour.
    const TPointSeries* points = scene.FindPoints("Series_Stat");
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->Colors.at(8), kColorRed);
    EXPECT_EQ(points->Colors.at(0), kColorBlue);
    const QStringList lines = chart.LimitText()->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("Centerline = ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("Centerline from Mean"));
    EXPECT_TRUE(lines[2].endsWith("(3) Sigma Limits"));
    Shot(&chart, "attr-chart");

    // Codes need the violations: switching those off takes the codes along.
    Item(chart, "DisplayControlCodes1")->trigger();
    EXPECT_FALSE(chart.Chart()->Scene().Codes.empty());
    Item(chart, "DisplayControlViolations1")->trigger();
    chart.UpdateViewMenu();
    EXPECT_FALSE(Item(chart, "DisplayControlCodes1")->isEnabled());
    EXPECT_TRUE(chart.Chart()->Scene().Codes.empty());
    EXPECT_EQ(chart.Chart()->Scene().FindPoints("Series_Stat")->Colors.at(8), kColorBlue);

    // The footer lists the limit summary from its last line up.
    Item(chart, "AddLimitInformationtoChart1")->trigger();
    const auto& footer = chart.Chart()->Scene().FooterLines;
    ASSERT_GE(footer.size(), 3U);
    EXPECT_EQ(QString::fromStdString(footer[0]), lines[2]);
    EXPECT_EQ(QString::fromStdString(footer[2]), lines[0]);

    // Decimals name themselves in the submenu's caption.
    Child<QAction>(&chart, "Decimals2")->trigger();
    EXPECT_EQ(chart.Chart()->Scene().Panels.at(0).Y.Decimals, 2);
    EXPECT_EQ(Child<QMenu>(&chart, "AxisDecimalPlaces1")->title(), "Axis Decimal &Places (2)");
}

TEST_F(AttrChartFormTest, PointTextsBelongToTheirPositionsUntilBreaksMoveThem) {
    TAttrChart_Form& chart = Chart();
    ASSERT_EQ(static_cast<int>(AttrChartDisplay.PointTexts.size()), AttrPlottedPositions());
    AttrChartDisplay.PointTexts[8] = "new solder paste";
    chart.RedrawChart();
    ASSERT_EQ(chart.Chart()->Scene().PointLabels.size(), 1U);
    EXPECT_EQ(chart.Chart()->Scene().PointLabels[0].X, 8);
    chart.UpdateViewMenu();
    EXPECT_TRUE(Item(chart, "ClearPointText1")->isEnabled());
    Item(chart, "ShowBreaks1")->trigger();
    EXPECT_TRUE(AttrChartSettings.ShowBreaks);
    EXPECT_FALSE(HasAttrPointTexts()) << "the positions may have moved: the texts go";
    Item(chart, "ShowBreaks1")->trigger();

    // Black and white: violations hollow, only the silver zone bands.
    Item(chart, "DisplayZones1")->trigger();
    Item(chart, "BlackWhite1")->trigger();
    const TChartScene& scene = chart.Chart()->Scene();
    const TPointSeries* points = scene.FindPoints("Series_Stat");
    ASSERT_NE(points, nullptr);
    ASSERT_FALSE(points->Hollow.empty());
    EXPECT_TRUE(points->Hollow.at(8));
    ASSERT_FALSE(scene.Zones.empty());
    for (const TZoneRect& zone : scene.Zones)
        EXPECT_EQ(zone.Color, kColorSilver);
    chart.Chart()->replot();
    Shot(&chart, "attr-chart-bw-zones");
    ChartsBlackAndWhite = false;
}

TEST_F(AttrChartFormTest, ColumnChangesHideTheChartAndItsSetupShowsItAgain) {
    TAttrChart_Form& chart = Chart();
    ASSERT_TRUE(chart.isVisible());
    // Any change of a list hides the chart: what is shown always matches the setup.
    Move("ListBox_Measures", {"Defective"}, "ExcludeBtn");
    EXPECT_FALSE(chart.isVisible());
    Move("DataVarList", {"Defective"}, "IncludeBtn");
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_TRUE(chart.isVisible());
    // A column added to the table: the chart no longer fits it.
    DataTable().SetColumnCount(4);
    ++ColumnChangeCount;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&chart, &activate);
    EXPECT_FALSE(chart.isVisible());
    EXPECT_EQ(chart.AnalysisList()->count(), 0);
}
