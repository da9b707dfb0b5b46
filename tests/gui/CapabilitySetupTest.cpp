// SPDX-License-Identifier: GPL-3.0-or-later
// The capability setup driven as a user drives it: columns moved into the measures, the groups
// and the sample box, the two readings chosen, and what "Action" stores and opens.
#include "GuiFixture.h"

#include "app/Kivspc_Main.h"
#include "app/Platform.h"
#include "capability/CapabilityPlotForm.h"
#include "capability/CapabilitySetup.h"
#include "capability/CapabilitySetupForm.h"
#include "data/DataFile.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <cstdlib>
#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class CapabilitySetupFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        ResetCapabilitySetup();
    }
    void TearDown() override {
        form.reset();
        GuiTest::TearDown();
    }
    // Columns A, B, C ... of whole numbers.
    static void Letters(int columns) {
        std::vector<std::string> names;
        for (int c = 0; c < columns; ++c)
            names.emplace_back(1, static_cast<char>('A' + c));
        std::vector<std::vector<std::string>> rows;
        for (int r = 1; r <= 6; ++r) {
            rows.emplace_back();
            for (int c = 1; c <= columns; ++c)
                rows.back().push_back(std::to_string(r + c));
        }
        MakeNamedTable(names, rows);
    }
    TForm_CapabilitySetup& Open() {
        form = std::make_unique<TForm_CapabilitySetup>(nullptr);
        return *form;
    }
    template <class T = QWidget> T* Get(const char* name) { return Child<T>(form.get(), name); }
    bool Shown(const char* name) { return !Get(name)->isHidden(); }
    QListWidget* List(const char* name) { return Get<QListWidget>(name); }
    static QStringList Names(const QListWidget* list) {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text().mid(2);
        return names;
    }
    // Selects the named entries of `list` and presses `button`.
    void Move(const char* list, const QStringList& names, const char* button) {
        QListWidget* from = List(list);
        from->clearSelection();
        for (int i = 0; i < from->count(); ++i)
            if (names.contains(from->item(i)->text().mid(2))) from->item(i)->setSelected(true);
        Get<QAbstractButton>(button)->click();
    }
    void Choose(const char* group, int item) {
        Get<QRadioButton>((QString(group) + "_" + QString::number(item)).toUtf8().constData())->click();
    }
    bool Checked(const char* group, int item) {
        return Get<QRadioButton>((QString(group) + "_" + QString::number(item)).toUtf8().constData())
            ->isChecked();
    }
    bool ActionEnabled() { return Get<QPushButton>("CalcButton")->isEnabled(); }
    // Saves what the user sees when KIVSPC_SHOTS names a folder.
    static void Shot(QWidget* w, const char* name) {
        if (const char* dir = std::getenv("KIVSPC_SHOTS")) w->grab().save(QString(dir) + "/" + name + ".png");
    }

    RecordingPlatform recorder;
    std::unique_ptr<TForm_CapabilitySetup> form;
};

} // namespace

