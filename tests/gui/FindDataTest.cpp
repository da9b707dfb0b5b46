// SPDX-License-Identifier: GPL-3.0-or-later
// The find window driven as a user would, over the data editor.
#include "GuiFixture.h"

#include "app/Help.h"
#include "app/Platform.h"
#include "data/FindData.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QUndoStack>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class FindDataTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        editor = &EnsureDataForm();
        editor->show();
        // Columns A, B (text: it holds "abc") and C, as the core's find tests use them.
        MakeNamedTable(
            {"A", "B", "C"},
            {{"5", "3", "8"}, {"12", "abc", "9"}, {"-1", "20", "10"}, {"", "11", "11"}, {"7", "x", "12"}});
        editor->ShowEdit({.Structure = true, .Headers = true, .Cells = {}});
        editor->UndoStack()->clear();
        Select(1, 1, 1, 1);
        Child<QAction>(editor, "Search1")->trigger();
        form = editor->findChild<TForm_Find*>("Form_Find");
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override {
        ReleaseDataForm();
        GuiTest::TearDown();
    }
    void Select(int left, int top, int right, int bottom) {
        QTableView* grid = editor->DataGrid();
        QAbstractItemModel* m = grid->model();
        grid->setCurrentIndex(m->index(top - 1, left - 1));
        grid->selectionModel()->select(
            QItemSelection(m->index(top - 1, left - 1), m->index(bottom - 1, right - 1)),
            QItemSelectionModel::ClearAndSelect);
    }
    void Relation(int condition, int index, const QString& value) {
        const auto items = Child<QGroupBox>(form, QString("RadioGroup_Relation%1").arg(condition))
                               ->findChildren<QRadioButton*>();
        ASSERT_GT(items.size(), index);
        items[index]->click();
        if (index > 0) {
            QLineEdit* box = Child<QLineEdit>(form, QString("Edit_Value%1").arg(condition));
            box->clear();
            QTest::keyClicks(box, value);
        }
    }
    // The grid's current cell as "column,row" from 1.
    std::string Current() const {
        const QModelIndex i = editor->DataGrid()->currentIndex();
        return std::to_string(i.column() + 1) + "," + std::to_string(i.row() + 1);
    }
    void Action() { QTest::mouseClick(Child<QPushButton>(form, "OKBtn"), Qt::LeftButton); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : recorder.Messages)
            texts.push_back(m.text);
        return texts;
    }

    RecordingPlatform recorder;
    TDataForm* editor = nullptr;
    TForm_Find* form = nullptr;
};

TEST_F(FindDataTest, TheControlsFollowTheRelationsAndTheReplaceBox) {
    EXPECT_EQ(form->windowTitle(), "Find");
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Child<QLineEdit>(form, "Edit_Value1")->isVisible());
    EXPECT_FALSE(Child<QLineEdit>(form, "Edit_Value2")->isVisible());
    EXPECT_EQ(Child<QLabel>(form, "Label_Relation1")->text(), "=");
    EXPECT_EQ(Child<QLabel>(form, "Label_Relation2")->text(), "=");
    EXPECT_FALSE(Child<QLineEdit>(form, "Edit_Replace")->isVisible());
    EXPECT_FALSE(Child<QCheckBox>(form, "CheckBox_ReplaceAll")->isVisible());

    Relation(2, 4, "0");
    EXPECT_TRUE(Child<QLineEdit>(form, "Edit_Value2")->isVisible());
    EXPECT_EQ(Child<QLabel>(form, "Label_Relation2")->text(), "<");
    Relation(1, 0, {});
    Relation(2, 0, {});
    EXPECT_FALSE(Child<QLineEdit>(form, "Edit_Value1")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(form, "OKBtn")->isEnabled()) << "nothing to look for";
    Relation(1, 3, "1");
    EXPECT_EQ(Child<QLabel>(form, "Label_Relation1")->text(), ">=");
    EXPECT_TRUE(Child<QPushButton>(form, "OKBtn")->isEnabled());

    QTest::mouseClick(Child<QCheckBox>(form, "CheckBox_Replace"), Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), "Find and Replace");
    EXPECT_EQ(Child<QPushButton>(form, "OKBtn")->text(), "&Replace");
    EXPECT_TRUE(Child<QLineEdit>(form, "Edit_Replace")->isVisible());
    EXPECT_TRUE(Child<QCheckBox>(form, "CheckBox_ReplaceAll")->isVisible());
    QTest::mouseClick(Child<QCheckBox>(form, "CheckBox_Replace"), Qt::LeftButton);
    EXPECT_EQ(form->windowTitle(), "Find");
    EXPECT_EQ(Child<QPushButton>(form, "OKBtn")->text(), "&Find");

    QTest::mouseClick(Child<QPushButton>(form, "Button_Help"), Qt::LeftButton);
    EXPECT_EQ(recorder.HelpShown, std::vector<int>{kHelpFind});
}

