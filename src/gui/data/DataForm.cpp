// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataForm.h"

#include "app/CommandIcons.h"
#include "app/FormShell.h"
#include "app/GridPrinting.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/MRUFilesUnit.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "app/SavePath.h"
#include "data/AddFileVariable.h"
#include "data/ComputeVariablesForm.h"
#include "data/ConfigSaveForm.h"
#include "data/DataEditor.h"
#include "data/DataList.h"
#include "data/DataTableModel.h"
#include "data/FindData.h"
#include "data/GridModule.h"
#include "data/GridPaste.h"
#include "data/MissingForm.h"
#include "data/ProcessIFForm.h"
#include "data/Procif.h"
#include "data/TableHooks.h"
#include "data/TransformForm.h"
#include "data/WeightCasesForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

QPointer<TDataForm> theDataForm;

// One undo step: the edit that takes the table back (or, once undone, forward again).
class TableUndoCommand : public QUndoCommand {
public:
    TableUndoCommand(TDataForm* form, TTableEdit&& edit, const QString& label)
        : QUndoCommand(label), form_(form), edit_(std::move(edit)) {}
    void undo() override { Swap(); }
    void redo() override {
        // The edit was applied before the step was made.
        if (std::exchange(applied_, false)) return;
        Swap();
    }
    std::size_t Bytes() const { return edit_.MemoryBytes(); }
    TTableEdit TakeEdit() { return std::move(edit_); }

private:
    void Swap();
    TDataForm* form_;
    TTableEdit edit_;
    bool applied_ = true;
};

// The rows of the table a grid shows as a text grid, for copying and printing.
class DataTextGrid : public TextGrid {
public:
    explicit DataTextGrid(bool descriptions) : descriptions_(descriptions) {}
    int GridColumnCount() const override { return DataTable().ColumnCount() + 1; }
    int GridRowCount() const override { return (descriptions_ ? 4 : DataTable().RowCount()) + 1; }
    std::string GridCell(int col, int row) const override {
        static const char* const captions[] = {"", "Title:", "USL:", "Target:", "LSL:"};
        if (row == 0) return col == 0 ? std::string() : DataTable().ColumnName(col);
        if (col == 0) return descriptions_ ? captions[std::min(row, 4)] : std::to_string(row);
        return descriptions_ ? DataTable().Description(col, row) : std::string(DataTable().Cell(col, row));
    }

private:
    bool descriptions_;
};

// Cell editors whose keys follow the grid's rules (Tab, Enter, the limits rows' filter). From row
// `firstNumberRow` on (0-based; -1 for none) the editor takes numbers as the number boxes do, a
// typed comma standing for the decimal point.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(QObject* keyFilter, int firstNumberRow, QObject* parent)
        : QStyledItemDelegate(parent), keyFilter_(keyFilter), firstNumberRow_(firstNumberRow) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (!editor) return editor;
        editor->installEventFilter(keyFilter_);
        // Installed last, so it judges a key before the grid's own rules see it.
        if (firstNumberRow_ >= 0 && index.row() >= firstNumberRow_)
            InstallKeyFilter(editor, KeyFilterKind::SignedReal);
        return editor;
    }

protected:
    // The view puts the delegate's own filter in front of ours; left to it, Tab and Shift+Tab would
    // move by the view's rules (wrapping to the next row, never adding a column) and Enter would
    // close the editor a second time. These keys go on to the editor's key rules instead.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
            case Qt::Key_Return:
            case Qt::Key_Enter: return false;
            default: break;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QObject* keyFilter_;
    int firstNumberRow_;
};

// A cell editor is open in the grid (it holds the focus).
bool EditorOpen(const QTableView* grid) {
    QWidget* focused = QApplication::focusWidget();
    return focused && focused != grid && grid->isAncestorOf(focused) && qobject_cast<QLineEdit*>(focused);
}

// A key the limits rows take: one that types a digit, sign, point, decimal comma or exponent, or one
// that types nothing printable (Backspace, Delete, Escape, arrows ...), whatever control character it
// carries. The cell editor then applies the number boxes' rules (a comma is the point).
bool NumberKey(const QKeyEvent* key) {
    if (key->text().isEmpty()) return true;
    const QChar ch = key->text().front();
    return !ch.isPrint() || ch.isDigit() || ch == '-' || ch == '.' || ch == ',' || ch == 'E' || ch == 'e';
}

QAction* AddItem(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    if (!keys.isEmpty()) a->setShortcut(keys);
    return a;
}

} // namespace

void TableUndoCommand::Swap() {
    const TEditEffect effect = edit_.Effect();
    edit_ = edit_.Apply();
    if (form_) {
        form_->ShowEdit(effect);
        form_->UpdateStatusBar();
        form_->SetModified(true);
    }
}

TDataForm::TDataForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("DataForm");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(760, 520);
    undo_ = new QUndoStack(this);
    BuildGrids();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();

    OnTableEdited = [this](const TEditEffect& effect, TTableEdit&& inverse, std::string_view label) {
        TableEdited(effect, std::move(inverse), label);
    };
    OnTableReplaced = [this] { TableReplaced(); };
    OnTableSaved = [this] { UpdateCaption(); };
    OnValuesRebuilt = [this] {
        DataChanged = true;
        dataGrid_->viewport()->update();
        WidenToShownRows();
    };
    // The cache follows the texts soon after an edit, so the text columns keep their colour and
    // their levels; a run of quick edits is rebuilt once, when they pause.
    rebuildTimer_ = new QTimer(this);
    rebuildTimer_->setSingleShot(true);
    rebuildTimer_->setInterval(kRebuildDelayMs);
    connect(rebuildTimer_, &QTimer::timeout, this, [] {
        if (ValuesStale) DataList.RebuildValues();
    });
    SaveAsWithConfiguration = [this] { return SaveAs(); };
    Reload();
    UpdateCaption();
}