TEST_F(CapabilitySetupFormTest, OneColumnIsTheMeasureAtOnce) {
    Letters(1);
    Open();
    EXPECT_EQ(form->windowTitle(), "Capability/Performance Setup");
    EXPECT_EQ(Names(List("ListBox_Measures")), QStringList{"A"});
    EXPECT_EQ(List("DataVarList")->count(), 0);
    EXPECT_TRUE(ActionEnabled());
    for (const char* name : {"ListBox_ChartGroups", "Label_ChartGroups", "IncludeBtnChart", "ExcludeBtnChart",
                             "ExcludeAllBtnChart", "Edit_Sample", "SpeedButton_Sample", "Label_SampleVar",
                             "RadioGroup_Layout", "RadioGroup_Groups"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Shown(name));
    }
    EXPECT_FALSE(Get("IncludeBtnMeasure")->isEnabled()) << "nothing left to add";
    EXPECT_TRUE(Get("ExcludeBtnMeasure")->isEnabled());

    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(CapabilityRun.RunType, kRunColumns);
    EXPECT_EQ(CapabilityConfig.MeasureCount, 1);
    ASSERT_NE(form->AnalysisWindow(), nullptr);
    EXPECT_TRUE(form->AnalysisWindow()->isVisible());

    // The window's own help item, with the caption of this window.
    auto* help = Get<QAction>("HelponOutputForm1");
    EXPECT_EQ(help->text(), "&Help on Capability Setup");
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Get<QAction>("DataEditor1")->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_EQ(Get<QAction>("ProcessIf1")->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(Get<QAction>("ToolButton1")->toolTip(), "Data Editor");
    EXPECT_EQ(form->findChild<QAction*>("ToolButton_Copy"), nullptr) << "no number box to copy from";
}

TEST_F(CapabilitySetupFormTest, ReadingsFollowTheListsAndResetWhenHidden) {
    Letters(5);
    Open();
    EXPECT_FALSE(ActionEnabled());
    EXPECT_TRUE(Get("IncludeBtnMeasure")->isEnabled());
    EXPECT_FALSE(Get("ExcludeBtnMeasure")->isEnabled());
    EXPECT_FALSE(Get("ExcludeAllBtnChart")->isEnabled());
    EXPECT_TRUE(Shown("SpeedButton_Sample"));
    EXPECT_TRUE(Shown("ListBox_ChartGroups"));

    Move("DataVarList", {"A", "C", "D"}, "IncludeBtnMeasure");
    EXPECT_EQ(Names(List("ListBox_Measures")), QStringList({"A", "C", "D"}));
    EXPECT_EQ(Names(List("DataVarList")), QStringList({"B", "E"}));
    EXPECT_EQ(List("DataVarList")->selectedItems().size(), 1) << "the entry now at the first moved place";
    EXPECT_TRUE(ActionEnabled());
    ASSERT_TRUE(Shown("RadioGroup_Layout"));

    // B as the sample column; "Subgroups in Rows" gives it back and hides the sample controls.
    Move("DataVarList", {"B"}, "SpeedButton_Sample");
    EXPECT_EQ(Get<QLineEdit>("Edit_Sample")->text(), "B");
    EXPECT_EQ(Get<QToolButton>("SpeedButton_Sample")->text(), "<");
    EXPECT_EQ(Names(List("DataVarList")), QStringList{"E"});
    Choose("RadioGroup_Layout", kLayoutSubgroupsInRows);
    EXPECT_EQ(Names(List("DataVarList")), QStringList({"B", "E"}));
    EXPECT_EQ(Get<QLineEdit>("Edit_Sample")->text(), "");
    EXPECT_EQ(Get<QToolButton>("SpeedButton_Sample")->text(), ">");
    for (const char* name : {"Edit_Sample", "SpeedButton_Sample", "Label_SampleVar"})
        EXPECT_FALSE(Shown(name)) << name;
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(CapabilityRun.RunType, kRunPooled);
    EXPECT_FALSE(CapabilityConfig.HasSampleColumn);

    Choose("RadioGroup_Layout", kLayoutRepeatedMeasures);
    EXPECT_TRUE(Shown("SpeedButton_Sample"));
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(CapabilityRun.RunType, kRunRowMeans);

    // Down to one measure: the reading of several is hidden and back at its first item.
    Move("ListBox_Measures", {"C", "D"}, "ExcludeBtnMeasure");
    EXPECT_FALSE(Shown("RadioGroup_Layout"));
    EXPECT_TRUE(Checked("RadioGroup_Layout", 0));
    EXPECT_EQ(Names(List("DataVarList")), QStringList({"B", "C", "D", "E"})) << "column order is kept";
    Move("DataVarList", {"C"}, "IncludeBtnMeasure");
    EXPECT_TRUE(Checked("RadioGroup_Layout", 0)) << "no stale reading comes back";

    // The groups' reading, likewise.
    Move("DataVarList", {"E"}, "IncludeBtnChart");
    ASSERT_TRUE(Shown("RadioGroup_Groups"));
    Choose("RadioGroup_Groups", kGroupsProcessStreams);
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(CapabilityRun.RunType, kRunEachByGroupValue);
    EXPECT_TRUE(CapabilityConfig.GroupsAreStreams);
    Get<QPushButton>("ExcludeAllBtnChart")->click();
    EXPECT_FALSE(Shown("RadioGroup_Groups"));
    EXPECT_TRUE(Checked("RadioGroup_Groups", 0));

    // Removing every measure leaves nothing to analyse.
    Get<QPushButton>("ExcludeAllBtnMeasure")->click();
    EXPECT_FALSE(ActionEnabled());
    EXPECT_FALSE(Get("ExcludeBtnMeasure")->isEnabled());
    EXPECT_EQ(List("DataVarList")->count(), 5);
    EXPECT_TRUE(List("DataVarList")->selectedItems().isEmpty());
}

TEST_F(CapabilitySetupFormTest, ActionStoresTheRunAndListChangesHideTheAnalysis) {
    Letters(4);
    Open();
    Move("DataVarList", {"B"}, "IncludeBtnMeasure");
    Move("DataVarList", {"D"}, "IncludeBtnChart");
    ASSERT_TRUE(form->CalcButtonClick());
    // One measure and one group column: the combinations of that column.
    EXPECT_EQ(CapabilityRun.RunType, kRunBySingleCombination);
    EXPECT_EQ(CapabilityRun.MeasureColumn, 2);
    QPointer<TForm_CapabilityPlot> analysis = form->AnalysisWindow();
    ASSERT_TRUE(analysis && analysis->isVisible());

    Move("DataVarList", {"A"}, "IncludeBtnChart");
    EXPECT_FALSE(analysis->isVisible()) << "what is shown always matches the setup";
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(CapabilityRun.RunType, kRunByCombination);
    EXPECT_EQ(form->AnalysisWindow(), analysis) << "one analysis window, kept";
    EXPECT_TRUE(analysis->isVisible());
    Choose("RadioGroup_Groups", kGroupsProcessStreams);
    EXPECT_FALSE(analysis->isVisible());

    form.reset();
    EXPECT_TRUE(analysis.isNull()) << "the analysis window goes with its setup";
}

TEST_F(CapabilitySetupFormTest, ColumnChangesRefillTheListsValueChangesKeepThem) {
    Letters(3);
    Open();
    form->FormActivate();
    Move("DataVarList", {"A", "B"}, "IncludeBtnMeasure");

    ASSERT_TRUE(ApplyTableEdit(TTableEdit::Cell(1, 1, "42"), "Edit"));
    CommitEditorChanges();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    EXPECT_EQ(Names(List("ListBox_Measures")), QStringList({"A", "B"}));

    ASSERT_TRUE(ApplyTableEdit(TTableEdit(edits::InsertColumns{2, 1, {}}), "Insert Columns"));
    CommitEditorChanges();
    QApplication::sendEvent(form.get(), &activate);
    EXPECT_EQ(List("ListBox_Measures")->count(), 0);
    EXPECT_EQ(List("DataVarList")->count(), 4);
    EXPECT_FALSE(ActionEnabled());
}

TEST_F(CapabilitySetupFormTest, MainWindowButtonOpensTheSetup) {
    Letters(2);
    TMainForm_KIVSPC main;
    auto* button = Child<QPushButton>(&main, "Button_Capability");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    auto* setup = main.findChild<TForm_CapabilitySetup*>();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->isVisible());
    setup->showMinimized();
    Child<QAction>(&main, "CapabilityPerformance1")->trigger();
    EXPECT_EQ(main.findChildren<TForm_CapabilitySetup*>().size(), 1);
    EXPECT_FALSE(setup->isMinimized());
}

