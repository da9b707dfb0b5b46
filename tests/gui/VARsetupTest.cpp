// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart setup driven as a user drives it: columns moved into the lists, chart
// kinds chosen, "Action" pressed, and what reaches the chart computation and the point grid.
#include "GuiFixture.h"

#include "app/Kivspc_Main.h"
#include "app/MissingValue.h"
#include "app/Platform.h"
#include "app/SharedState.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartForm.h"
#include "charts/VARsetup.h"
#include "data/DataFile.h"
#include "data/DataList.h"
#include "data/DataTable.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>

#include <string>
#include <vector>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// A table of `columns` numeric columns named A, B, C ... with `rows` rows.
void MakeTable(int columns, int rows) {
    NewDataTable();
    TDataTable& table = DataTable();
    table.SetColumnCount(columns);
    table.SetRowCount(rows);
    for (int c = 1; c <= columns; ++c) {
        table.SetColumnName(c, std::string(1, static_cast<char>('A' + c - 1)));
        for (int r = 1; r <= rows; ++r)
            table.SetCell(c, r, std::to_string(10 + (r * 7 + c * 3) % 5));
    }
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
}

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

bool Shown(const QObject* form, const QString& name) { return !Child<QWidget>(form, name)->isHidden(); }

class VARsetupTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        VarChartSettings = TVarChartSettings{};
        ResetVarChart();
    }
    void TearDown() override {
        form.reset();
        GuiTest::TearDown();
    }

    TForm_VARsetup& Open() {
        form = std::make_unique<TForm_VARsetup>(nullptr);
        return *form;
    }
    // Moves the data columns of the given names into the list `target`.
    void Move(const QStringList& names, const char* button = "IncludeBtnMeasure") {
        auto* data = Child<QListWidget>(form.get(), "DataVarList");
        data->clearSelection();
        for (int i = 0; i < data->count(); ++i)
            if (names.contains(data->item(i)->text().mid(2))) data->item(i)->setSelected(true);
        Child<QPushButton>(form.get(), button)->click();
    }
    QComboBox* Combo(const char* name) { return Child<QComboBox>(form.get(), name); }
    void Choose(const char* combo, const QString& text) {
        QComboBox* c = Combo(combo);
        const int index = c->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        c->setCurrentIndex(index);
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& m : recorder.Messages)
            if (m.kind == "error") texts.push_back(m.text);
        return texts;
    }

    RecordingPlatform recorder;
    std::unique_ptr<TForm_VARsetup> form;
};

} // namespace

