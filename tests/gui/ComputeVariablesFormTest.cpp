// SPDX-License-Identifier: GPL-3.0-or-later
// The compute-variables window driven as a user drives it: the dependent column and an
// independent one chosen, a statistic, the default names, Action, the log, the two BKB
// questions answered or cancelled, the across-rows tab with its numbered names, and undo in the
// data editor.
#include "GuiFixture.h"

#include "data/ComputeVariables.h"
#include "data/ComputeVariablesForm.h"
#include "data/DataFile.h"
#include "data/DataForm.h"
#include "data/DataTable.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QUndoStack>

#include <cstdlib>
#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class ComputeVariablesFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
        form = ShowComputeVariablesDialog(nullptr);
    }
    void TearDown() override {
        delete form;
        GuiTest::TearDown();
    }
    static void Select(QListWidget* list, const QString& name) {
        list->clearSelection();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().endsWith(name)) list->item(i)->setSelected(true);
    }

    TBkbox_Form* form = nullptr;
};

TEST_F(ComputeVariablesFormTest, RunStatisticByShiftWithTheLog) {
    EXPECT_FALSE(form->ActionButton()->isEnabled()) << "no dependent column yet";
    Select(form->DataList(), "Diam1");
    form->DependentButton()->click();
    EXPECT_EQ(form->DependentBox()->text(), "Diam1");
    EXPECT_EQ(form->DependentButton()->text(), "<");
    EXPECT_EQ(form->NameBox()->text(), "Diam1_ADM");
    form->ChooseRunStatistic(kRunMean);
    EXPECT_EQ(form->NameBox()->text(), "Diam1_AVG");
    Select(form->DataList(), "Shift");
    form->findChild<QPushButton*>("IncludeBtn")->click();
    ASSERT_EQ(form->Independents()->count(), 1);
    const int before = DataTable().ColumnCount();
    ASSERT_TRUE(form->CalcButtonClick());
    ASSERT_EQ(DataTable().ColumnCount(), before + 1);
    EXPECT_EQ(DataTable().ColumnName(before + 1), "Diam1_AVG");
    EXPECT_FALSE(DataTable().Cell(before + 1, 1).empty()) << "the first Early row holds the Early mean";
    EXPECT_FALSE(DataTable().Cell(before + 1, 2).empty()) << "the first Late row holds the Late mean";
    EXPECT_TRUE(DataTable().Cell(before + 1, 3).empty());
    EXPECT_TRUE(form->Log()->toPlainText().startsWith(
        "Diam1_AVG added to Data Editor\n\t* Mean\n\t* Diam1 by Shift"));
    EXPECT_EQ(form->DataList()->item(form->DataList()->count() - 1)->text().right(9), "Diam1_AVG");

    if (const char* dir = std::getenv("KIVSPC_SHOTS"))
        form->grab().save(QString(dir) + "/compute-variables-runs.png");

    // Undo in the data editor takes the column away again.
    TDataForm& editor = EnsureDataForm();
    editor.UndoStack()->undo();
    EXPECT_EQ(DataTable().ColumnCount(), before);
}

TEST_F(ComputeVariablesFormTest, BkbQuestionsAndAcrossRowsNames) {
    Select(form->DataList(), "Diam2");
    form->DependentButton()->click();
    form->ChooseRunStatistic(kBartlettKendallBox);
    // Cancelled: nothing added, nothing logged.
    form->AskSubgroups = [](const TSubgroupQuestion&) -> std::optional<int> { return std::nullopt; };
    const int before = DataTable().ColumnCount();
    EXPECT_FALSE(form->CalcButtonClick());
    EXPECT_EQ(DataTable().ColumnCount(), before);
    EXPECT_TRUE(form->Log()->toPlainText().isEmpty());
    // The real question: 30 values in one run offer 1 to 15 subgroups, starting at round(sqrt(30)) = 5.
    TGetSubgroups_Form question(SubgroupQuestion({30}), form);
    EXPECT_EQ(question.Count()->maximum(), 15);
    EXPECT_EQ(question.Count()->value(), 5);
    TMinVar_Form range("Early", form);
    EXPECT_FALSE(range.OkButton()->isEnabled());
    range.Range()->setText("0.1");
    EXPECT_TRUE(range.OkButton()->isEnabled());

    form->Tabs()->setCurrentIndex(1);
    EXPECT_FALSE(form->ActionButton()->isEnabled());
    Select(form->RowDataList(), "Diam1");
    form->findChild<QPushButton*>("IncludeBtn2")->click();
    Select(form->RowDataList(), "Diam2");
    form->findChild<QPushButton*>("IncludeBtn2")->click();
    form->ChooseRowStatistic(2);
    EXPECT_EQ(form->NameBox()->text(), "Std_Dev1");
    ASSERT_TRUE(form->CalcButtonClick());
    EXPECT_EQ(DataTable().ColumnName(DataTable().ColumnCount()), "Std_Dev1");
    EXPECT_EQ(form->NameBox()->text(), "Std_Dev2");
    form->resize(760, 620);
    if (const char* dir = std::getenv("KIVSPC_SHOTS"))
        form->grab().save(QString(dir) + "/compute-variables.png");
}

} // namespace
