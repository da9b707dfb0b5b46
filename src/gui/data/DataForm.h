// SPDX-License-Identifier: GPL-3.0-or-later
// "Data": the spreadsheet-like editor of the one data table, with its names and data on one
// page and the descriptions (Title, USL, Target, LSL) on the other.
#pragma once

#include "data/DataFile.h"
#include "data/TableEdit.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMenu;
class QLineEdit;
class QTabWidget;
class QTableView;
class QTimer;
class QUndoStack;

namespace kivspc::gui {

class TDataTableModel;
class TDescTableModel;

// What the undo steps of the data editor may hold together before the oldest go.
inline constexpr std::size_t kUndoMemoryLimit = std::size_t{256} << 20;
// How long after the last edit the numeric cache is rebuilt (text colours and levels come back).
inline constexpr int kRebuildDelayMs = 150;

class TDataForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TDataForm(QWidget* parent = nullptr);
    ~TDataForm() override;

    // Shows the editor with its return button leading back to `window`.
    void ShowFrom(QWidget* window, const QString& caption);
    // Starts a new table (after offering to save a modified one); false when cancelled.
    bool NewData();
    bool HasData() const;
    void SetModified(bool flag);
    void UpdateStatusBar();
    // Save, Save As (with its configuration dialog) and loading a file; false when nothing happened.
    bool Save();
    bool SaveAs();
    bool OpenFile(const QString& path);

    QTableView* DataGrid() const { return dataGrid_; }
    QTableView* DescGrid() const { return descGrid_; }
    TDataTableModel* DataModel() const { return dataModel_; }
    QUndoStack* UndoStack() const { return undo_; }
    bool DataPageShown() const { return dataPageShown_; }
    bool Renaming() const { return renameEditor_ != nullptr; }
    // Undo steps are dropped, oldest first, once together they hold more than this many bytes.
    void SetUndoMemoryLimit(std::size_t bytes) { undoLimit_ = bytes; }
    std::size_t UndoMemory() const { return undoBytes_; }

    // The current selection of the visible grid in table coordinates (columns and rows from 1;
    // description rows 1..4).
    CellRange Selection() const;
    // Edit commands, as the menus run them.
    void CopyClick();
    void CutClick();
    void PasteClick();
    void ClearClick();
    void DeleteColumnsClick();
    void DeleteRowsClick();
    void InsertColumnsClick();
    void InsertRowsClick();
    void CopyNamesClick(bool withData);
    void TransposeClick();
    void InsertCaseNumbersClick();
    void PrintClick();
    // Rename mode for a column (as a double-click on its name).
    void StartRename(int col);
    // Shows what an edit (or an undo step) changed.
    void ShowEdit(const TEditEffect& effect);
    void EndRename(bool keep);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildGrids();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void UpdateCaption();
    void UpdateEditCommands();
    void TableEdited(const TEditEffect& effect, TTableEdit&& inverse, std::string_view label);
    void TableReplaced();
    void Reload();
    void ReturnClick();
    void OpenClick();
    void SizeColumnWidths();
    void FitColumns();
    // Widens the columns to the texts of the rows and columns in view.
    void WidenToShownRows();
    int CellWidth(QTableView* grid, int row, int col) const;
    // The visible page's grid takes the focus, with a current cell.
    void FocusGrid();
    bool GridKey(QTableView* grid, QKeyEvent* key);
    bool EditorKey(QObject* editor, QKeyEvent* key);
    void TabFromLastColumn(int row);
    void MoveTo(int col, int row, bool extend);
    QTableView* VisibleGrid() const;
    bool WholeColumnsSelected() const;
    bool WholeRowsSelected() const;
    void AfterDialog();

    QTabWidget* pages_ = nullptr;
    QTableView* dataGrid_ = nullptr;
    QTableView* descGrid_ = nullptr;
    TDataTableModel* dataModel_ = nullptr;
    TDescTableModel* descModel_ = nullptr;
    QUndoStack* undo_ = nullptr;
    std::size_t undoBytes_ = 0;
    std::size_t undoLimit_ = kUndoMemoryLimit;
    QLabel* panels_[5] = {};
    QLineEdit* renameEditor_ = nullptr;
    int renameColumn_ = 0;
    QTimer* rebuildTimer_ = nullptr;
    QPointer<QWidget> returnForm_;
    QString returnCaption_;
    bool dataPageShown_ = true;
    bool shiftTab_ = false;
    bool narrowColumns_ = false;
    // Where the last press was: on the names (whole columns) or the case numbers (whole rows).
    bool pressOnNames_ = false;
    bool pressOnCaseNumbers_ = false;
    QMenu* popup_ = nullptr;
};

// The one data editor, created on first use and kept until the program ends.
TDataForm* DataForm();
TDataForm& EnsureDataForm();
void ShowDataEditorFrom(QWidget* window, const QString& caption);
// The open dialog (in the folder of the most recent file), then the editor with the file.
bool OpenDataFileFrom(QWidget* window, const QString& caption);
// A new table, then the editor; false when the user kept the old one.
bool NewDataFrom(QWidget* window, const QString& caption);
// Drops the editor (at the end of the program, and between tests).
void ReleaseDataForm();

} // namespace kivspc::gui
