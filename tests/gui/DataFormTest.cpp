// SPDX-License-Identifier: GPL-3.0-or-later
// The data editor driven as a user would: keys into its grids, its menus, its undo.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "data/DataForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataTableModel.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <functional>
#include <map>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Messages and questions go to a recorder (answers scripted), so no box waits for a click.
class DataFormTest : public GuiTest {
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
    // A table of c columns and r rows holding "c.r" in every cell, shown in the editor.
    void Table(int c, int r) {
        ASSERT_TRUE(NewData());
        TDataTable& t = DataTable();
        t.SetColumnCount(c);
        t.SetRowCount(r);
        for (int col = 1; col <= c; ++col)
            for (int row = 1; row <= r; ++row)
                t.SetCell(col, row, std::to_string(col) + "." + std::to_string(row));
        DataList.RebuildValues();
        // Both grids learn of the new shape, as after a load.
        form->ShowEdit({.Structure = true, .Headers = true, .Cells = {}});
        Select(1, 1, 1, 1);
    }
    void Select(int left, int top, int right, int bottom) {
        QTableView* grid = form->DataPageShown() ? form->DataGrid() : form->DescGrid();
        QAbstractItemModel* m = grid->model();
        grid->setCurrentIndex(m->index(top - 1, left - 1));
        grid->selectionModel()->select(
            QItemSelection(m->index(top - 1, left - 1), m->index(bottom - 1, right - 1)),
            QItemSelectionModel::ClearAndSelect);
    }
    void Run(const char* action) { Child<QAction>(form, action)->trigger(); }
    static std::string CellsOf(int col) {
        std::string out;
        for (int r = 1; r <= DataTable().RowCount(); ++r)
            out += std::string(DataTable().Cell(col, r)) + ";";
        return out;
    }

    RecordingPlatform recorder;
    TDataForm* form = nullptr;
};

TEST_F(DataFormTest, TabAtTheLastColumnAddsAColumnAndEnterAtTheLastRowAddsARow) {
    Table(3, 2);
    QTableView* grid = form->DataGrid();
    Select(3, 2, 3, 2);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(DataTable().ColumnCount(), 4);
    EXPECT_EQ(DataTable().ColumnName(4), "Col4");
    EXPECT_EQ(grid->currentIndex().column(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(recorder.Beeps, 1);

    QTest::keyClick(grid, Qt::Key_Backtab);
    QTest::keyClick(grid, Qt::Key_Backtab);
    EXPECT_EQ(DataTable().ColumnCount(), 4);
    EXPECT_EQ(grid->currentIndex().column(), 1);

    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(DataTable().RowCount(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 2);
}

TEST_F(DataFormTest, KeysThatLeaveACellEditorMoveAsTheyDoOutsideIt) {
    Table(3, 2);
    QTableView* grid = form->DataGrid();
    // Typing a key opens the editor on the current cell and leaves it open.
    auto type = [grid](const char* text) {
        QTest::qWait(1); // closed editors go
        EXPECT_EQ(grid->viewport()->findChild<QLineEdit*>(), nullptr);
        QTest::keyClicks(grid, text);
        QLineEdit* editor = grid->viewport()->findChild<QLineEdit*>();
        EXPECT_NE(editor, nullptr);
        return editor;
    };
    Select(3, 1, 3, 1);
    QLineEdit* editor = type("5");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(DataTable().Cell(3, 1), "5");
    EXPECT_EQ(DataTable().ColumnCount(), 4);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 3));

    editor = type("6");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Backtab);
    EXPECT_EQ(DataTable().Cell(4, 1), "6");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 2));

    Select(1, 2, 1, 2);
    editor = type("7");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(1);
    EXPECT_EQ(DataTable().Cell(1, 2), "7");
    EXPECT_EQ(DataTable().RowCount(), 3);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 0));
    // Moving on closed the editor: no editor was opened on the next cell.
    EXPECT_EQ(grid->viewport()->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(form->UndoStack()->count(), 5);
}

TEST_F(DataFormTest, TypingGoesIntoTheCellAndUndoTakesItBack) {
    Table(2, 3);
    QTableView* grid = form->DataGrid();
    Select(2, 2, 2, 2);
    // The first key opens the cell editor, which takes the rest.
    QTest::keyClick(grid, Qt::Key_7);
    QLineEdit* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, ".25");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(DataTable().Cell(2, 2), "7.25");
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_TRUE(DataTable().Modified);
    form->UndoStack()->undo();
    EXPECT_EQ(DataTable().Cell(2, 2), "2.2");
    form->UndoStack()->redo();
    EXPECT_EQ(DataTable().Cell(2, 2), "7.25");
}