TEST_F(VARsetupTest, OneMeasureGivesIndividualValues) {
    MakeTable(3, 12);
    Open();
    EXPECT_EQ(form->windowTitle(), "Variables Chart Setup");
    auto* action = Child<QPushButton>(form.get(), "CalcButton");
    EXPECT_FALSE(action->isEnabled()) << "no measure yet";

    Move({"A", "C"});
    auto* data = Child<QListWidget>(form.get(), "DataVarList");
    auto* measures = Child<QListWidget>(form.get(), "ListBox_Measures");
    ASSERT_EQ(measures->count(), 2);
    EXPECT_EQ(data->count(), 1);
    EXPECT_TRUE(data->item(0)->isSelected()) << "the entry at the first moved position is selected";
    // Taking C back puts it after B again: the lists keep data order.
    measures->clearSelection();
    measures->item(1)->setSelected(true);
    Child<QPushButton>(form.get(), "ExcludeBtnMeasure")->click();
    ASSERT_EQ(data->count(), 2);
    EXPECT_EQ(data->item(0)->text().mid(2), "B");
    EXPECT_EQ(data->item(1)->text().mid(2), "C");

    EXPECT_TRUE(form->IndividualMode());
    EXPECT_EQ(Items(Combo("ComboBox_LocChartType")), QStringList({"X", "None"}));
    EXPECT_EQ(Items(Combo("ComboBox_DispChartType")), QStringList({"Moving Range", "None"}));
    EXPECT_EQ(Items(Combo("ComboBox_LocCL")), QStringList({"Average X", "Median of Xs", "Known Mean"}));
    EXPECT_EQ(Items(Combo("ComboBox_DispCL")),
              QStringList({"Average Moving Range", "Median Moving Range", "Known Std Dev"}));
    EXPECT_TRUE(Shown(form.get(), "SpinEdit_MR")) << "a moving range chart spans MR Count values";
    EXPECT_FALSE(Shown(form.get(), "RadioGroup_Layout"));

    ASSERT_TRUE(action->isEnabled());
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_TRUE(Errors().empty());
    const TVarChartSettings& s = VarChartSettings;
    EXPECT_EQ(s.LocationChart, kChartX);
    EXPECT_EQ(s.DispersionChart, kChartMovingRange);
    EXPECT_EQ(s.LocationMethod, kMethodAverageMR);
    EXPECT_EQ(s.DispersionMethod, kMethodAverageMR);
    EXPECT_EQ(s.LocationCenterline, kCenterAverage);
    EXPECT_EQ(s.DispersionCenterline, kCenterDispAverage);
    EXPECT_EQ(s.DataLayout, 1);
    EXPECT_EQ(s.RunInfo.FirstMeasure, 1);
    EXPECT_EQ(s.RunInfo.LastMeasure, 1);
    EXPECT_EQ(s.SampleSize, 0);
    EXPECT_DOUBLE_EQ(s.StdErrors, 3);
    ASSERT_NE(form->ChartWindow(), nullptr);

    // A change of the lists drops the chart shown so far.
    Move({"B"});
    EXPECT_EQ(form->ChartWindow(), nullptr);
}

TEST_F(VARsetupTest, LayoutOfSeveralMeasures) {
    MakeTable(4, 10);
    Open();
    Move({"B", "C"});
    ASSERT_TRUE(Shown(form.get(), "RadioGroup_Layout"));
    EXPECT_TRUE(Shown(form.get(), "SpeedButton_Sample"));

    auto* rows = Child<QGroupBox>(form.get(), "RadioGroup_Layout")->findChildren<QRadioButton*>()[1];
    rows->click();
    EXPECT_FALSE(form->IndividualMode());
    EXPECT_FALSE(Shown(form.get(), "SpeedButton_Sample"));
    EXPECT_FALSE(Shown(form.get(), "Edit_Sample"));
    EXPECT_FALSE(Shown(form.get(), "CheckBox_Sample"));
    EXPECT_EQ(Items(Combo("ComboBox_LocChartType")), QStringList({"Mean", "Median", "None"}));
    EXPECT_EQ(Combo("ComboBox_DispCalc")->itemText(5), "Average MR of Range");
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 2);
    EXPECT_EQ(VarChartSettings.LocationChart, kChartMean);
    EXPECT_EQ(VarChartSettings.DispersionChart, kChartRange);
    EXPECT_EQ(VarChartSettings.RunInfo.FirstMeasure, 2);
    EXPECT_EQ(VarChartSettings.RunInfo.LastMeasure, 3);

    Child<QGroupBox>(form.get(), "RadioGroup_Layout")->findChildren<QRadioButton*>()[0]->click();
    EXPECT_TRUE(form->IndividualMode());
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 5);

    // A sample variable makes subgroups; "Constant Sample Size" sends it back.
    auto* data = Child<QListWidget>(form.get(), "DataVarList");
    data->clearSelection();
    data->item(0)->setSelected(true);
    Child<QToolButton>(form.get(), "SpeedButton_Sample")->click();
    EXPECT_EQ(Child<QLineEdit>(form.get(), "Edit_Sample")->text(), "A");
    EXPECT_EQ(Child<QToolButton>(form.get(), "SpeedButton_Sample")->text(), "<");
    EXPECT_FALSE(form->IndividualMode());
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 6);
    EXPECT_EQ(VarChartSettings.SampleSizeColumn, 1);
    Child<QCheckBox>(form.get(), "CheckBox_Sample")->click();
    EXPECT_EQ(Child<QLineEdit>(form.get(), "Edit_Sample")->text(), "");
    EXPECT_EQ(data->count(), 2);
    EXPECT_TRUE(Shown(form.get(), "SpinEdit_SampleSize"));
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 7);
    EXPECT_EQ(VarChartSettings.SampleSize, 5);
    EXPECT_EQ(VarChartSettings.SampleSizeColumn, 0);
}