TEST_F(FindDataTest, EachFindMakesTheNextMatchTheCurrentCell) {
    Relation(1, 2, "10");
    Relation(2, 4, "0");
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        Action();
        visited.push_back(Current());
    }
    // By hand, column by column after A1: A2 12, A3 -1, B3 20, B4 11, C4 11, C5 12.
    EXPECT_EQ(visited, (std::vector<std::string>{"1,2", "1,3", "2,3", "2,4", "3,4", "3,5"}));
    EXPECT_TRUE(Messages().empty());
    Action();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Find Not Found"});
    EXPECT_EQ(Current(), "3,5");
}

TEST_F(FindDataTest, SelectionOnlyIsTickedForABlockAndTheBlockStays) {
    Select(2, 1, 3, 3);
    form->hide();
    Child<QAction>(editor, "Search1")->trigger();
    form = editor->findChild<TForm_Find*>("Form_Find");
    ASSERT_NE(form, nullptr);
    QApplication::setActiveWindow(form);
    EXPECT_TRUE(Child<QCheckBox>(form, "CheckBox_SelectionOnly")->isChecked());
    Relation(1, 2, "9");
    std::vector<std::string> visited;
    for (int i = 0; i < 3; ++i) {
        Action();
        visited.push_back(Current());
    }
    // B3 20 and C3 10 lie in the block; B4 11 does not.
    EXPECT_EQ(visited, (std::vector<std::string>{"2,3", "3,3", "3,3"}));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Find Not Found"});
    EXPECT_EQ(editor->DataGrid()->selectionModel()->selectedIndexes().size(), 6);

    Select(1, 1, 1, 1);
    QApplication::setActiveWindow(editor);
    QApplication::setActiveWindow(form);
    EXPECT_FALSE(Child<QCheckBox>(form, "CheckBox_SelectionOnly")->isChecked());
}

TEST_F(FindDataTest, ReplaceAllIsOneUndoStepInTheEditor) {
    Relation(1, 2, "10");
    Relation(2, 4, "0");
    QApplication::setActiveWindow(form);
    QTest::mouseClick(Child<QCheckBox>(form, "CheckBox_Replace"), Qt::LeftButton);
    QLineEdit* with = Child<QLineEdit>(form, "Edit_Replace");
    EXPECT_EQ(QApplication::focusWidget(), with) << "ticking Replace moves to the replacement box";
    with->setText("out");
    QTest::mouseClick(Child<QCheckBox>(form, "CheckBox_ReplaceAll"), Qt::LeftButton);
    Action();
    EXPECT_EQ(Current(), "3,5");
    EXPECT_EQ(DataTable().Cell(1, 2), "out");
    EXPECT_EQ(DataTable().Cell(3, 5), "out");
    EXPECT_TRUE(DataTable().Modified);
    EXPECT_EQ(editor->DataGrid()->model()->index(2, 1).data().toString(), "out");
    ASSERT_EQ(editor->UndoStack()->count(), 1);

    Child<QAction>(editor, "Undo1")->trigger();
    const char* const before[3][5] = {
        {"5", "12", "-1", "", "7"}, {"3", "abc", "20", "11", "x"}, {"8", "9", "10", "11", "12"}};
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 5; ++r)
            EXPECT_EQ(DataTable().Cell(c, r), before[c - 1][r - 1]) << c << "," << r;

    // Nothing left to replace from C5 on: the message, and no step added.
    Select(3, 5, 3, 5);
    Action();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Find and Replace Not Found"});
    EXPECT_EQ(editor->UndoStack()->index(), 0);
}

} // namespace