TEST_F(DataFormTest, UndoStepsBeyondTheMemoryLimitAreDroppedOldestFirst) {
    Table(1, 50);
    form->SetUndoMemoryLimit(2000);
    QAbstractItemModel* m = form->DataGrid()->model();
    for (int r = 0; r < 50; ++r)
        m->setData(m->index(r, 0), QString("x%1").arg(r));
    const int kept = form->UndoStack()->count();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 50);
    EXPECT_LE(form->UndoMemory(), 2000u);
    while (form->UndoStack()->canUndo())
        form->UndoStack()->undo();
    // The newest steps came back; the oldest are beyond undoing.
    EXPECT_EQ(DataTable().Cell(1, 50), "1.50");
    EXPECT_EQ(DataTable().Cell(1, 51 - kept), "1." + std::to_string(51 - kept));
    EXPECT_EQ(DataTable().Cell(1, 50 - kept), "x" + std::to_string(49 - kept));
}

TEST_F(DataFormTest, UndoDuringRenameDropsTheTypedNameFirst) {
    Table(3, 2);
    QAbstractItemModel* m = form->DataGrid()->model();
    m->setData(m->index(0, 0), "9");
    form->StartRename(2);
    Child<QLineEdit>(form, "RenameEditor")->setText("Zed");
    Run("Undo1");
    EXPECT_FALSE(form->Renaming());
    EXPECT_EQ(DataTable().ColumnName(2), "Col2");
    EXPECT_EQ(DataTable().Cell(1, 1), "1.1");
}

TEST_F(DataFormTest, ARenamedDefaultNameFollowsItsColumn) {
    Table(5, 2);
    form->StartRename(5);
    QLineEdit* editor = Child<QLineEdit>(form, "RenameEditor");
    editor->setText("col3");
    // A click back into the data ends rename mode.
    QTest::mouseClick(form->DataGrid()->viewport(), Qt::LeftButton, {},
                      form->DataGrid()->visualRect(form->DataModel()->index(0, 0)).center());
    EXPECT_FALSE(form->Renaming());
    EXPECT_EQ(DataTable().ColumnName(5), "Col5");

    form->StartRename(2);
    Child<QLineEdit>(form, "RenameEditor")->setText("Weight");
    QTest::keyClick(Child<QLineEdit>(form, "RenameEditor"), Qt::Key_Return);
    EXPECT_EQ(DataTable().ColumnName(2), "Weight");
    EXPECT_EQ(form->DataGrid()->currentIndex().row(), 0);
}

TEST_F(DataFormTest, TheLimitRowsOfTheDescriptionsTakeNumbersOnly) {
    Table(2, 2);
    Child<QTabWidget>(form, "PageControl1")->setCurrentIndex(1);
    ASSERT_FALSE(form->DataPageShown());
    QTableView* desc = form->DescGrid();
    desc->setCurrentIndex(desc->model()->index(1, 0)); // USL of column 1
    QTest::keyClick(desc, Qt::Key_A);
    EXPECT_EQ(recorder.Beeps, 1);
    EXPECT_EQ(desc->viewport()->findChild<QLineEdit*>(), nullptr);
    QTest::keyClicks(desc, "2");
    QLineEdit* editor = desc->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "xe5");
    EXPECT_EQ(recorder.Beeps, 2);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(DataTable().Description(1, kUSLRow), "2e5");

    // Keys that type nothing pass, though some carry a control character as their text.
    QTest::qWait(1);                                   // the closed editor goes
    desc->setCurrentIndex(desc->model()->index(2, 0)); // Target
    QTest::keyClick(desc, Qt::Key_Escape);
    EXPECT_EQ(recorder.Beeps, 2);
    QTest::keyClicks(desc, "1");
    editor = desc->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "2");
    EXPECT_EQ(editor->text(), "12");
    editor->setCursorPosition(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    QApplication::sendEvent(editor, &del);
    EXPECT_EQ(editor->text(), "2");
    EXPECT_EQ(recorder.Beeps, 2);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(DataTable().Description(1, kTargetRow), "2");

    // The title takes any text.
    desc->setCurrentIndex(desc->model()->index(0, 0));
    QTest::keyClick(desc, Qt::Key_A);
    EXPECT_EQ(recorder.Beeps, 2);
}

