// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/CCPointInfoForm.h"

#include "app/CommandIcons.h"
#include "app/FormShell.h"
#include "app/GridPrinting.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Platform.h"
#include "app/SharedState.h"
#include "charts/CCPointInfo.h"
#include "charts/VARchart.h"
#include "charts/VARchartPoints.h"
#include "data/DataForm.h"
#include "data/GridModule.h"
#include "output/OutputDataModule.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace kivspc::gui {

namespace {

QPointer<TForm_CChart_Info> window;
// Where the window was when it was last closed (empty until then).
QRect lastBounds;

// The grid as it is shown: numbers with the chosen decimals, for printing.
class TShownGrid : public TextGrid {
public:
    explicit TShownGrid(const TVarPointModel& model) : model_(model) {}
    int GridColumnCount() const override { return model_.GridColumnCount(); }
    int GridRowCount() const override { return model_.GridRowCount(); }
    std::string GridCell(int col, int row) const override {
        if (row == 0) return model_.GridCell(col, 0);
        return model_.index(row - 1, col).data(Qt::DisplayRole).toString().toStdString();
    }

private:
    const TVarPointModel& model_;
};

QWidget* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "MainForm_KIVSPC") return w;
    return nullptr;
}

} // namespace

TForm_CChart_Info::TForm_CChart_Info(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName("Form_CChart_Info");
    setWindowTitle("Variables Control Chart Analysis");
    setAttribute(Qt::WA_DeleteOnClose, true);

    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    report_ = new TOutputRichEdit(pages_);
    report_->setObjectName("RichEdit_Report");
    report_->setAccessibleName("Analysis");
    pages_->addTab(report_, "&Analysis");

    auto* gridPage = new QWidget(pages_);
    model_ = new TVarPointModel(this);
    grid_ = new QTableView(gridPage);
    grid_->setObjectName("StringGrid_Info");
    grid_->setAccessibleName("Point Information");
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setStyleSheet("QTableView::item { padding-left: 5px; padding-right: 5px; }");
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // The top-left cell ("Point") selects every cell, as the corner of a spreadsheet does.
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == 0) grid_->selectAll();
    });
    auto* gridLayout = new QVBoxLayout(gridPage);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(grid_);
    pages_->addTab(gridPage, "Point Information");

    decimals_ = new QSpinBox(this);
    decimals_->setObjectName("DecimalSpinEdit");
    decimals_->setRange(0, 9);
    decimals_->setValue(std::clamp(ChartInfoStyle.Decimals, 0, 9));
    decimals_->setAccessibleName("Decimals");
    InstallKeyFilter(decimals_, KeyFilterKind::Integer);
    auto* decimalsLabel = new QLabel("&Decimals:", this);
    decimalsLabel->setBuddy(decimals_);
    auto* top = new QHBoxLayout;
    top->addWidget(decimalsLabel);
    top->addWidget(decimals_);
    top->addStretch();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(pages_, 1);
    setCentralWidget(central);

    pointCount_ = new QLabel(statusBar());
    pointCount_->setObjectName("Label_PointCount");
    statusBar()->addWidget(pointCount_);

    connect(decimals_, &QSpinBox::valueChanged, this, &TForm_CChart_Info::DecimalsChanged);
    connect(pages_, &QTabWidget::currentChanged, this, &TForm_CChart_Info::UpdateCommands);

    // Menus.
    const auto item = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                             auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        if (!keys.isEmpty()) a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    item(file, "PrintText1", "&Print Text", QKeySequence("Ctrl+P"), [this] { PrintTextClick(); });
    item(file, "PrintGrid1", "Print &Grid", {}, [this] { PrintGridClick(); });
    file->addSeparator();
    returnItem_ = item(file, "Return1", "&Return", {}, [this] { ReturnToChart(); });
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    QAction* undo = item(edit, "Undo1", "&Undo", QKeySequence::Undo, [this] { report_->undo(); });
    QAction* cut = item(edit, "Cut1", "Cut", QKeySequence("Ctrl+X"), [this] { report_->cut(); });
    item(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"), [this] { CopyClick(); });
    QAction* paste = item(edit, "Paste1", "&Paste", QKeySequence("Ctrl+V"), [this] { report_->paste(); });
    edit->addSeparator();
    QAction* bigger =
        item(edit, "IncreaseFont1", "&Increase Font", QKeySequence("Ctrl+I"), [this] { ChangeFontSize(1); });
    QAction* smaller =
        item(edit, "DecreaseFont1", "&Decrease Font", QKeySequence("Ctrl+D"), [this] { ChangeFontSize(-1); });
    edit->addSeparator();
    item(edit, "SelectAll1", "Select &All", QKeySequence("Ctrl+A"), [this] { SelectAllClick(); });
    reportOnly_ = {undo, cut, paste, bigger, smaller};

    FormMenus menus;
    menus.returnCaption = "Control Chart Point Information Form";
    menus.helpTopic = kHelpChartInfo;
    menus.helpCaption = "Help on Information Form";
    menus.helpItemName = "HelponInformationForm1";
    SetUpFormMenus(this, menus);

    // Tool bar.
    QToolBar* bar = AddFormToolBar(this);
    auto add = [this, bar](auto... args) { return AddToolAction(bar, this, args...); };
    returnTool_ = add("ToolButton_Return", Command::Return, "Return", [this] { ReturnToChart(); });
    add("ToolButton_DataEditor", Command::OpenForms, "Data Editor",
        [this] { ShowDataEditorFrom(this, "Control Chart Point Information Form"); });
    add("ToolButton_PrintText", Command::Print, "Print Text", [this] { PrintTextClick(); });
    add("ToolButton_PrintGrid", Command::Print, "Print Grid", [this] { PrintGridClick(); });
    add("ToolButton_Copy", Command::Copy, "Copy", [this] { CopyClick(); });
    reportOnly_ << add("ToolButton_Paste", Command::Paste, "Paste Text", [this] { report_->paste(); });
    reportOnly_ << add("ToolButton_IncreaseFont", Command::FontLarger, "Increase Font",
                       [this] { ChangeFontSize(1); });
    reportOnly_ << add("ToolButton_DecreaseFont", Command::FontSmaller, "Decrease Font",
                       [this] { ChangeFontSize(-1); });
    add("ToolButton_Main", Command::MainForm, "Main Form", [] {
        if (QWidget* main = MainWindow()) {
            main->showNormal();
            main->raise();
            main->activateWindow();
        }
    });
    add("ToolButton_Help", Command::Help, "Help", [] { ShowHelpTopic(kHelpChartInfo); });
    add("ToolButton_Close", Command::Close, "Close Form", [this] { close(); });

    // Ctrl with the wheel changes the report's section and body sizes.
    report_->viewport()->installEventFilter(this);
    resize(820, 600);
    if (lastBounds.isValid()) setGeometry(lastBounds);
    UpdateCommands();
}