TDataForm::~TDataForm() {
    OnTableEdited = nullptr;
    OnTableReplaced = nullptr;
    OnTableSaved = nullptr;
    OnValuesRebuilt = nullptr;
    SaveAsWithConfiguration = nullptr;
}

void TDataForm::BuildGrids() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    dataModel_ = new TDataTableModel(this);
    descModel_ = new TDescTableModel(this);
    auto makeGrid = [this](const char* name, QAbstractItemModel* model, int firstNumberRow) {
        auto* grid = new QTableView(this);
        grid->setObjectName(name);
        grid->setModel(model);
        grid->setItemDelegate(new CellDelegate(this, firstNumberRow, grid));
        grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
        grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
        grid->setAutoScroll(true);
        grid->setTabKeyNavigation(false);
        grid->setWordWrap(false);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->horizontalHeader()->setDefaultSectionSize(64);
        grid->horizontalHeader()->setHighlightSections(true);
        grid->setContextMenuPolicy(Qt::CustomContextMenu);
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
        grid->horizontalHeader()->viewport()->installEventFilter(this);
        grid->verticalHeader()->viewport()->installEventFilter(this);
        connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
            // A right-click outside the selection first selects the clicked cell.
            const QModelIndex index = grid->indexAt(at);
            if (index.isValid() && !grid->selectionModel()->isSelected(index)) {
                grid->setCurrentIndex(index);
                pressOnNames_ = pressOnCaseNumbers_ = false;
            }
            UpdateEditCommands();
            popup_->exec(grid->viewport()->mapToGlobal(at));
        });
        // The names and the case numbers have the pop-up menu too, with the column or row commands:
        // a right-click outside the selection first selects the clicked column or row.
        for (QHeaderView* header : {grid->horizontalHeader(), grid->verticalHeader()}) {
            header->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(header, &QWidget::customContextMenuRequested, this,
                    [this, grid, header](const QPoint& at) {
                        const bool names = header->orientation() == Qt::Horizontal;
                        const int section = header->logicalIndexAt(at);
                        if (section >= 0) {
                            const QModelIndex index =
                                names ? grid->model()->index(0, section) : grid->model()->index(section, 0);
                            const bool selected = names ? grid->selectionModel()->isColumnSelected(section)
                                                        : grid->selectionModel()->isRowSelected(section);
                            if (!selected) {
                                grid->setCurrentIndex(index);
                                if (names)
                                    grid->selectColumn(section);
                                else
                                    grid->selectRow(section);
                            }
                        }
                        pressOnNames_ = names;
                        pressOnCaseNumbers_ = !names;
                        UpdateEditCommands();
                        popup_->exec(header->viewport()->mapToGlobal(at));
                    });
        }
        connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this] { UpdateStatusBar(); });
        return grid;
    };
    dataGrid_ = makeGrid("DataGrid", dataModel_, -1);
    // USL, Target and LSL (rows 1-3) hold numbers; the title (row 0) any text.
    descGrid_ = makeGrid("DescGrid", descModel_, 1);
    // Columns widen to the widest text that comes into view, wherever the user scrolls.
    for (QTableView* grid : {dataGrid_, descGrid_}) {
        connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { WidenToShownRows(); });
        connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { WidenToShownRows(); });
    }
    dataGrid_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(dataGrid_->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { StartRename(section + 1); });

    auto* dataPage = new QWidget;
    dataPage->setObjectName("TabSheet1");
    (new QVBoxLayout(dataPage))->addWidget(dataGrid_);
    dataPage->layout()->setContentsMargins(0, 0, 0, 0);
    auto* descPage = new QWidget;
    descPage->setObjectName("TabSheet2");
    (new QVBoxLayout(descPage))->addWidget(descGrid_);
    descPage->layout()->setContentsMargins(0, 0, 0, 0);
    pages_->addTab(dataPage, "Data");
    pages_->addTab(descPage, "Descriptions");
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        EndRename(true);
        dataPageShown_ = page == 0;
        // The page's grid takes the keys, a click on the tab included.
        FocusGrid();
        WidenToShownRows();
    });
    setCentralWidget(pages_);
    // The keys go to the grid from the start, not to the page tabs.
    dataGrid_->setFocus();
}

void TDataForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    connect(AddItem(file, "New1", "&New", QKeySequence::New), &QAction::triggered, this,
            [this] { NewData(); });
    connect(AddItem(file, "Open1", "&Open", QKeySequence::Open), &QAction::triggered, this,
            &TDataForm::OpenClick);
    connect(AddItem(file, "Save1", "&Save", QKeySequence::Save), &QAction::triggered, this,
            [this] { Save(); });
    connect(AddItem(file, "SaveAs1", "Save &As"), &QAction::triggered, this, [this] { SaveAs(); });
    file->addSeparator();
    connect(AddItem(file, "Print1", "&Print..."), &QAction::triggered, this, &TDataForm::PrintClick);
    file->addSeparator();
    connect(AddItem(file, "HideForm1", "&Hide Form"), &QAction::triggered, this, [this] {
        hide();
        ReturnClick();
    });
    connect(AddItem(file, "Return1", "&Return to Main Form"), &QAction::triggered, this,
            &TDataForm::ReturnClick);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    QAction* undo = AddItem(edit, "Undo1", "&Undo", QKeySequence::Undo);
    QAction* redo = AddItem(edit, "Redo1", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y));
    // A name being typed is dropped before the table moves under it.
    connect(undo, &QAction::triggered, this, [this] {
        EndRename(false);
        undo_->undo();
    });
    connect(redo, &QAction::triggered, this, [this] {
        EndRename(false);
        undo_->redo();
    });
    connect(undo_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    undo->setEnabled(false);
    redo->setEnabled(false);
    // Paste is offered only while the clipboard holds text.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TDataForm::UpdateEditCommands);
    edit->addSeparator();
    connect(AddItem(edit, "Main_Cut", "Cu&t", QKeySequence::Cut), &QAction::triggered, this,
            &TDataForm::CutClick);
    connect(AddItem(edit, "Main_Copy", "&Copy", QKeySequence::Copy), &QAction::triggered, this,
            &TDataForm::CopyClick);
    connect(AddItem(edit, "Main_Paste", "&Paste", QKeySequence::Paste), &QAction::triggered, this,
            &TDataForm::PasteClick);
    connect(AddItem(edit, "Main_Clear", "C&lear", QKeySequence::Delete), &QAction::triggered, this,
            &TDataForm::ClearClick);
    edit->addSeparator();
    connect(AddItem(edit, "Search1", "&Find && Replace", QKeySequence::Find), &QAction::triggered, this,
            [this] { ShowFindDialog(this); });
    edit->addSeparator();
    connect(AddItem(edit, "Main_DeleteColumns", "&Delete Column(s)"), &QAction::triggered, this,
            &TDataForm::DeleteColumnsClick);
    connect(AddItem(edit, "Main_DeleteRows", "Delete &Row(s)"), &QAction::triggered, this,
            &TDataForm::DeleteRowsClick);
    connect(AddItem(edit, "Main_InsertColumns", "&Insert Column(s)"), &QAction::triggered, this,
            &TDataForm::InsertColumnsClick);
    connect(AddItem(edit, "Main_InsertRows", "Insert Ro&w(s)"), &QAction::triggered, this,
            &TDataForm::InsertRowsClick);
    edit->addSeparator();
    connect(AddItem(edit, "Main_CopyNames", "C&opy Column Names"), &QAction::triggered, this,
            [this] { CopyNamesClick(false); });
    connect(AddItem(edit, "Main_CopyAll", "Copy Names and &All Data"), &QAction::triggered, this,
            [this] { CopyNamesClick(true); });
    connect(AddItem(edit, "Main_ChangeNames", "Change Column &Names"), &QAction::triggered, this,
            [this] { StartRename(std::max(dataGrid_->currentIndex().column() + 1, 1)); });
    connect(edit, &QMenu::aboutToShow, this, &TDataForm::UpdateEditCommands);

    QMenu* dataMenu = menuBar()->addMenu("&Data");
    dataMenu->setObjectName("Column1");
    connect(AddItem(dataMenu, "MissingValues1", "&Missing Values..."), &QAction::triggered, this, [this] {
        ShowMissingDialog(this);
        AfterDialog();
    });
    connect(AddItem(dataMenu, "ProcessIf1", "&Process If..."), &QAction::triggered, this, [this] {
        ShowProcessIfDialog(this);
        AfterDialog();
    });
    connect(AddItem(dataMenu, "Transform1", "&Transform..."), &QAction::triggered, this, [this] {
        ShowTransformDialog(this);
        AfterDialog();
    });
    dataMenu->addSeparator();
    connect(AddItem(dataMenu, "Transpose1", "Transpose Rows/Columns"), &QAction::triggered, this,
            &TDataForm::TransposeClick);
    connect(AddItem(dataMenu, "GenerateRunNumbers1", "Generate &Run Numbers..."), &QAction::triggered, this,
            [this] {
                EndRename(true);
                ShowAddFileVariableDialog(AddVariableKind::RunNumbers, this);
                AfterDialog();
            });
    connect(AddItem(dataMenu, "AutoRecode1", "&Auto Recode Variables..."), &QAction::triggered, this, [this] {
        EndRename(true);
        ShowAddFileVariableDialog(AddVariableKind::AutoRecode, this);
        AfterDialog();
    });
    connect(AddItem(dataMenu, "ComputeVariables1", "&Compute Variables from Sample Data..."),
            &QAction::triggered, this, [this] { ShowComputeVariablesDialog(parentWidget()); });
    connect(AddItem(dataMenu, "InsertCaseNumbers1", "Insert &Case Numbers"), &QAction::triggered, this,
            &TDataForm::InsertCaseNumbersClick);
    connect(AddItem(dataMenu, "WeightCases1", "&Weight Cases..."), &QAction::triggered, this, [this] {
        EndRename(true);
        ShowWeightCasesDialog(this);
        AfterDialog();
    });

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("View1");
    connect(AddItem(view, "SizeColumnWidths1", "&Size Column Widths"), &QAction::triggered, this,
            &TDataForm::SizeColumnWidths);
    QAction* levels = AddItem(view, "ViewTextLevels1", "&View Text Variable Levels");
    levels->setCheckable(true);
    levels->setChecked(true);
    connect(levels, &QAction::toggled, this, [this](bool on) {
        dataModel_->ShowLevels = on;
        DataList.RebuildValues();
        dataGrid_->viewport()->update();
        FitColumns();
    });

    FormMenus menus;
    menus.fileMenu = file;
    menus.recentSeparator = "MenulineMRU";
    menus.helpTopic = kHelpDataEditor;
    menus.helpCaption = "Data Editor &Help";
    menus.helpItemName = "DataEditorHelp1";
    SetUpFormMenus(this, menus);

    popup_ = new QMenu(this);
    popup_->setObjectName("PopupMenu1");
    connect(AddItem(popup_, "PopUpMenu_Cut", "Cu&t"), &QAction::triggered, this, &TDataForm::CutClick);
    connect(AddItem(popup_, "PopUpMenu_Copy", "&Copy"), &QAction::triggered, this, &TDataForm::CopyClick);
    connect(AddItem(popup_, "PopUpMenu_Paste", "&Paste"), &QAction::triggered, this, &TDataForm::PasteClick);
    connect(AddItem(popup_, "PopUpMenu_Clear", "C&lear Contents"), &QAction::triggered, this,
            &TDataForm::ClearClick);
    popup_->addSeparator();
    connect(AddItem(popup_, "PopUpMenu_ChangeNames", "Change Column &Names"), &QAction::triggered, this,
            [this] { StartRename(std::max(dataGrid_->currentIndex().column() + 1, 1)); });
    connect(AddItem(popup_, "PopUpMenu_DeleteColumns", "&Delete Column(s)"), &QAction::triggered, this,
            &TDataForm::DeleteColumnsClick);
    connect(AddItem(popup_, "PopUpMenu_InsertColumns", "&Insert Column(s)"), &QAction::triggered, this,
            &TDataForm::InsertColumnsClick);
    connect(AddItem(popup_, "PopUpMenu_DeleteRows", "&Delete &Row(s)"), &QAction::triggered, this,
            &TDataForm::DeleteRowsClick);
    connect(AddItem(popup_, "PopUpMenu_InsertRows", "Insert Ro&w(s)"), &QAction::triggered, this,
            &TDataForm::InsertRowsClick);
}