TEST_F(VARsetupTest, ChartChoicesLinkTheEstimates) {
    MakeTable(4, 10);
    Open();
    Move({"A", "B"});
    Child<QGroupBox>(form.get(), "RadioGroup_Layout")->findChildren<QRadioButton*>()[1]->click();

    Choose("ComboBox_LocChartType", "Median");
    EXPECT_EQ(Combo("ComboBox_LocCL")->currentText(), "Median of Medians");
    EXPECT_EQ(Combo("ComboBox_LocLimitCalc")->currentText(), "Median Range");
    EXPECT_EQ(Combo("ComboBox_DispCalc")->currentText(), "Median Range");
    EXPECT_EQ(Combo("ComboBox_DispCL")->currentText(), "Median Range");
    EXPECT_EQ(Combo("ComboBox_LocLimitCalc")->itemText(5), "Average MR of Medians");

    Choose("ComboBox_DispChartType", "Variance (s²)");
    EXPECT_EQ(Combo("ComboBox_LocLimitCalc")->currentText(), "Average Variance");
    EXPECT_EQ(Combo("ComboBox_DispCalc")->currentText(), "Average Variance");
    EXPECT_EQ(Combo("ComboBox_DispCL")->currentText(), "Median Variance (s²)");

    // The dispersion names drop the chart's "(s)"; the stored method is found through them.
    Choose("ComboBox_LocChartType", "Mean");
    Choose("ComboBox_DispChartType", "Std Dev (s)");
    EXPECT_EQ(Combo("ComboBox_DispCL")->currentText(), "Average Std Dev (s)");
    Choose("ComboBox_DispCalc", "Median MR of Std Dev ");
    EXPECT_EQ(Combo("ComboBox_LocLimitCalc")->currentText(), "Median MR of Means") << "same position";
    EXPECT_EQ(Combo("ComboBox_DispCL")->currentIndex(), 0) << "a median of something is no median centerline";
    Choose("ComboBox_DispCalc", "Median Std Dev");
    EXPECT_EQ(Combo("ComboBox_DispCL")->currentText(), "Median Std Dev (s)");
    Choose("ComboBox_DispCalc", "Median MR of Std Dev ");
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.LocationMethod, kMethodMedianMRMeans);
    EXPECT_EQ(VarChartSettings.DispersionMethod, kMethodMedianMRDispersion);
    EXPECT_EQ(VarChartSettings.DispersionChart, kChartStdDev);

    // Without charts there is nothing to do.
    Choose("ComboBox_LocChartType", "None");
    Choose("ComboBox_DispChartType", "None");
    EXPECT_FALSE(Child<QPushButton>(form.get(), "CalcButton")->isEnabled());
    EXPECT_FALSE(Shown(form.get(), "Edit_StdErr"));
}