TForm_CChart_Info::~TForm_CChart_Info() { ForgetOutputDocument(&report_->Document()); }

void TForm_CChart_Info::SetReturn(QWidget* chartWindow, const QString& caption) {
    chartWindow_ = chartWindow;
    returnItem_->setText("&Return to " + caption);
    returnTool_->setText("Return to " + caption);
    returnTool_->setToolTip("Return to " + caption);
}

void TForm_CChart_Info::Refresh(bool force) {
    if (!force && reported_ == ChartVersion && reported_ != 0) return;
    reported_ = ChartVersion;
    BuildReport(false);
    model_->Reload();
    model_->SetDecimals(decimals_->value());
    FitColumns();
    pointCount_->setText("Point Count: " + QString::number(VarChart.Count));
}

void TForm_CChart_Info::BuildReport(bool keepView) {
    BusyCursor busy;
    const TOutputRichEdit::ViewState view = report_->SaveView();
    TOutputDocument& doc = report_->Document();
    SetOutputDocument(&doc);
    // Hidden while it is written: the box renders once, afterwards.
    report_->setUpdatesEnabled(false);
    ClearOutputDocument();
    BuildChartReport();
    report_->Render();
    report_->setUpdatesEnabled(true);
    if (keepView)
        report_->RestoreView(view);
    else
        report_->RestoreView({});
}

void TForm_CChart_Info::DecimalsChanged(int decimals) {
    const int before = ChartInfoStyle.Decimals;
    ChartInfoStyle.Decimals = decimals;
    model_->SetDecimals(decimals);
    // Fewer decimals: the columns shrink back to their headers first.
    if (decimals < before) grid_->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    FitColumns();
    grid_->viewport()->update();
    BuildReport(true);
}