void TDataForm::BuildToolBar() {
    QToolBar* bar = AddFormToolBar(this);
    auto button = [this, bar](auto... args) { return AddToolAction(bar, this, args...); };
    button("ToolButton_Main", Command::MainForm, "View Main Form", [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "MainForm_KIVSPC") {
                w->showNormal();
                w->raise();
                w->activateWindow();
            }
    });
    button("ToolButton_Open", Command::Open, "Open", [this] { OpenClick(); });
    button("ToolButton_Save", Command::Save, "Save", [this] { Save(); });
    bar->addSeparator();
    button("ToolButton_Copy", Command::Copy, "Copy", [this] { CopyClick(); });
    button("ToolButton_Paste", Command::Paste, "Paste", [this] { PasteClick(); });
    bar->addSeparator();
    button("ToolButton_ProcessIF", Command::ProcessIf, "Process If...", [this] {
        ShowProcessIfDialog(this);
        AfterDialog();
    });
    button("ToolButton_Transform", Command::Transform, "Transform...", [this] {
        ShowTransformDialog(this);
        AfterDialog();
    });
    button("ToolButton_Size", Command::SizeColumns, "Size Column Widths", [this] { SizeColumnWidths(); });
    bar->addSeparator();
    button("ToolButton_Return", Command::Return, "Return to Main Form", [this] { ReturnClick(); });
    button("ToolButton_Close", Command::Close, "Hide Form", [this] {
        hide();
        ReturnClick();
    });
    button("ToolButton_Help", Command::Help, "Help", [] { ShowHelpTopic(kHelpDataEditor); });
}

void TDataForm::BuildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panels_[i]);
    }
    statusBar()->installEventFilter(this);
}

void TDataForm::UpdateStatusBar() {
    const QModelIndex current = VisibleGrid()->currentIndex();
    const std::string texts[5] = {StatusCellText(current.column() + 1, current.row() + 1),
                                  StatusMissingText(), StatusTransformText(), StatusProcessIfText(),
                                  StatusSizeText()};
    for (int i = 0; i < 5; ++i) {
        panels_[i]->setText(ToQt(texts[i]));
        panels_[i]->setFixedWidth(panels_[i]->fontMetrics().horizontalAdvance(panels_[i]->text()) + 10 + 8);
    }
    statusBar()->setToolTip(ToQt(StatusHint()).replace("\r\n", "\n"));
}

void TDataForm::UpdateCaption() { setWindowTitle(ToQt(DataFormCaption())); }

void TDataForm::SetModified(bool flag) {
    DataTable().Modified = flag;
    UpdateCaption();
}

bool TDataForm::HasData() const { return kivspc::HasData(); }

void TDataForm::Reload() {
    dataModel_->Reload();
    descModel_->Reload();
    FitColumns();
    // A new table starts at its first cell on both pages.
    for (QTableView* grid : {dataGrid_, descGrid_})
        if (!grid->currentIndex().isValid()) grid->setCurrentIndex(grid->model()->index(0, 0));
    UpdateStatusBar();
}

void TDataForm::FocusGrid() {
    QTableView* grid = VisibleGrid();
    if (!grid->currentIndex().isValid()) grid->setCurrentIndex(grid->model()->index(0, 0));
    // A name being typed keeps the keys.
    if (!renameEditor_) grid->setFocus();
    UpdateStatusBar();
}

void TDataForm::FitColumns() {
    // Columns widen to their widest text, judged on the rows in view and the names: a million
    // rows are never measured.
    QHeaderView* header = dataGrid_->horizontalHeader();
    const int base = narrowColumns_ ? 5 : 50;
    const QFontMetrics fm = dataGrid_->fontMetrics();
    const int rows = std::min(dataModel_->rowCount(), 200);
    for (int c = 0; c < dataModel_->columnCount(); ++c) {
        int width = std::max(base, fm.horizontalAdvance(ToQt(DataTable().ColumnName(c + 1))) + 16);
        if (!narrowColumns_)
            for (int r = 0; r < rows; ++r)
                width = std::max(width, CellWidth(dataGrid_, r, c));
        header->resizeSection(c, width);
        int descWidth = width;
        if (!narrowColumns_)
            for (int d = 1; d <= 4; ++d)
                descWidth = std::max(descWidth,
                                     fm.horizontalAdvance(ToQt(DataTable().Description(c + 1, d))) + 10 + 6);
        descGrid_->horizontalHeader()->resizeSection(c, descWidth);
    }
    // And the rows in view, wherever they are.
    WidenToShownRows();
}

int TDataForm::CellWidth(QTableView* grid, int row, int col) const {
    return grid->fontMetrics().horizontalAdvance(
               grid->model()->data(grid->model()->index(row, col), Qt::DisplayRole).toString()) +
           10 + 6;
}