TEST_F(DataFormTest, DeletingEveryRowStartsTheEmptyTable) {
    Table(3, 4);
    DataTable().Modified = true;
    recorder.Answers = {Answer::No};
    Select(1, 1, 3, 4);
    Run("Main_DeleteRows");
    EXPECT_EQ(recorder.Messages.back().text, "File Not Saved.  Save?");
    EXPECT_EQ(DataTable().ColumnCount(), 1);
    EXPECT_EQ(DataTable().RowCount(), 1);
    EXPECT_FALSE(form->HasData());
    EXPECT_EQ(form->windowTitle(), "Data");
}

TEST_F(DataFormTest, ColumnDeletionAndPasteAreUndoneAndRedone) {
    Table(4, 3);
    const std::string third = CellsOf(3);
    Select(2, 1, 3, 3);
    Run("Main_DeleteColumns");
    EXPECT_EQ(DataTable().ColumnCount(), 2);
    EXPECT_EQ(DataTable().Cell(2, 1), "4.1");
    Run("Undo1");
    EXPECT_EQ(DataTable().ColumnCount(), 4);
    EXPECT_EQ(CellsOf(3), third);
    Run("Redo1");
    EXPECT_EQ(DataTable().ColumnCount(), 2);
    Run("Undo1");

    // A row pasted into a column strip fills every row; one undo takes all of it back.
    recorder.Clipboard = "a\tb\tc";
    recorder.Answers = {Answer::No};
    Select(2, 1, 2, 3);
    Run("Main_Paste");
    EXPECT_EQ(CellsOf(4), "c;c;c;");
    EXPECT_EQ(DataTable().ColumnCount(), 4);
    Run("Undo1");
    EXPECT_EQ(CellsOf(3), third);
    EXPECT_EQ(CellsOf(2), "2.1;2.2;2.3;");
}

TEST_F(DataFormTest, TheSelectionStaysWhereItWasAfterRowsComeAndGo) {
    Table(3, 5);
    Select(1, 2, 3, 3);
    Run("Main_InsertRows");
    ASSERT_EQ(DataTable().RowCount(), 7);
    EXPECT_EQ(DataTable().Cell(1, 4), "1.2");
    const CellRange s = form->Selection();
    EXPECT_EQ(std::vector<int>({s.FirstColumn, s.LastColumn, s.FirstRow, s.LastRow}),
              std::vector<int>({1, 3, 2, 3}));
    // Undoing beyond the last row keeps the selection inside the table.
    Select(1, 6, 3, 7);
    Run("Undo1");
    const CellRange after = form->Selection();
    EXPECT_EQ(std::vector<int>({after.FirstColumn, after.LastColumn, after.FirstRow, after.LastRow}),
              std::vector<int>({1, 3, 5, 5}));
}