TEST_F(VARsetupTest, EntriesAreCheckedBeforeTheHandOver) {
    MakeTable(2, 10);
    Open();
    Move({"A"});
    struct Case {
        const char* name;
        const char* locCalc;
        const char* cl;    // text of the location centerline box, or null
        QStringList edits; // UCL, CL, LCL texts; "-" leaves the box unchecked
        const char* sigma;
        const char* mu;
        const char* stdErr;
        const char* error; // null: accepted
    };
    const Case cases[] = {
        {"equal UCL and LCL", "User Defined", nullptr, {"5", "-", "5"}, "", "", "3", nullptr},
        {"CL above UCL",
         "User Defined",
         nullptr,
         {"5", "6", "1"},
         "",
         "",
         "3",
         "User Defined Location Limits Not Valid!"},
        {"LCL above UCL",
         "User Defined",
         nullptr,
         {"1", "-", "2"},
         "",
         "",
         "3",
         "User Defined Location Limits Not Valid!"},
        {"limit not a number",
         "User Defined",
         nullptr,
         {".", "-", "1"},
         "",
         "",
         "3",
         "User Defined Location Limits Not Valid!"},
        {"sigma zero", "Known Std Dev", nullptr, {}, "0", "", "3", "Known Sigma Not Valid!"},
        {"sigma given", "Known Std Dev", nullptr, {}, "0.5", "", "3", nullptr},
        {"mean missing", "Average MR", "Known Mean", {}, "", "", "3", "Known Location Parameter Not Valid!"},
        {"std err empty", "Average MR", nullptr, {}, "", "", "", "Number of Standard Errors Not Valid!"},
        // No standard errors put the limits on the centerline: every point would be flagged.
        {"std err zero", "Average MR", nullptr, {}, "", "", "0", "Number of Standard Errors Not Valid!"},
        {"std err 0.0", "Average MR", nullptr, {}, "", "", "0.0", "Number of Standard Errors Not Valid!"},
        {"mean given", "Average MR", "Known Mean", {}, "", "-2.5", "3", nullptr},
    };
    const char* edits[] = {"Edit_UCL", "Edit_CL", "Edit_LCL"};
    const char* checks[] = {"CheckBox_UCL", "CheckBox_CL", "CheckBox_LCL"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.Messages.clear();
        Choose("ComboBox_LocLimitCalc", c.locCalc);
        Choose("ComboBox_LocCL", c.cl ? c.cl : "Average X");
        for (int i = 0; i < c.edits.size(); ++i) {
            Child<QCheckBox>(form.get(), checks[i])->setChecked(c.edits[i] != "-");
            Child<QLineEdit>(form.get(), edits[i])->setText(c.edits[i] == "-" ? "" : c.edits[i]);
        }
        Child<QLineEdit>(form.get(), "Edit_Sigma")->setText(c.sigma);
        Child<QLineEdit>(form.get(), "Edit_Mu")->setText(c.mu);
        Child<QLineEdit>(form.get(), "Edit_StdErr")->setText(c.stdErr);
        const bool accepted = form->CalcButtonClick();
        EXPECT_EQ(accepted, c.error == nullptr);
        if (c.error) {
            EXPECT_EQ(Errors(), std::vector<std::string>{c.error});
            EXPECT_NE(StatErrorCode, 0);
        } else {
            EXPECT_TRUE(Errors().empty());
        }
    }
    // The last case reached the settings as typed.
    EXPECT_TRUE(VarChartSettings.UseKnownMean);
    EXPECT_DOUBLE_EQ(VarChartSettings.KnownMean, -2.5);
    EXPECT_FALSE(VarChartSettings.UseKnownSigma) << "no sigma box for that entry";
    EXPECT_EQ(VarChartSettings.LocationCenterline, kCenterKnownMean);
}