void TDataForm::WidenToShownRows() {
    // Only the rows and columns in view are measured, so scrolling a million rows stays quick;
    // columns only grow, so they do not jump while the user scrolls back.
    if (narrowColumns_) return;
    for (QTableView* grid : {dataGrid_, descGrid_}) {
        if (!grid->isVisible() || grid->model()->rowCount() == 0) continue;
        const QRect view = grid->viewport()->rect();
        const int firstRow = std::max(grid->rowAt(view.top()), 0);
        int lastRow = grid->rowAt(view.bottom());
        if (lastRow < 0) lastRow = grid->model()->rowCount() - 1;
        const int firstCol = std::max(grid->columnAt(view.left()), 0);
        int lastCol = grid->columnAt(view.right());
        if (lastCol < 0) lastCol = grid->model()->columnCount() - 1;
        QHeaderView* header = grid->horizontalHeader();
        for (int c = firstCol; c <= lastCol; ++c) {
            int width = header->sectionSize(c);
            for (int r = firstRow; r <= lastRow; ++r)
                width = std::max(width, CellWidth(grid, r, c));
            if (width > header->sectionSize(c)) header->resizeSection(c, width);
        }
    }
}

void TDataForm::SizeColumnWidths() {
    narrowColumns_ = !narrowColumns_;
    FitColumns();
}

void TDataForm::TableEdited(const TEditEffect& effect, TTableEdit&& inverse, std::string_view label) {
    ShowEdit(effect);
    undo_->push(new TableUndoCommand(this, std::move(inverse), ToQt(std::string(label))));
    // Keep the newest steps within the memory limit; at a push no step is waiting to be redone.
    std::size_t total = 0;
    int keepFrom = undo_->count();
    for (int i = undo_->count() - 1; i >= 0; --i) {
        const std::size_t bytes = static_cast<const TableUndoCommand*>(undo_->command(i))->Bytes();
        if (total + bytes > undoLimit_) break;
        total += bytes;
        keepFrom = i;
    }
    if (keepFrom > 0) {
        std::vector<std::pair<TTableEdit, QString>> kept;
        for (int i = keepFrom; i < undo_->count(); ++i) {
            auto* step =
                const_cast<TableUndoCommand*>(static_cast<const TableUndoCommand*>(undo_->command(i)));
            kept.emplace_back(step->TakeEdit(), step->text());
        }
        undo_->clear();
        for (auto& [edit, text] : kept)
            undo_->push(new TableUndoCommand(this, std::move(edit), text));
    }
    undoBytes_ = total;
    SetModified(DataTable().Modified);
    UpdateStatusBar();
}

void TDataForm::ShowEdit(const TEditEffect& effect) {
    // A change of shape resets the views; the current cell and the selection stay where they were.
    QTableView* grid = VisibleGrid();
    const QModelIndex current = grid->currentIndex();
    const QItemSelection selection = grid->selectionModel()->selection();
    // Kept as numbers: a selection range holds persistent indexes, which a reset invalidates.
    const QRect range = selection.isEmpty()
                            ? QRect()
                            : QRect(QPoint(selection.front().left(), selection.front().top()),
                                    QPoint(selection.front().right(), selection.front().bottom()));
    dataModel_->Refresh(effect);
    descModel_->Refresh(effect);
    if (ValuesStale) rebuildTimer_->start();
    if (!effect.Structure) {
        WidenToShownRows();
        return;
    }
    FitColumns();
    QAbstractItemModel* m = grid->model();
    auto clamp = [m](int row, int col) {
        return m->index(std::clamp(row, 0, m->rowCount() - 1), std::clamp(col, 0, m->columnCount() - 1));
    };
    if (current.isValid()) grid->setCurrentIndex(clamp(current.row(), current.column()));
    if (range.isValid())
        grid->selectionModel()->select(
            QItemSelection(clamp(range.top(), range.left()), clamp(range.bottom(), range.right())),
            QItemSelectionModel::ClearAndSelect);
}

void TDataForm::TableReplaced() {
    EndRename(false);
    undo_->clear();
    undoBytes_ = 0;
    Reload();
    dataGrid_->setCurrentIndex(dataModel_->index(0, 0));
    UpdateCaption();
}

void TDataForm::AfterDialog() {
    // Anything shown may have changed; the current cell and the selection stay.
    ShowEdit({.Structure = true, .Headers = true, .Cells = {}});
    UpdateStatusBar();
    UpdateCaption();
}

bool TDataForm::NewData() {
    EndRename(true);
    return kivspc::NewData();
}

void TDataForm::ShowFrom(QWidget* window, const QString& caption) {
    returnForm_ = window;
    returnCaption_ = caption;
    if (auto* a = findChild<QAction*>("ToolButton_Return")) a->setToolTip("Return to " + caption);
    if (auto* a = findChild<QAction*>("Return1")) a->setText("&Return to " + caption);
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void TDataForm::ReturnClick() {
    QWidget* target = returnForm_;
    if (!target)
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "MainForm_KIVSPC") target = w;
    if (target) {
        target->showNormal();
        target->raise();
        target->activateWindow();
    }
    if (auto* a = findChild<QAction*>("ToolButton_Return")) a->setToolTip("Return to Main Form");
    if (auto* a = findChild<QAction*>("Return1")) a->setText("&Return to Main Form");
    returnForm_ = nullptr;
}

bool TDataForm::OpenFile(const QString& path) {
    EndRename(true);
    // A load that fails or is refused leaves the table, its grid and its caption as they were.
    if (!LoadFile(FromQt(path))) return false;
    Reload();
    dataGrid_->setCurrentIndex(dataModel_->index(0, 0));
    UpdateCaption();
    return true;
}

void TDataForm::OpenClick() {
    MRUFiles().Load();
    const QString path = QFileDialog::getOpenFileName(
        this, "Open", ToQt(MRUFiles().LastFolder()),
        "Data Files (*.dat *.kiv *.kivs);;Kivstats Data Files (*.kiv);;Kivspc Data Files (*.kivs);;"
        "Data Files (*.dat);;Text Files (*.txt);;All Files (*)");
    if (!path.isEmpty()) OpenFile(path);
}

bool TDataForm::Save() {
    EndRename(true);
    if (DataTable().FileName.empty()) return SaveAs();
    const bool saved = WriteDataFile(DataTable().FileName, true, false, true);
    if (saved && ColumnsChanged) {
        ++ColumnChangeCount;
        ColumnsChanged = false;
    }
    UpdateCaption();
    return saved;
}