void TForm_CChart_Info::FitColumns() {
    grid_->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        grid_->setColumnWidth(c, grid_->columnWidth(c) + 10);
}

void TForm_CChart_Info::UpdateCommands() {
    const bool report = pages_->currentIndex() == 0;
    for (QAction* a : reportOnly_)
        a->setEnabled(report);
}

void TForm_CChart_Info::CopyClick() {
    if (pages_->currentIndex() == 0) {
        report_->copy();
        return;
    }
    const QModelIndexList picked =
        grid_->selectionModel() ? grid_->selectionModel()->selectedIndexes() : QModelIndexList();
    GridSelection selection{0, 1, model_->GridColumnCount() - 1, model_->GridRowCount() - 1};
    if (!picked.isEmpty()) {
        int left = picked.front().column(), right = left, top = picked.front().row(), bottom = top;
        for (const QModelIndex& i : picked) {
            left = std::min(left, i.column());
            right = std::max(right, i.column());
            top = std::min(top, i.row());
            bottom = std::max(bottom, i.row());
        }
        // Grid row 0 holds the headers.
        selection = {left, top + 1, right, bottom + 1};
    }
    // The cells go with the headers of their columns, so that a paste says what each column is.
    std::string text = GridSelectionText(*model_, {selection.Left, 0, selection.Right, 0});
    text += GridSelectionText(*model_, {selection.Left, 1, selection.Right, selection.Bottom});
    CurrentPlatform().SetClipboardText(text);
}

void TForm_CChart_Info::SelectAllClick() {
    if (pages_->currentIndex() == 0)
        report_->selectAll();
    else
        grid_->selectAll();
}

void TForm_CChart_Info::PrintGridClick() {
    const TShownGrid shown(*model_);
    PrintGridDialog(this, shown, QString::fromStdString(ProgramName),
                    QString::fromStdString(ChartReportHeading()), GridSelection{});
}

bool TForm_CChart_Info::PrintGridToFile(const QString& path) {
    const TShownGrid shown(*model_);
    return PrintGridToPdf(shown, QString::fromStdString(ProgramName),
                          QString::fromStdString(ChartReportHeading()), nullptr, PrintOrientation::Portrait,
                          path);
}

void TForm_CChart_Info::PrintTextClick() {
    PrintOutputDocumentDialog(this, report_, QString::fromStdString(ProgramName));
}

void TForm_CChart_Info::ChangeFontSize(int step) {
    TChartInfoStyle& style = ChartInfoStyle;
    if (step > 0 && style.HeadingSize >= 72) return;
    if (step < 0 && style.BodySize <= 6) return;
    style.HeadingSize += step;
    style.SectionSize += step;
    style.BodySize += step;
    const TOutputRichEdit::ViewState view = report_->SaveView();
    SetOutputDocument(&report_->SyncedDocument());
    ScaleOutputFonts(step, 1.0);
    report_->Render();
    report_->RestoreView(view);
}

void TForm_CChart_Info::ReturnToChart() {
    if (!chartWindow_) return;
    if (chartWindow_->isMinimized())
        chartWindow_->showNormal();
    else
        chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
}

bool TForm_CChart_Info::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Refresh();
    return QMainWindow::event(e);
}

bool TForm_CChart_Info::eventFilter(QObject* watched, QEvent* e) {
    if (watched == report_->viewport() && e->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(e);
        if (wheel->modifiers() & Qt::ControlModifier) {
            ChangeFontSize(wheel->angleDelta().y() > 0 ? 1 : -1);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TForm_CChart_Info::closeEvent(QCloseEvent* e) {
    lastBounds = geometry();
    QMainWindow::closeEvent(e);
    ReturnToChart();
}

TForm_CChart_Info* ShowChartInfo(QWidget* chartWindow, const QString& caption) {
    const bool created = !window;
    if (created) window = new TForm_CChart_Info(chartWindow);
    window->SetReturn(chartWindow, caption);
    window->Refresh(created);
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
    return window;
}

TForm_CChart_Info* ChartInfoWindow() { return window; }

} // namespace kivspc::gui
