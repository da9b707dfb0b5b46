// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartWindowParts.h"

#include "app/CommandIcons.h"
#include "app/Help.h"
#include "app/TextTools.h"
#include "charts/ChartScene.h"
#include "charts/ChartView.h"
#include "charts/GraphDia.h"
#include "data/DataEditor.h"
#include "data/DataTable.h"
#include "output/OutputDataModule.h"

#include <QApplication>

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace kivspc::gui {

namespace {

// Draws an entry without its two-letter column tag.
class TColumnEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = option->text.mid(2);
    }
};

QString DecimalsCaption(int places) {
    return places < 0 ? QString("Axis Decimal &Places (Floating)")
                      : "Axis Decimal &Places (" + QString::number(places) + ")";
}

} // namespace

QPushButton* MakeMoveButton(QWidget* parent, const char* name, const QString& text,
                            const QString& accessibleName) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(accessibleName);
    b->setFixedWidth(36);
    return b;
}

QListWidget* MakeColumnList(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->setItemDelegate(new TColumnEntryDelegate(list));
    return list;
}

int EntryColumn(const QListWidgetItem* item) { return item ? TagColumn(item->text().toStdString()) : 0; }

QString ColumnEntry(int column) {
    return QString::fromStdString(ColumnTag(column)) + QString::fromStdString(DataTable().ColumnName(column));
}

bool MoveColumnEntries(QListWidget* from, QListWidget* to, bool all) {
    int firstRow = -1;
    for (int row = from->count() - 1; row >= 0; --row) {
        if (!all && !from->item(row)->isSelected()) continue;
        to->addItem(from->takeItem(row));
        firstRow = row;
    }
    if (firstRow < 0) return false;
    to->clearSelection();
    from->clearSelection();
    if (from->count() > 0) {
        const int row = std::min(firstRow, from->count() - 1);
        from->setCurrentRow(row);
        from->item(row)->setSelected(true);
    }
    from->setFocus();
    return true;
}

int TakeFirstSelectedColumn(QListWidget* list, QString& name) {
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isSelected()) continue;
        std::unique_ptr<QListWidgetItem> item(list->takeItem(row));
        name = item->text().mid(2);
        return EntryColumn(item.get());
    }
    return 0;
}

QString SetupCaption(const QString& caption) {
    const std::string& file = DataTable().FileName;
    return HasData() && !file.empty() ? caption + " - " + QString::fromStdString(file) : caption;
}

void SetShown(QWidget* w, bool shown) {
    if (w && w->isHidden() == shown) w->setHidden(!shown);
}

void BringBack(QWidget* window) {
    if (!window) return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

QAction* AddOption(QMenu* menu, const char* name, const QString& text, bool checked,
                   const std::function<void(bool)>& changed) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(checked);
    QObject::connect(a, &QAction::triggered, menu, [changed](bool on) { changed(on); });
    return a;
}

QMenu* AddAxisDecimalsMenu(QMenu* view, int current, const std::function<void(int)>& chosen) {
    QMenu* menu = view->addMenu(DecimalsCaption(current));
    menu->setObjectName("AxisDecimalPlaces1");
    auto* group = new QActionGroup(menu);
    for (int places = -1; places <= 9; ++places) {
        QAction* a = menu->addAction(places < 0 ? QString("&Floating") : "&" + QString::number(places));
        a->setObjectName(places < 0 ? QString("Floating1") : "Decimals" + QString::number(places));
        a->setCheckable(true);
        a->setChecked(places == current);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [menu, places, chosen] {
            menu->setTitle(DecimalsCaption(places));
            chosen(places);
        });
    }
    return menu;
}

TSetupToolActions AddSetupToolBar(QMainWindow* window, const TSetupTools& tools) {
    QToolBar* bar = AddFormToolBar(window);
    const auto add = [window, bar](const char* name, Command icon, const QString& hint,
                                   std::function<void()> slot) {
        return AddToolAction(bar, window, name, icon, hint, std::move(slot));
    };
    TSetupToolActions actions;
    add("ToolButton_Return", Command::Return, "Return to Main Form", tools.ReturnToMain);
    add("ToolButton_Open", Command::Open, "Open Data File", tools.OpenDataFile);
    add(tools.DataEditorName, Command::OpenForms, "Data Editor", tools.DataEditor);
    if (tools.EditTools) {
        actions.Copy = add("ToolButton_Copy", Command::Copy, "Copy",
                           [] { DoEditCommand("Copy1", QApplication::focusWidget()); });
        actions.Paste = add("ToolButton_Paste", Command::Paste, "Paste",
                            [] { DoEditCommand("Paste1", QApplication::focusWidget()); });
        actions.Copy->setEnabled(false);
        actions.Paste->setEnabled(false);
    }
    actions.Resize = add("ToolButton_Resize", Command::Enlarge, "Maximize Form Size", tools.Resize);
    add("ToolButton_Main", Command::MainForm, "Main Form", tools.ReturnToMain);
    const int topic = tools.HelpTopic;
    add("ToolButton_Help", Command::Help, "Help", [topic] { ShowHelpTopic(topic); });
    add("ToolButton_Close", Command::Close, "Hide Form", [window] { window->close(); });
    return actions;
}