bool TDataForm::SaveAs() {
    EndRename(true);
    const CellRange selection = Selection();
    const bool block = dataPageShown_ && (selection.LastColumn > selection.FirstColumn ||
                                          selection.LastRow > selection.FirstRow);
    bool descriptions = false;
    for (int c = 1; c <= DataTable().ColumnCount() && !descriptions; ++c)
        for (int d = 1; d <= 4 && !descriptions; ++d)
            descriptions = !DataTable().Description(c, d).empty();
    const bool names = HasCustomNames();
    SaveConfiguration choice;
    if (block || descriptions || names) {
        const std::optional<SaveConfiguration> asked =
            TConfigSave_Form::Ask(this, block, names, descriptions);
        if (!asked) return false;
        choice = *asked;
    }
    MRUFiles().Load();
    QString start = ToQt(DataTable().FileName);
    if (start.isEmpty()) start = ToQt(MRUFiles().LastFolder());
    // Every type is the same tab-delimited text; the type chosen gives the extension ("kiv" when
    // it allows several, or none). No default suffix: the dialog would add it before the type is
    // looked at.
    QFileDialog dialog(
        this, "Save As", start,
        "Data Files (*.dat *.kiv *.kivs);;Kivstats Data Files (*.kiv);;Kivspc Data Files (*.kivs);;"
        "Data Files (*.dat);;Text Files (*.txt);;All Files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString chosen = dialog.selectedFiles().front();
    const QString path = PathForSaveType(chosen, FilterExtensions(dialog.selectedNameFilter()), "kiv");
    if (!MayWriteSavePath(chosen, path)) return false;
    const bool saved =
        WriteDataFile(FromQt(path), choice.names, choice.selection, choice.descriptions, selection);
    UpdateCaption();
    return saved;
}

QTableView* TDataForm::VisibleGrid() const { return dataPageShown_ ? dataGrid_ : descGrid_; }

CellRange TDataForm::Selection() const {
    QTableView* grid = VisibleGrid();
    // The ranges, not a list of every selected cell: a whole column may hold a million cells.
    const QItemSelection picked = grid->selectionModel()->selection();
    // Without a current cell (a table without rows has none) the selection is the first cell.
    const QModelIndex current = grid->currentIndex();
    const int col = current.isValid() ? current.column() + 1 : 1;
    const int row = current.isValid() ? current.row() + 1 : 1;
    CellRange r{col, col, row, row};
    if (picked.isEmpty()) return r;
    const QItemSelectionRange range = picked.front();
    return {range.left() + 1, range.right() + 1, range.top() + 1, range.bottom() + 1};
}

bool TDataForm::WholeColumnsSelected() const {
    const CellRange s = Selection();
    return dataPageShown_ && s.FirstRow == 1 && s.LastRow == DataTable().RowCount();
}

bool TDataForm::WholeRowsSelected() const {
    const CellRange s = Selection();
    return dataPageShown_ && s.FirstColumn == 1 && s.LastColumn == DataTable().ColumnCount();
}

void TDataForm::UpdateEditCommands() {
    const bool clipboardText =
        QApplication::clipboard()->mimeData() && QApplication::clipboard()->mimeData()->hasText();
    for (const char* name : {"Main_Paste", "PopUpMenu_Paste", "ToolButton_Paste"})
        if (auto* a = findChild<QAction*>(name)) a->setEnabled(clipboardText);
    const bool columns = WholeColumnsSelected();
    const bool rows = WholeRowsSelected();
    for (const char* name : {"Main_DeleteColumns", "Main_InsertColumns", "Main_ChangeNames"})
        findChild<QAction*>(name)->setEnabled(columns);
    for (const char* name : {"Main_DeleteRows", "Main_InsertRows"})
        findChild<QAction*>(name)->setEnabled(rows);
    for (const char* name : {"PopUpMenu_ChangeNames", "PopUpMenu_DeleteColumns", "PopUpMenu_InsertColumns"})
        findChild<QAction*>(name)->setEnabled(dataPageShown_ && pressOnNames_);
    for (const char* name : {"PopUpMenu_DeleteRows", "PopUpMenu_InsertRows"})
        findChild<QAction*>(name)->setEnabled(dataPageShown_ && pressOnCaseNumbers_);
}

void TDataForm::CopyClick() {
    const CellRange s = Selection();
    DataTextGrid grid(!dataPageShown_);
    CurrentPlatform().SetClipboardText(
        GridSelectionText(grid, {s.FirstColumn, s.FirstRow, s.LastColumn, s.LastRow}));
}

void TDataForm::CutClick() {
    if (EditorOpen(VisibleGrid())) return;
    CopyClick();
    ClearClick();
}

void TDataForm::ClearClick() {
    if (EditorOpen(VisibleGrid()) || renameEditor_) return;
    const CellRange s = Selection();
    if (dataPageShown_) {
        ApplyTableEdit(edits::Fill{s, ""}, "Clear");
        return;
    }
    const int rows = s.LastRow - s.FirstRow + 1;
    edits::SetHeaders cleared{s.FirstColumn, s.FirstRow, rows, {}};
    cleared.Texts.assign(static_cast<std::size_t>(rows * (s.LastColumn - s.FirstColumn + 1)), std::string());
    ApplyTableEdit(std::move(cleared), "Clear");
}

void TDataForm::PasteClick() {
    if (renameEditor_) return;
    const std::string text = CurrentPlatform().ClipboardText();
    const CellRange s = Selection();
    const PasteOutcome out = dataPageShown_ ? PasteIntoDataGrid(text, s) : PasteIntoSelection(text, s);
    if (out.NamesTaken) {
        // Each named column is at least as wide as its name.
        QHeaderView* header = dataGrid_->horizontalHeader();
        for (int c = s.FirstColumn; c <= DataTable().ColumnCount(); ++c) {
            const int want = fontMetrics().horizontalAdvance(ToQt(DataTable().ColumnName(c))) + 20;
            if (header->sectionSize(c - 1) < want) header->resizeSection(c - 1, want);
        }
    }
    UpdateStatusBar();
}

void TDataForm::CopyNamesClick(bool withData) {
    const TDataTable& t = DataTable();
    DataTextGrid grid(false);
    CurrentPlatform().SetClipboardText(
        GridSelectionText(grid, {1, 0, t.ColumnCount(), withData ? t.RowCount() : 0}));
}

void TDataForm::DeleteRowsClick() {
    if (!dataPageShown_) return;
    const CellRange s = Selection();
    if (s.FirstRow <= 1 && s.LastRow >= DataTable().RowCount()) {
        NewData();
        return;
    }
    if (ApplyTableEdit(edits::DeleteRows{s.FirstRow, s.LastRow - s.FirstRow + 1}, "Delete Rows"))
        MoveTo(s.FirstColumn, std::min(s.FirstRow, DataTable().RowCount()), false);
}

void TDataForm::DeleteColumnsClick() {
    if (!dataPageShown_) return;
    const CellRange s = Selection();
    if (s.FirstColumn <= 1 && s.LastColumn >= DataTable().ColumnCount()) {
        NewData();
        return;
    }
    if (ApplyTableEdit(edits::DeleteColumns{s.FirstColumn, s.LastColumn - s.FirstColumn + 1},
                       "Delete Columns"))
        MoveTo(std::min(s.FirstColumn, DataTable().ColumnCount()), 1, false);
}

void TDataForm::InsertRowsClick() {
    if (!dataPageShown_) return;
    const CellRange s = Selection();
    ApplyTableEdit(edits::InsertRows{s.FirstRow, s.LastRow - s.FirstRow + 1, {}}, "Insert Rows");
}

void TDataForm::InsertColumnsClick() {
    if (!dataPageShown_) return;
    const CellRange s = Selection();
    if (ApplyTableEdit(edits::InsertColumns{s.FirstColumn, s.LastColumn - s.FirstColumn + 1, {}},
                       "Insert Columns"))
        MoveTo(s.FirstColumn, 1, false);
}

void TDataForm::TransposeClick() {
    EndRename(true);
    ApplyTableEdit(edits::Transpose{}, "Transpose");
}

void TDataForm::InsertCaseNumbersClick() {
    if (!dataPageShown_) return;
    ApplyTableEdit(TTableEdit::InsertCaseNumbers(), "Insert Case Numbers");
}

void TDataForm::PrintClick() {
    const CellRange s = Selection();
    DataTextGrid grid(!dataPageShown_);
    QString title = ToQt(DataTable().FileName);
    if (title.isEmpty()) title = "Data";
    PrintGridDialog(this, grid, windowTitle(), title, {s.FirstColumn, s.FirstRow, s.LastColumn, s.LastRow});
}

void TDataForm::StartRename(int col) {
    if (!dataPageShown_ || col < 1 || col > DataTable().ColumnCount()) return;
    EndRename(true);
    QHeaderView* header = dataGrid_->horizontalHeader();
    dataGrid_->scrollTo(dataModel_->index(std::max(dataGrid_->currentIndex().row(), 0), col - 1));
    renameColumn_ = col;
    renameEditor_ = new QLineEdit(header);
    renameEditor_->setObjectName("RenameEditor");
    renameEditor_->setAccessibleName("Column name");
    renameEditor_->setText(ToQt(DataTable().ColumnName(col)));
    renameEditor_->setGeometry(header->sectionViewportPosition(col - 1), 0, header->sectionSize(col - 1),
                               header->height());
    renameEditor_->installEventFilter(this);
    renameEditor_->show();
    renameEditor_->selectAll();
    renameEditor_->setFocus();
    SetModified(true);
}

void TDataForm::EndRename(bool keep) {
    if (!renameEditor_) return;
    QLineEdit* editor = std::exchange(renameEditor_, nullptr);
    const std::string name = FromQt(editor->text());
    // It may be handling the key that ended rename mode: it goes once that is done.
    editor->setObjectName(QString());
    editor->hide();
    editor->deleteLater();
    // A name of blanks alone is no name: it is refused here, not first at saving.
    if (keep && name != DataTable().ColumnName(renameColumn_)) {
        if (const std::string problem = ColumnNameProblem(name, DataTable().ColumnName(renameColumn_));
            !problem.empty()) {
            ShowError(problem);
            keep = false;
        }
    }
    if (keep && name != DataTable().ColumnName(renameColumn_)) {
        edits::Sequence steps;
        steps.Steps.push_back(TTableEdit::Rename(renameColumn_, name));
        ApplyTableEdit(std::move(steps), "Rename");
    }
    // Default names follow their columns again: "col3" typed over column 5 becomes "Col5".
    edits::Sequence fixes = DefaultNameCorrections();
    if (!fixes.Steps.empty()) ApplyTableEdit(std::move(fixes), "Rename");
    ColumnsChanged = true;
    DataChanged = true;
    dataGrid_->setFocus();
}

void TDataForm::MoveTo(int col, int row, bool extend) {
    QTableView* grid = VisibleGrid();
    const QModelIndex target = grid->model()->index(row - 1, col - 1);
    if (!target.isValid()) return;
    if (extend) {
        // The selection grows or shrinks from the corner opposite the current cell.
        QModelIndex anchor = grid->currentIndex();
        if (!grid->selectionModel()->selection().isEmpty()) {
            const QItemSelectionRange r = grid->selectionModel()->selection().front();
            const int c = anchor.column() == r.left() ? r.right() : r.left();
            const int r0 = anchor.row() == r.top() ? r.bottom() : r.top();
            anchor = grid->model()->index(r0, c);
        }
        grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
        grid->selectionModel()->select(QItemSelection(anchor, target), QItemSelectionModel::ClearAndSelect);
    } else {
        grid->setCurrentIndex(target);
    }
    grid->scrollTo(target);
}

void TDataForm::TabFromLastColumn(int row) {
    Beep();
    if (DataTable().ColumnCount() + 1 <= kMaxColumns &&
        ApplyTableEdit(edits::InsertColumns{DataTable().ColumnCount() + 1, 1, {}}, "Add Column"))
        ValuesStale = true;
    MoveTo(DataTable().ColumnCount(), row, false);
}

bool TDataForm::GridKey(QTableView* grid, QKeyEvent* key) {
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    const QModelIndex current = grid->currentIndex();
    const int col = current.column() + 1;
    const int row = current.row() + 1;
    shiftTab_ = key->key() == Qt::Key_Backtab;
    switch (key->key()) {
    case Qt::Key_Tab:
        if (ctrl) return false;
        if (grid == dataGrid_ && col >= DataTable().ColumnCount()) {
            TabFromLastColumn(row);
            return true;
        }
        MoveTo(std::min(col + 1, grid->model()->columnCount()), row, false);
        return true;
    case Qt::Key_Backtab: MoveTo(std::max(col - 1, 1), row, false); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (grid == dataGrid_ && row >= DataTable().RowCount())
            ApplyTableEdit(edits::InsertRows{DataTable().RowCount() + 1, 1, {}}, "Add Row");
        MoveTo(col, std::min(row + 1, grid->model()->rowCount()), false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (!ctrl || grid != dataGrid_) return false;
        const JumpDirection d = key->key() == Qt::Key_Up     ? JumpDirection::Up
                                : key->key() == Qt::Key_Down ? JumpDirection::Down
                                : key->key() == Qt::Key_Left ? JumpDirection::Left
                                                             : JumpDirection::Right;
        const CellPosition to = JumpTarget({col, row}, d);
        MoveTo(to.Column, to.Row, shift);
        return true;
    }
    case Qt::Key_Delete: ClearClick(); return true;
    default: break;
    }
    // The limits rows of the descriptions take numbers only.
    if (grid == descGrid_ && row >= 2 && !ctrl && !NumberKey(key)) {
        Beep();
        return true;
    }
    return false;
}

bool TDataForm::EditorKey(QObject* editor, QKeyEvent* key) {
    if (editor == renameEditor_) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int col = renameColumn_;
            EndRename(true);
            MoveTo(col, 1, false);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            EndRename(false);
            return true;
        }
        return false;
    }
    auto* edit = qobject_cast<QWidget*>(editor);
    QTableView* grid = edit && dataGrid_->isAncestorOf(edit) ? dataGrid_ : descGrid_;
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // The typed text goes in first; then the key moves on as it does outside the editor.
        auto* widget = static_cast<QWidget*>(editor);
        QMetaObject::invokeMethod(grid, "commitData", Q_ARG(QWidget*, widget));
        QMetaObject::invokeMethod(grid, "closeEditor", Q_ARG(QWidget*, widget),
                                  Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        grid->setFocus();
        return GridKey(grid, key);
    }
    default: break;
    }
    if (grid == descGrid_ && grid->currentIndex().row() >= 1 && !(key->modifiers() & Qt::ControlModifier) &&
        !NumberKey(key)) {
        Beep();
        return true;
    }
    return false;
}

