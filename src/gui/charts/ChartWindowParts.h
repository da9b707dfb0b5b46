// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the chart setup and chart windows share: column lists that keep data order, showing and
// hiding controls, bringing a window back, checkable options and the axis decimals submenu.
#pragma once

#include <QString>

#include <functional>

class QAction;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QListWidgetItem;
class QMainWindow;
class QMenu;
class QScrollBar;
class QSpinBox;
class QWidget;

namespace kivspc::gui {

class TChartView;

// A list of data columns: each entry is the column's tag and its name, so that sorting keeps
// data order; only the name is drawn. Several entries can be selected.
QListWidget* MakeColumnList(QWidget* parent, const QString& name, const QString& accessibleName);
// A narrow ">", "<" or "<<" button of a setup window's column lists.
QPushButton* MakeMoveButton(QWidget* parent, const char* name, const QString& text,
                            const QString& accessibleName);
// The column of a list entry (0 for none), and the entry of a column.
int EntryColumn(const QListWidgetItem* item);
QString ColumnEntry(int column);
// Moves the selected entries of `from` (every entry with `all`) to `to`, from the last to the
// first. Then the entry of `from` at the first moved position (or the last entry) is selected
// and `from` takes the focus. False when nothing moved.
bool MoveColumnEntries(QListWidget* from, QListWidget* to, bool all = false);
// Takes the topmost selected entry out of `list`: its column, with the column's name in `name`;
// 0 when nothing is selected.
int TakeFirstSelectedColumn(QListWidget* list, QString& name);

// A setup window's caption: its own, with " - " and the data file's name while the table holds
// data read from a file.
QString SetupCaption(const QString& caption);

// Shows or hides a control only when that changes something.
void SetShown(QWidget* w, bool shown);
// Shows a window again: restored when minimised, raised and given the focus.
void BringBack(QWidget* window);

// A checkable menu item, named `name`, that calls `changed` with its new state.
QAction* AddOption(QMenu* menu, const char* name, const QString& text, bool checked,
                   const std::function<void(bool)>& changed);
// "Axis Decimal &Places" with "&Floating" (-1) and "&0" to "&9": the chosen item is checked and
// the submenu's caption names it; `chosen` gets the number of places.
QMenu* AddAxisDecimalsMenu(QMenu* view, int current, const std::function<void(int)>& chosen);

// The controls under a chart: the two hover labels ("Line Title", "Point Value"), the point size
// bar (1-25) and the line thickness box (1-10). A change shows its hint ("Set Point Size = 5") in
// the window's status bar and as the control's tip, then goes to `sizeChanged` or
// `thicknessChanged`.
struct TChartControls {
    QLabel* LineTitle = nullptr;
    QLabel* PointValue = nullptr;
    QScrollBar* PointSize = nullptr;
    QSpinBox* LineThickness = nullptr;
    QHBoxLayout* SizeRow = nullptr; // "Point Size:" and its bar, "Line Thickness:" and its box
};
TChartControls MakeChartControls(QMainWindow* window, QWidget* parent, int pointSize, int lineThickness,
                                 const std::function<void(int)>& sizeChanged,
                                 const std::function<void(int)>& thicknessChanged);

// The tool bar of a chart setup window: "Return to Main Form", "Open Data File", "Data Editor",
// "Copy" and "Paste" (on the focused number box, offered only while one has the focus: both start
// disabled), "Maximize Form Size", "Main Form", "Help" and "Hide Form".
struct TSetupTools {
    std::function<void()> ReturnToMain, OpenDataFile, DataEditor, Resize;
    int HelpTopic = 0;
    // A window without number boxes has no Copy and Paste buttons.
    bool EditTools = true;
    const char* DataEditorName = "ToolButton_DataEditor";
};
struct TSetupToolActions {
    QAction* Copy = nullptr;
    QAction* Paste = nullptr;
    QAction* Resize = nullptr;
};
TSetupToolActions AddSetupToolBar(QMainWindow* window, const TSetupTools& tools);

// The commands every chart window has. Menus: File ("Save &As...", "&Print..." Ctrl+P, the return
// item), Edit ("&Copy Chart" Ctrl+C, "Edit &Titles" Ctrl+T), View ("&Zoom Out" Ctrl+Z, "&Black &&
// White"); the tool bar: return, "Save Graph", "Print Graph", "Copy Graph", "Edit Titles", "Zoom
// Out", "Color/BW", "Main Form", "Help", "Hide Form". The window adds its own items after them.
struct TChartWindowSpec {
    TChartView* Chart = nullptr;
    QWidget* MainWindow = nullptr;
    QString ReturnHint; // "Return to Setup Form"
    std::function<void()> Return, EditTitles, Redraw;
    int HelpTopic = 0;
};
struct TChartCommands {
    QMenu* File = nullptr;
    QMenu* Edit = nullptr;
    QMenu* View = nullptr;
    QAction* ReturnItem = nullptr;
    QAction* ReturnTool = nullptr;
    QAction* ZoomOut = nullptr;
    QAction* ZoomOutTool = nullptr;
    QAction* BlackWhite = nullptr;
};
TChartCommands AddChartCommands(QMainWindow* window, const TChartWindowSpec& spec);

} // namespace kivspc::gui