TEST_F(DataFormTest, ARightClickOnTheNamesOrCaseNumbersOffersTheirCommands) {
    Table(3, 4);
    // The pop-up menu as it comes up for a right-click on `area`: which commands it enables.
    auto popupFor = [this](QWidget* area, QPoint at) {
        std::map<std::string, bool> enabled;
        QTimer::singleShot(0, form, [this, &enabled] {
            auto* popup = form->findChild<QMenu*>("PopupMenu1");
            if (!popup || !popup->isVisible()) return;
            for (QAction* a : popup->actions())
                if (!a->objectName().isEmpty()) enabled[a->objectName().toStdString()] = a->isEnabled();
            popup->close();
        });
        QTest::mousePress(area, Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, area->mapToGlobal(at));
        QApplication::sendEvent(area, &event);
        QTest::mouseRelease(area, Qt::RightButton, {}, at);
        QTest::qWait(1);
        return enabled;
    };
    QHeaderView* names = form->DataGrid()->horizontalHeader();
    auto menu = popupFor(names->viewport(), {names->sectionViewportPosition(1) + 4, names->height() / 2});
    ASSERT_FALSE(menu.empty());
    EXPECT_TRUE(menu["PopUpMenu_DeleteColumns"]);
    EXPECT_TRUE(menu["PopUpMenu_InsertColumns"]);
    EXPECT_FALSE(menu["PopUpMenu_DeleteRows"]);
    CellRange s = form->Selection();
    EXPECT_EQ(std::vector<int>({s.FirstColumn, s.LastColumn, s.FirstRow, s.LastRow}),
              std::vector<int>({2, 2, 1, 4}));

    QHeaderView* cases = form->DataGrid()->verticalHeader();
    menu = popupFor(cases->viewport(), {cases->width() / 2, cases->sectionViewportPosition(2) + 4});
    ASSERT_FALSE(menu.empty());
    EXPECT_TRUE(menu["PopUpMenu_DeleteRows"]);
    EXPECT_FALSE(menu["PopUpMenu_DeleteColumns"]);
    s = form->Selection();
    EXPECT_EQ(std::vector<int>({s.FirstColumn, s.LastColumn, s.FirstRow, s.LastRow}),
              std::vector<int>({1, 3, 3, 3}));

    // In the cells the column and row commands are off.
    QWidget* cells = form->DataGrid()->viewport();
    menu = popupFor(cells, form->DataGrid()->visualRect(form->DataModel()->index(0, 0)).center());
    ASSERT_FALSE(menu.empty());
    EXPECT_FALSE(menu["PopUpMenu_DeleteRows"]);
    EXPECT_FALSE(menu["PopUpMenu_DeleteColumns"]);
    EXPECT_TRUE(menu["PopUpMenu_Copy"]);
}

TEST_F(DataFormTest, APasteIntoATableWithoutRowsStartsAtTheFirstCell) {
    Table(2, 3);
    ASSERT_TRUE(ApplyTableEdit(edits::DeleteRows{1, 3}, "Delete Rows"));
    ASSERT_EQ(form->DataModel()->rowCount(), 0);
    recorder.Clipboard = "1\t2\r\n3\t4\r\n";
    Run("Main_Paste");
    EXPECT_EQ(CellsOf(1) + CellsOf(2), "1;3;2;4;");
    EXPECT_EQ(DataTable().ColumnCount(), 2);
}

TEST_F(DataFormTest, TheCurrentCellStaysAfterADataDialog) {
    Table(3, 4);
    Select(2, 3, 3, 4);
    // The dialog is closed as soon as it is up.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    Run("MissingValues1");
    EXPECT_EQ(form->DataGrid()->currentIndex(), form->DataModel()->index(2, 1));
    const CellRange s = form->Selection();
    EXPECT_EQ(std::vector<int>({s.FirstColumn, s.LastColumn, s.FirstRow, s.LastRow}),
              std::vector<int>({2, 3, 3, 4}));
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel0")->text(), "Col = 2,  Row = 3");
}

TEST_F(DataFormTest, APasteWithBlanksInTheNamesLineNamesOneColumn) {
    Table(1, 1);
    recorder.Clipboard = "A B C\r\n1 2 3\r\n4 5 6\r\n";
    recorder.Answers = {Answer::Yes, Answer::Yes}; // split into columns, names from the first line
    Run("Main_Paste");
    EXPECT_EQ(recorder.Messages.front().kind, "choice");
    EXPECT_EQ(recorder.Messages.back().text, "Want to use text from first row as Variable Names?");
    EXPECT_EQ(DataTable().ColumnName(1), "A_B_C");
    EXPECT_EQ(DataTable().ColumnCount(), 3);
    EXPECT_EQ(CellsOf(3), "3;6;");
    EXPECT_EQ(form->DataGrid()->model()->headerData(0, Qt::Horizontal).toString(), "A_B_C");
}

TEST_F(DataFormTest, TooWideAPasteLeavesEveryCellAsItWas) {
    Table(3, 3);
    std::string wide;
    for (int i = 1; i <= 512; ++i)
        wide += (i > 1 ? "\t" : "") + std::to_string(i);
    recorder.Clipboard = wide;
    const std::string cells = CellsOf(1) + CellsOf(2) + CellsOf(3);
    Run("Main_Paste");
    EXPECT_EQ(recorder.Messages.back().text, "Maximum Number of Columns Exceeded.");
    EXPECT_EQ(DataTable().ColumnCount(), 3);
    EXPECT_EQ(CellsOf(1) + CellsOf(2) + CellsOf(3), cells);
    EXPECT_EQ(form->UndoStack()->count(), 0);
}