bool TDataForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (watched == dataGrid_ || watched == descGrid_)
            return GridKey(static_cast<QTableView*>(watched), key);
        if (watched == renameEditor_ || qobject_cast<QLineEdit*>(watched)) return EditorKey(watched, key);
    }
    if (e->type() == QEvent::MouseButtonPress) {
        if (watched == dataGrid_->horizontalHeader()->viewport() ||
            watched == descGrid_->horizontalHeader()->viewport()) {
            pressOnNames_ = true;
            pressOnCaseNumbers_ = false;
        } else if (watched == dataGrid_->verticalHeader()->viewport() ||
                   watched == descGrid_->verticalHeader()->viewport()) {
            pressOnNames_ = false;
            pressOnCaseNumbers_ = true;
        } else if (watched == dataGrid_->viewport() || watched == descGrid_->viewport()) {
            pressOnNames_ = pressOnCaseNumbers_ = false;
            // A click in the data ends rename mode.
            EndRename(true);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

bool TDataForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) UpdateStatusBar();
    if (e->type() == QEvent::WindowDeactivate) {
        // Other windows learn of the changes when the editor lets go.
        CommitEditorChanges();
        dataGrid_->viewport()->update();
    }
    return QMainWindow::event(e);
}

void TDataForm::closeEvent(QCloseEvent* e) {
    // The editor is hidden, never closed: it keeps its table.
    e->ignore();
    hide();
    ReturnClick();
}

TDataForm* DataForm() { return theDataForm; }

TDataForm& EnsureDataForm() {
    if (!theDataForm) theDataForm = new TDataForm;
    return *theDataForm;
}

void ShowDataEditorFrom(QWidget* window, const QString& caption) {
    EnsureDataForm().ShowFrom(window, caption);
}

bool OpenDataFileFrom(QWidget* window, const QString& caption) {
    TDataForm& form = EnsureDataForm();
    MRUFiles().Load();
    const QString path = QFileDialog::getOpenFileName(
        window, "Open", ToQt(MRUFiles().LastFolder()),
        "Data Files (*.dat *.kiv *.kivs);;Kivstats Data Files (*.kiv);;Kivspc Data Files (*.kivs);;"
        "Data Files (*.dat);;Text Files (*.txt);;All Files (*)");
    if (path.isEmpty()) return false;
    const bool loaded = form.OpenFile(path);
    form.ShowFrom(window, caption);
    return loaded;
}

bool NewDataFrom(QWidget* window, const QString& caption) {
    TDataForm& form = EnsureDataForm();
    if (!form.NewData()) return false;
    form.ShowFrom(window, caption);
    return true;
}

void ReleaseDataForm() { delete theDataForm.data(); }

} // namespace kivspc::gui