TChartCommands AddChartCommands(QMainWindow* window, const TChartWindowSpec& spec) {
    TChartCommands c;
    TChartView* chart = spec.Chart;
    const auto item = [window](QMenu* menu, const char* name, const QString& text, std::function<void()> slot,
                               const char* shortcut = nullptr) {
        QAction* a = menu->addAction(text, window, std::move(slot));
        a->setObjectName(name);
        if (shortcut) a->setShortcut(QKeySequence(shortcut));
        return a;
    };
    c.File = window->menuBar()->addMenu("&File");
    c.File->setObjectName("File1");
    item(c.File, "SaveAs1", "Save &As...", [window, chart] { SaveChart(chart, window); });
    item(
        c.File, "Print1", "&Print...", [window, chart] { PrintChart(chart, window); }, "Ctrl+P");
    c.File->addSeparator();
    c.ReturnItem = item(c.File, "Return1", "&" + spec.ReturnHint, spec.Return);

    c.Edit = window->menuBar()->addMenu("&Edit");
    c.Edit->setObjectName("Edit1");
    item(
        c.Edit, "Copy1", "&Copy Chart", [chart] { CopyChart(chart); }, "Ctrl+C");
    item(c.Edit, "EditChartTitles1", "Edit &Titles", spec.EditTitles, "Ctrl+T");

    c.View = window->menuBar()->addMenu("&View");
    c.View->setObjectName("View1");
    c.ZoomOut = item(
        c.View, "ZoomOut1", "&Zoom Out", [chart] { chart->ZoomOut(); }, "Ctrl+Z");
    const std::function<void()> redraw = spec.Redraw;
    c.BlackWhite =
        AddOption(c.View, "BlackWhite1", "&Black && White", ChartsBlackAndWhite, [redraw](bool on) {
            ChartsBlackAndWhite = on;
            redraw();
        });
    c.View->addSeparator();

    QToolBar* bar = AddFormToolBar(window);
    const auto add = [window, bar](const char* name, Command icon, const QString& hint,
                                   std::function<void()> slot) {
        return AddToolAction(bar, window, name, icon, hint, std::move(slot));
    };
    c.ReturnTool = add("ToolButton_Return", Command::Return, spec.ReturnHint, spec.Return);
    add("ToolButton_Save", Command::Save, "Save Graph", [window, chart] { SaveChart(chart, window); });
    add("ToolButton_Print", Command::Print, "Print Graph", [window, chart] { PrintChart(chart, window); });
    add("ToolButton_Copy", Command::Copy, "Copy Graph", [chart] { CopyChart(chart); });
    add("ToolButton_Titles", Command::EditTitles, "Edit Titles", spec.EditTitles);
    c.ZoomOutTool = add("ToolButton_ZoomOut", Command::ZoomOut, "Zoom Out", [chart] { chart->ZoomOut(); });
    add("ToolButton_BW", Command::ColorMode, "Color/BW", [redraw] {
        ChartsBlackAndWhite = !ChartsBlackAndWhite;
        redraw();
    });
    QWidget* mainWindow = spec.MainWindow;
    add("ToolButton_Main", Command::MainForm, "Main Form", [mainWindow] { BringBack(mainWindow); });
    const int topic = spec.HelpTopic;
    add("ToolButton_Help", Command::Help, "Help", [topic] { ShowHelpTopic(topic); });
    add("ToolButton_Close", Command::Close, "Hide Form", [window] { window->close(); });
    return c;
}

TChartControls MakeChartControls(QMainWindow* window, QWidget* parent, int pointSize, int lineThickness,
                                 const std::function<void(int)>& sizeChanged,
                                 const std::function<void(int)>& thicknessChanged) {
    TChartControls c;
    c.LineTitle = new QLabel("Line Title", parent);
    c.LineTitle->setObjectName("Label_LineTitle");
    c.LineTitle->setMinimumWidth(120);
    c.PointValue = new QLabel("Point Value", parent);
    c.PointValue->setObjectName("Label_PointValue");
    c.PointValue->setMinimumWidth(110);
    c.PointSize = new QScrollBar(Qt::Horizontal, parent);
    c.PointSize->setObjectName("ScrollBar1");
    c.PointSize->setRange(1, 25);
    c.PointSize->setValue(pointSize);
    c.PointSize->setMinimumWidth(120);
    c.PointSize->setAccessibleName("Point Size");
    c.PointSize->setToolTip("Set Point Size = " + QString::number(pointSize));
    c.LineThickness = new QSpinBox(parent);
    c.LineThickness->setObjectName("UpDown1");
    c.LineThickness->setRange(1, 10);
    c.LineThickness->setValue(lineThickness);
    c.LineThickness->setAccessibleName("Line Thickness");
    c.LineThickness->setToolTip("Line Thickness = " + QString::number(lineThickness));
    auto* sizeLabel = new QLabel("Point Size:", parent);
    sizeLabel->setBuddy(c.PointSize);
    auto* thickLabel = new QLabel("Line Thickness:", parent);
    thickLabel->setBuddy(c.LineThickness);
    c.SizeRow = new QHBoxLayout;
    c.SizeRow->addWidget(sizeLabel);
    c.SizeRow->addWidget(c.PointSize);
    c.SizeRow->addSpacing(12);
    c.SizeRow->addWidget(thickLabel);
    c.SizeRow->addWidget(c.LineThickness);
    const auto hinted = [window](QWidget* control, const QString& hint) {
        control->setToolTip(hint);
        window->statusBar()->showMessage(hint, 2000);
    };
    QScrollBar* size = c.PointSize;
    QObject::connect(size, &QScrollBar::valueChanged, window, [size, hinted, sizeChanged](int n) {
        hinted(size, "Set Point Size = " + QString::number(n));
        sizeChanged(n);
    });
    QSpinBox* thickness = c.LineThickness;
    QObject::connect(thickness, &QSpinBox::valueChanged, window,
                     [thickness, hinted, thicknessChanged](int n) {
                         hinted(thickness, "Line Thickness = " + QString::number(n));
                         thicknessChanged(n);
                     });
    return c;
}

} // namespace kivspc::gui