TEST_F(DataFormTest, TransposeAndProcessIfPainting) {
    Table(3, 10);
    Run("Transpose1");
    EXPECT_EQ(DataTable().ColumnCount(), 10);
    EXPECT_EQ(DataTable().RowCount(), 3);
    EXPECT_EQ(form->DataGrid()->model()->headerData(9, Qt::Horizontal).toString(), "Col10");

    // Rows Process If leaves out are painted aqua; the others are not.
    ApplyProcessIf({1, "Col1", kRelGreater, "1.5"}, {}, false);
    DataList.RebuildValues();
    QAbstractItemModel* m = form->DataGrid()->model();
    EXPECT_EQ(m->data(m->index(0, 4), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::cyan));
    EXPECT_FALSE(m->data(m->index(1, 4), Qt::BackgroundRole).isValid());
    // Deleting a column switches Process If off.
    Select(2, 1, 2, 3);
    Run("Main_DeleteColumns");
    EXPECT_FALSE(ProcessIfOn);
}

TEST_F(DataFormTest, CtrlArrowsJumpOverRunsAndShiftExtendsTheSelection) {
    Table(1, 10);
    for (int r : {4, 5, 6})
        DataTable().SetCell(1, r, "");
    QTableView* grid = form->DataGrid();
    QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(grid->currentIndex().row(), 2); // the end of the run 1..3
    QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(grid->currentIndex().row(), 6); // over the gap to row 7
    QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    const QItemSelectionRange range = grid->selectionModel()->selection().front();
    EXPECT_EQ(range.top(), 2);
    EXPECT_EQ(range.bottom(), 6);
}

// A column copied from a spreadsheet that writes decimal commas, pasted into one column: the
// question comes up with "One Cell per Line" as its default button, and Enter keeps the values in
// the column and reads their commas as points.
TEST_F(DataFormTest, AColumnWithDecimalCommasStaysInTheColumnItIsPastedInto) {
    Table(3, 2);
    SetPlatform(&platform); // the program's own message boxes
    QApplication::clipboard()->setText("24,995\r\n25,001\r\n");
    QString question;
    QString defaultButton;
    QTimer::singleShot(0, [&question, &defaultButton] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        question = box->text();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTest::keyClick(box, Qt::Key_Return);
    });
    Run("Main_Paste");
    SetPlatform(&recorder);
    EXPECT_TRUE(question.startsWith("The text on the Clipboard holds no tabs.")) << question.toStdString();
    EXPECT_EQ(defaultButton, "&One Cell per Line");
    EXPECT_EQ(CellsOf(1), "24.995;25.001;");
    EXPECT_EQ(CellsOf(2), "2.1;2.2;");
    EXPECT_EQ(DataTable().ColumnCount(), 3);
}

// The type chosen in the Save As dialog gives the file its extension.
TEST_F(DataFormTest, SaveAsTakesTheExtensionOfTheChosenType) {
    struct Case {
        QString type;
        QString typed;
        QString saved;
    };
    const Case cases[] = {
        {"Kivspc Data Files (*.kivs)", "saved", "saved.kivs"},
        {"Kivstats Data Files (*.kiv)", "saved", "saved.kiv"},
        {"Text Files (*.txt)", "run 1.5", "run 1.5.txt"},
        {"Data Files (*.dat)", "Kept.DAT", "Kept.DAT"},
        {"Data Files (*.dat *.kiv *.kivs)", "several", "several.kiv"},
        {"Data Files (*.dat *.kiv *.kivs)", "other.kivs", "other.kivs"},
        {"All Files (*)", "plain", "plain.kiv"},
        {"All Files (*)", "notes.log", "notes.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + " as " + c.type.toStdString());
        Table(2, 2);
        QTemporaryDir folder;
        QString offered;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            offered = dialog->nameFilters().join(";;");
            dialog->selectNameFilter(c.type);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(folder.filePath(c.typed));
            QTest::keyClick(name, Qt::Key_Return);
            if (dialog->isVisible()) dialog->reject();
        });
        Run("SaveAs1");
        EXPECT_EQ(offered, "Data Files (*.dat *.kiv *.kivs);;Kivstats Data Files (*.kiv);;Kivspc Data Files "
                           "(*.kivs);;Data Files (*.dat);;Text Files (*.txt);;All Files (*)");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{c.saved});
        EXPECT_EQ(ToQt(DataTable().FileName), folder.filePath(c.saved));
        EXPECT_EQ(form->windowTitle(), "Data - " + folder.filePath(c.saved));
        QFile file(folder.filePath(c.saved));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "1.1\t2.1\r\n1.2\t2.2\r\n");
    }
}