TEST_F(VARsetupTest, UserLimitsAndKnownSigmaReachTheSettings) {
    MakeTable(2, 10);
    Open();
    Move({"A"});
    Choose("ComboBox_LocLimitCalc", "User Defined");
    EXPECT_TRUE(Shown(form.get(), "GroupBox_LocUser"));
    EXPECT_FALSE(Shown(form.get(), "ComboBox_LocCL"));
    Child<QCheckBox>(form.get(), "CheckBox_CL")->setChecked(false);
    EXPECT_FALSE(Shown(form.get(), "Edit_CL"));
    Child<QLineEdit>(form.get(), "Edit_UCL")->setText("12");
    Child<QLineEdit>(form.get(), "Edit_LCL")->setText("8");
    Choose("ComboBox_DispCalc", "Known Std Dev");
    EXPECT_EQ(Combo("ComboBox_LocLimitCalc")->currentText(), "Known Std Dev") << "follows the dispersion";
    Choose("ComboBox_LocLimitCalc", "User Defined");
    ASSERT_TRUE(Shown(form.get(), "Edit_Sigma"));
    Child<QLineEdit>(form.get(), "Edit_Sigma")->setText("1.5");
    ASSERT_TRUE(form->CalcButtonClick());
    const TVarChartSettings& s = VarChartSettings;
    EXPECT_EQ(s.LocationMethod, kMethodUserDefined);
    EXPECT_DOUBLE_EQ(s.UserLocUCL, 12);
    EXPECT_EQ(s.UserLocCL, MissingValue);
    EXPECT_DOUBLE_EQ(s.UserLocLCL, 8);
    EXPECT_EQ(s.DispersionMethod, kMethodKnownSigma);
    EXPECT_TRUE(s.UseKnownSigma);
    EXPECT_DOUBLE_EQ(s.KnownSigma, 1.5);
}

TEST_F(VARsetupTest, OneColumnTableHasNoGroupsOrSets) {
    MakeTable(1, 10);
    Open();
    for (const char* name : {"ListBox_ChartGroups", "IncludeBtnChart", "Edit_Sets", "SpeedButton_sets",
                             "SpeedButton_Sample", "Edit_Sample"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Shown(form.get(), name));
    }
    EXPECT_TRUE(Shown(form.get(), "CheckBox_Sample"));
    Child<QCheckBox>(form.get(), "CheckBox_Sample")->click();
    EXPECT_EQ(Child<QLabel>(form.get(), "Label_Sample")->text(), "  Sample Size");
    EXPECT_FALSE(form->IndividualMode());
    Move({"A"});
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 4);

    // A table of another shape starts the lists over.
    MakeTable(3, 10);
    form->FormActivate();
    EXPECT_EQ(Child<QListWidget>(form.get(), "ListBox_Measures")->count(), 0);
    EXPECT_EQ(Child<QListWidget>(form.get(), "DataVarList")->count(), 3);
    EXPECT_EQ(Combo("ComboBox_AL")->count(), 4);
    EXPECT_TRUE(Shown(form.get(), "ListBox_ChartGroups"));
    EXPECT_EQ(form->ChartWindow(), nullptr);
}

TEST_F(VARsetupTest, ActionOpensTheChartWindow) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    Open();
    form->FormActivate();
    EXPECT_TRUE(form->windowTitle().startsWith("Variables Chart Setup - "));
    Move({"Diam1", "Diam2", "Diam3", "Diam4", "Diam5"});
    Child<QGroupBox>(form.get(), "RadioGroup_Layout")->findChildren<QRadioButton*>()[1]->click();
    Combo("ComboBox_AL")->setCurrentIndex(1); // Day
    ASSERT_TRUE(form->CalcButtonClick());
    TVARchart_Form* chart = form->ChartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->windowTitle().startsWith("Variables Chart - "));
    auto* charts = Child<QListWidget>(chart, "ListBox_Charts");
    ASSERT_EQ(charts->count(), 1);
    EXPECT_EQ(charts->item(0)->text(), "Diam1..Diam5");
    EXPECT_EQ(VarChart.Count, 30);
    // Point 1: 24.995 24.959 25.019 24.996 24.981, mean 24.99, range 0.06.
    EXPECT_DOUBLE_EQ(VarChart.Points(kRowLocation, 1), 24.99);
    EXPECT_NEAR(VarChart.Points(kRowDispersion, 1), 0.06, 1e-12);
    // Return goes back to the setup.
    Child<QAction>(chart, "Return1")->trigger();
    EXPECT_EQ(Child<QAction>(chart, "Return1")->text(), "&Return to " + form->windowTitle());

    // Day as the sample variable: fifteen subgroups of the two rows of a day, one chart per
    // measure column.
    Child<QGroupBox>(form.get(), "RadioGroup_Layout")->findChildren<QRadioButton*>()[0]->click();
    auto* data = Child<QListWidget>(form.get(), "DataVarList");
    data->clearSelection();
    data->item(0)->setSelected(true);
    Child<QToolButton>(form.get(), "SpeedButton_Sample")->click();
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(VarChartSettings.DataLayout, 6);
    ASSERT_EQ(Child<QListWidget>(form->ChartWindow(), "ListBox_Charts")->count(), 5);
    EXPECT_EQ(VarChart.Count, 15);
    EXPECT_EQ(VarChart.Points(kRowN, 1), 2);
}