TEST_F(CapabilitySetupFormTest, ExampleFileWithTwoMeasuresByShift) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    Open();
    form->FormActivate();
    EXPECT_EQ(form->windowTitle().left(31), "Capability/Performance Setup - ");
    EXPECT_TRUE(form->windowTitle().endsWith("bearing-diameters.kivs"));
    Move("DataVarList", {"Diam1", "Diam2"}, "IncludeBtnMeasure");
    Move("DataVarList", {"Shift"}, "IncludeBtnChart");
    Choose("RadioGroup_Layout", kLayoutProcessStreams);
    form->resize(760, 460);
    form->show();
    Shot(form.get(), "capability-setup");
    ASSERT_TRUE(form->CalcButtonClick());
    // Each measure in turn by the two shifts (text levels 1 and 2).
    EXPECT_EQ(CapabilityRun.RunType, kRunEachByGroupValue);
    EXPECT_EQ(CapabilityRun.FirstMeasure, 3);
    EXPECT_EQ(CapabilityRun.LastMeasure, 4);
    EXPECT_EQ(CapabilityRun.GroupColumn, 2);
    EXPECT_EQ(CapabilityRun.FirstGroup, 1);
    EXPECT_EQ(CapabilityRun.LastGroup, 2);
    EXPECT_TRUE(CapabilityConfig.MeasuresAreStreams);
}