// A file that is refused or cannot be read leaves the grid, the caption and its mark alone.
TEST_F(DataFormTest, AFailedOpenLeavesTheTableAndTheCaption) {
    ASSERT_TRUE(form->OpenFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    Select(2, 3, 2, 3);
    recorder.Answers = {Answer::No};
    QTest::keyClicks(form->DataGrid(), "7");
    QTest::keyClick(form->DataGrid()->viewport()->findChild<QLineEdit*>(), Qt::Key_Return);
    ASSERT_TRUE(DataTable().Modified);
    const QString caption = form->windowTitle();
    ASSERT_TRUE(caption.endsWith("(modified)")) << caption.toStdString();
    QTemporaryDir folder;
    QFile binary(folder.filePath("picture.kivs"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    binary.close();
    recorder.Messages.clear();
    EXPECT_FALSE(form->OpenFile(binary.fileName()));
    EXPECT_TRUE(recorder.Messages.back().text.starts_with("Not a Text File!"));
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(form->DataModel()->data(form->DataModel()->index(2, 1), Qt::DisplayRole).toString(), "7");
    EXPECT_EQ(form->DataGrid()->currentIndex(), form->DataModel()->index(3, 1));
    EXPECT_EQ(DataTable().ColumnCount(), 7);
}

} // namespace

namespace {

// Waits (up to two seconds) for what the editor does once the user pauses.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 100 && !done(); ++i)
        QTest::qWait(20);
    return done();
}

TEST_F(DataFormTest, TheGridHasTheKeysFromTheStartAndAfterEveryPageChange) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    Table(3, 4);
    EXPECT_EQ(QApplication::focusWidget(), form->DataGrid()) << "not the page tabs";
    // Down moves down the data instead of doing nothing; Right moves right instead of turning
    // to the descriptions.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_TRUE(form->DataPageShown());
    EXPECT_EQ(form->DataGrid()->currentIndex(), form->DataModel()->index(1, 1));
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel0")->text(), "Col = 2,  Row = 2");

    // A click on a page's tab leaves the keys with that page's grid.
    QTabBar* tabs = Child<QTabWidget>(form, "PageControl1")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_FALSE(form->DataPageShown());
    EXPECT_EQ(QApplication::focusWidget(), form->DescGrid());
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel0")->text(), "Col = 1,  Row = 1");
}

TEST_F(DataFormTest, AFileOpenedOnTheDescriptionsPageStartsAtItsFirstCell) {
    QTemporaryDir dir;
    const QString path = dir.filePath("parts.kivs");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Day\tDiam\n1\t25.1\n2\t24.9\n");
    file.close();
    Child<QTabWidget>(form, "PageControl1")->setCurrentIndex(1);
    ASSERT_FALSE(form->DataPageShown());
    ASSERT_TRUE(form->OpenFile(path));
    EXPECT_EQ(form->DescGrid()->currentIndex(), form->DescGrid()->model()->index(0, 0));
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel0")->text(), "Col = 1,  Row = 1");
    Child<QTabWidget>(form, "PageControl1")->setCurrentIndex(0);
    EXPECT_EQ(form->DataGrid()->currentIndex(), form->DataModel()->index(0, 0));
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel0")->text(), "Col = 1,  Row = 1");
}

TEST_F(DataFormTest, TextColumnsKeepTheirColourAndLevelsAfterAnEdit) {
    Table(2, 3);
    QAbstractItemModel* m = form->DataGrid()->model();
    ASSERT_TRUE(m->setData(m->index(0, 0), "Early"));
    ASSERT_TRUE(m->setData(m->index(1, 0), "Late"));
    // Without leaving the window: the cache follows the typing by itself.
    EXPECT_TRUE(WaitFor([] { return !ValuesStale; }));
    EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::yellow));
    EXPECT_EQ(m->data(m->index(1, 0)).toString(), "Late[2]");
    EXPECT_FALSE(m->data(m->index(0, 1), Qt::BackgroundRole).isValid()) << "numbers stay white";
    // Undo brings the numbers back, and their colour goes with the last text.
    while (form->UndoStack()->canUndo())
        form->UndoStack()->undo();
    EXPECT_TRUE(WaitFor([] { return !ValuesStale; }));
    EXPECT_FALSE(m->data(m->index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), "1.1");
}