TEST_F(VARsetupTest, MainWindowOpensTheSetup) {
    MakeTable(2, 5);
    TMainForm_KIVSPC main;
    Child<QPushButton>(&main, "Button_Variables")->click();
    auto* setup = main.findChild<TForm_VARsetup*>();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->isVisible());
    setup->showMinimized();
    Child<QAction>(&main, "VariablesControlCharts1")->trigger();
    EXPECT_EQ(main.findChildren<TForm_VARsetup*>().size(), 1);
    EXPECT_FALSE(setup->isMinimized());
}

// A measure column without numbers gives no chart: "Action" says why and opens no window.
TEST_F(VARsetupTest, ActionWithoutPointsSaysWhyAndOpensNoChart) {
    MakeTable(2, 6);
    for (int r = 1; r <= 6; ++r)
        DataTable().SetCell(1, r, "n/a");
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    Open();
    Move({"A"});
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(Errors(), std::vector<std::string>{"No numeric values in column A"});
    EXPECT_TRUE(form->ChartWindow() == nullptr || !form->ChartWindow()->isVisible());

    // A chart shown before goes when the next one has no points.
    recorder.Messages.clear();
    auto* measures = Child<QListWidget>(form.get(), "ListBox_Measures");
    measures->selectAll();
    Child<QPushButton>(form.get(), "ExcludeBtnMeasure")->click();
    Move({"B"});
    ASSERT_TRUE(form->CalcButtonClick());
    ASSERT_TRUE(form->ChartWindow()->isVisible());
    for (int r = 1; r <= 6; ++r)
        DataTable().SetCell(2, r, "");
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(Errors(), std::vector<std::string>{"No numeric values in column B"});
    EXPECT_FALSE(form->ChartWindow() && form->ChartWindow()->isVisible());
}

// Shown, the setup lies on the screen, centred on the size its layout gave it: a side that fits
// lies inside the work area, in its middle; a side longer than the area (the test screen is
// small) starts at its edge.
TEST_F(VARsetupTest, TheWindowOpensOnTheScreen) {
    MakeTable(3, 12);
    Open();
    form->show();
    QApplication::processEvents();
    const QRect area = form->screen()->availableGeometry();
    const QRect frame = form->frameGeometry();
    SCOPED_TRACE(std::to_string(frame.x()) + "," + std::to_string(frame.y()) + " " +
                 std::to_string(frame.width()) + "x" + std::to_string(frame.height()) + " on " +
                 std::to_string(area.width()) + "x" + std::to_string(area.height()));
    if (frame.width() <= area.width()) {
        EXPECT_GE(frame.left(), area.left());
        EXPECT_LE(frame.right(), area.right());
        EXPECT_NEAR(frame.center().x(), area.center().x(), 2);
    } else {
        EXPECT_EQ(frame.left(), area.left());
    }
    if (frame.height() <= area.height()) {
        EXPECT_GE(frame.top(), area.top());
        EXPECT_LE(frame.bottom(), area.bottom());
        EXPECT_NEAR(frame.center().y(), area.center().y(), 2);
    } else {
        EXPECT_EQ(frame.top(), area.top());
    }
}
