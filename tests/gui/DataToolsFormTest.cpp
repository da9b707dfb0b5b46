// SPDX-License-Identifier: GPL-3.0-or-later
// Run numbers, auto recode and weight cases opened from the data editor's Data menu and driven
// as a user would: columns moved with the arrow buttons, OK, the result in the editor, undo.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "data/DataFile.h"
#include "data/DataForm.h"
#include "data/DataTable.h"
#include "data/DataTableModel.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <functional>
#include <string>
#include <vector>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Drives the next modal dialog once it shows; the driver must close it.
void WhenModal(std::function<void(QWidget*)> drive, int triesLeft = 50) {
    QTimer::singleShot(10, [drive, triesLeft] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            drive(dialog);
        else if (triesLeft > 0)
            WhenModal(drive, triesLeft - 1);
        else
            ADD_FAILURE() << "no modal dialog showed";
    });
}

// Selects the entries of a column list by their shown names.
void SelectEntries(QListWidget* list, const QStringList& names) {
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (names.contains(list->item(i)->text().mid(2))) list->item(i)->setSelected(true);
}

QStringList Entries(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text().mid(2);
    return names;
}

QPushButton* Button(QWidget* dialog, const char* name) {
    auto* b = dialog->findChild<QPushButton*>(name);
    EXPECT_NE(b, nullptr) << name;
    return b;
}

class DataToolsFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        form = &EnsureDataForm();
        form->show();
        form->UndoStack()->clear();
    }
    void TearDown() override {
        ReleaseDataForm();
        GuiTest::TearDown();
    }
    void Show(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& rows) {
        MakeNamedTable(names, rows);
        form->ShowEdit({.Structure = true, .Headers = true, .Cells = {}});
    }
    void Run(const char* action) { Child<QAction>(form, action)->trigger(); }
    // The editor's view of column col: its header and its cells.
    std::vector<std::string> Shown(int col) const {
        const QAbstractItemModel* m = form->DataGrid()->model();
        std::vector<std::string> out{m->headerData(col - 1, Qt::Horizontal).toString().toStdString()};
        for (int r = 0; r < m->rowCount(); ++r)
            out.push_back(m->data(m->index(r, col - 1)).toString().toStdString());
        return out;
    }

    RecordingPlatform recorder;
    TDataForm* form = nullptr;
};

} // namespace

TEST_F(DataToolsFormTest, RunNumbersOfTwoColumnsShowInTheEditorAndUndo) {
    Show({"Day", "Part", "Diam"},
         {{"1", "7", "3.1"}, {"1", "8", "3.2"}, {"1", "7", "3.3"}, {"2", "7", "3.4"}});
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Generate Run Numbers");
        auto* title = dialog->findChild<QLabel*>("Label_Title");
        auto* target = dialog->findChild<QLabel*>("Label_Selected");
        auto* data = dialog->findChild<QListWidget*>("ListBox_Data");
        auto* chosen = dialog->findChild<QListWidget*>("ListBox_Selected");
        ASSERT_TRUE(title && target && data && chosen);
        EXPECT_EQ(title->text(), "Select Independent Variables to Compute Run Numbers");
        EXPECT_EQ(target->text(), "Selected Variables");
        EXPECT_EQ(Entries(data), (QStringList{"Day", "Part", "Diam"}));
        QPushButton* ok = Button(dialog, "Button_OK");
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_FALSE(Button(dialog, "ExcludeBtn")->isEnabled());
        // All across and all back, then the two grouping columns.
        Button(dialog, "IncAllBtn")->click();
        EXPECT_EQ(data->count(), 0);
        EXPECT_FALSE(Button(dialog, "IncludeBtn")->isEnabled());
        EXPECT_TRUE(ok->isEnabled());
        Button(dialog, "ExAllBtn")->click();
        EXPECT_FALSE(ok->isEnabled());
        SelectEntries(data, {"Day", "Part"});
        Button(dialog, "IncludeBtn")->click();
        EXPECT_EQ(Entries(chosen), (QStringList{"Day", "Part"}));
        EXPECT_EQ(Entries(data), QStringList{"Diam"});
        Button(dialog, "Button_Help")->click();
        ok->click();
    });
    Run("GenerateRunNumbers1");
    EXPECT_EQ(recorder.HelpShown, std::vector<int>{7500});
    // (1,7), (1,8), (1,7), (2,7): by hand three runs, equal rows sharing theirs.
    EXPECT_EQ(Shown(4), (std::vector<std::string>{"Run", "1", "2", "1", "3"}));
    EXPECT_TRUE(DataTable().Modified);
    Run("Undo1");
    EXPECT_EQ(DataTable().ColumnCount(), 3);
    EXPECT_EQ(form->DataGrid()->model()->columnCount(), 3);
}