TEST_F(DataFormTest, TheLimitRowsTakeADecimalCommaAsThePoint) {
    Table(2, 2);
    Child<QTabWidget>(form, "PageControl1")->setCurrentIndex(1);
    QTableView* desc = form->DescGrid();
    struct Case {
        int row; // 1 USL, 2 Target, 3 LSL
        const char* keys;
        const char* stored;
        int beeps;
    };
    const Case cases[] = {
        {2, "25,0", "25.0", 0},
        {1, ",5", "0.5", 0},       // a comma first gets its zero, as in the number boxes
        {3, "24,9,4", "24.94", 1}, // a second point is refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        recorder.Beeps = 0;
        QTest::qWait(1); // a closed editor goes
        desc->setCurrentIndex(desc->model()->index(c.row, 0));
        QTest::keyClick(desc, c.keys[0]);
        QLineEdit* editor = desc->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, c.keys + 1);
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(DataTable().Description(1, c.row + 1), c.stored);
        EXPECT_EQ(recorder.Beeps, c.beeps);
    }
}

TEST_F(DataFormTest, ANameOfBlanksIsRefusedWhenTyped) {
    Table(3, 2);
    form->StartRename(2);
    QLineEdit* editor = Child<QLineEdit>(form, "RenameEditor");
    editor->setText("   ");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(form->Renaming());
    EXPECT_EQ(DataTable().ColumnName(2), "Col2");
    ASSERT_FALSE(recorder.Messages.empty());
    EXPECT_EQ(recorder.Messages.back().text,
              "A column name cannot be blanks only.\r\nThe column keeps its name Col2.");
    EXPECT_EQ(form->UndoStack()->count(), 0);

    // Blanks inside a name are a name.
    form->StartRename(2);
    Child<QLineEdit>(form, "RenameEditor")->setText("Mean value");
    QTest::keyClick(Child<QLineEdit>(form, "RenameEditor"), Qt::Key_Return);
    EXPECT_EQ(DataTable().ColumnName(2), "Mean value");
}

TEST_F(DataFormTest, ColumnsWidenToTheValuesShownFarDownTheTable) {
    // Only the first rows are measured when the table is shown; a wider value far down must not
    // be cut off when the user scrolls to it.
    Table(2, 5000);
    const std::string wide = "123456789012.125";
    DataTable().SetCell(1, 5000, wide);
    DataList.MarkRowChanged(5000);
    DataList.RebuildValues();
    form->ShowEdit({.Structure = true, .Headers = true, .Cells = {}});
    QTableView* grid = form->DataGrid();
    const int needed = grid->fontMetrics().horizontalAdvance(QString::fromStdString(wide));
    ASSERT_LT(grid->columnWidth(0), needed) << "the test needs a value wider than the first rows";
    grid->scrollToBottom();
    QApplication::processEvents();
    EXPECT_GE(grid->columnWidth(0), needed + 10);
    // Typed in view, it widens at once.
    QAbstractItemModel* m = grid->model();
    const QString wider = "-98765432109876.5";
    m->setData(m->index(4998, 1), wider);
    EXPECT_GE(grid->columnWidth(1), grid->fontMetrics().horizontalAdvance(wider) + 10);
}

TEST_F(DataFormTest, AMissingValuesRuleWithoutANumberLeavesTheStatusSayingWhatHolds) {
    Table(2, 2);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        // ">" with nothing typed beside it.
        auto radios = dialog->findChild<QWidget*>("RadioGroup_Relation1")->findChildren<QRadioButton*>();
        if (radios.size() > kMissGreater) radios[kMissGreater]->click();
        if (auto* ok = dialog->findChild<QPushButton*>("Button_OK")) ok->click();
    });
    Run("MissingValues1");
    ASSERT_FALSE(recorder.Messages.empty());
    EXPECT_EQ(recorder.Messages.back().text, "Missing When value 1 is not a number!\r\nMissing When is off.");
    EXPECT_EQ(Child<QLabel>(form, "StatusPanel1")->text(), "Missing Off");
    EXPECT_FALSE(MissingRec.MissingOn);
}

} // namespace