TEST_F(DataToolsFormTest, AutoRecodeAddsOneColumnPerChosenColumnInOneUndoStep) {
    Show({"A", "B"}, {{"5", "x"}, {"3", "y"}, {"5", "x"}, {"", "z"}, {"9", "y"}});
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Auto Recode");
        auto* title = dialog->findChild<QLabel*>("Label_Title");
        auto* target = dialog->findChild<QLabel*>("Label_Selected");
        ASSERT_TRUE(title && target);
        EXPECT_EQ(title->text(), "Select Variables to Recode\n(lowest =1 to highest, increment by 1)");
        EXPECT_EQ(target->text(), "Recoded Variables");
        Button(dialog, "Button_Help")->click();
        Button(dialog, "IncAllBtn")->click();
        Button(dialog, "Button_OK")->click();
    });
    Run("AutoRecode1");
    EXPECT_EQ(recorder.HelpShown, std::vector<int>{7550});
    // 5, 3, 5, missing, 9 -> 2, 1, 2, empty, 3; the texts by their order of appearance.
    EXPECT_EQ(Shown(3), (std::vector<std::string>{"A_R", "2", "1", "2", "", "3"}));
    EXPECT_EQ(Shown(4), (std::vector<std::string>{"B_R", "1", "2", "1", "3", "2"}));
    Run("Undo1");
    EXPECT_EQ(DataTable().ColumnCount(), 2);
}

TEST_F(DataToolsFormTest, CancelAddsNothing) {
    Show({"A"}, {{"1"}, {"2"}});
    WhenModal([](QWidget* dialog) {
        Button(dialog, "IncAllBtn")->click();
        Button(dialog, "Button_Cancel")->click();
    });
    Run("AutoRecode1");
    EXPECT_EQ(DataTable().ColumnCount(), 1);
    EXPECT_FALSE(form->UndoStack()->canUndo());
}

TEST_F(DataToolsFormTest, WeightCasesTakesTheWeightColumnAndRepeatsRows) {
    Show({"Part", "W"}, {{"a", "2"}, {"b", "1"}, {"c", "3"}});
    recorder.Answers = {Answer::No, Answer::Yes};
    bool stayedOpen = false;
    WhenModal([&stayedOpen, this](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Weight Cases");
        auto* data = dialog->findChild<QListWidget*>("ListBox_Data");
        auto* arrow = dialog->findChild<QToolButton*>("SpeedButton_Weight");
        auto* weight = dialog->findChild<QLineEdit*>("Edit_Weight");
        ASSERT_TRUE(data && arrow && weight);
        EXPECT_TRUE(weight->isReadOnly());
        EXPECT_EQ(arrow->text(), ">");
        // OK without a weight column does nothing.
        Button(dialog, "Button_OK")->click();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(recorder.Messages.empty());

        SelectEntries(data, {"W"});
        arrow->click();
        EXPECT_EQ(weight->text(), "W");
        EXPECT_EQ(arrow->text(), "<");
        EXPECT_EQ(Entries(data), QStringList{"Part"});
        arrow->click();
        EXPECT_EQ(weight->text(), "");
        EXPECT_EQ(Entries(data), (QStringList{"Part", "W"}));
        SelectEntries(data, {"W"});
        arrow->click();

        // No to the question: nothing changes and the dialog stays.
        Button(dialog, "Button_OK")->click();
        stayedOpen = dialog->isVisible() && DataTable().RowCount() == 3;
        Button(dialog, "Button_Help")->click();
        Button(dialog, "Button_OK")->click();
    });
    Run("WeightCases1");
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(recorder.Messages.size(), 2u);
    EXPECT_EQ(recorder.Messages[1].text, "New Row Count = 6, Continue?");
    EXPECT_EQ(recorder.HelpShown, std::vector<int>{7650});
    // Weights 2, 1, 3: the rows as they were, then one copy of row 1 and two of row 3.
    EXPECT_EQ(Shown(1), (std::vector<std::string>{"Part", "a", "b", "c", "a", "c", "c"}));
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel4")->text(), "Cols = 2,  Rows = 6");
    Run("Undo1");
    EXPECT_EQ(Shown(1), (std::vector<std::string>{"Part", "a", "b", "c"}));
}

TEST_F(DataToolsFormTest, ARefusedWeightKeepsTheDialogOpenAndTheTable) {
    Show({"Part", "W"}, {{"a", "2"}, {"b", "0"}});
    WhenModal([this](QWidget* dialog) {
        SelectEntries(dialog->findChild<QListWidget*>("ListBox_Data"), {"W"});
        dialog->findChild<QToolButton*>("SpeedButton_Weight")->click();
        Button(dialog, "Button_OK")->click();
        EXPECT_TRUE(dialog->isVisible());
        ASSERT_EQ(recorder.Messages.size(), 1u);
        EXPECT_EQ(recorder.Messages[0].kind, "error");
        EXPECT_EQ(recorder.Messages[0].text.rfind("Row 2 of W holds 0, which rounds to 0.", 0), 0u);
        Button(dialog, "Button_Cancel")->click();
    });
    Run("WeightCases1");
    EXPECT_EQ(DataTable().RowCount(), 2);
    EXPECT_FALSE(form->UndoStack()->canUndo());
}
