// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartPoints.h"

#include "app/CommandIcons.h"
#include "app/KeyFilterInstaller.h"
#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "data/GridPrinting.h"

#include <QAction>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

namespace {

QString ChartName(int chart) { return QString::fromUtf8(ChartTypeNames[static_cast<std::size_t>(chart)]); }

// The columns of one chart (location or dispersion): the statistic, its limits and its codes.
void AddChartColumns(std::vector<TPointColumn>& columns, int chart, int method, int slot,
                     const QString& tag) {
    using Kind = TPointColumn::Kind;
    if (chart == kChartTypeNone) return;
    const int first = slot == 0 ? kRowLocLCL : kRowDispLCL;
    columns.push_back({Kind::Statistic, ChartName(chart), slot == 0 ? kRowLocation : kRowDispersion, slot});
    const bool limits = method != kMethodNone && method != kMethodCenterlineOnly;
    if (limits) columns.push_back({Kind::Statistic, "LCL(" + tag + ")", first, slot});
    if (method != kMethodNone) columns.push_back({Kind::Statistic, "CL(" + tag + ")", first + 1, slot});
    if (limits) {
        columns.push_back({Kind::Statistic, "UCL(" + tag + ")", first + 2, slot});
        columns.push_back({Kind::Codes, "Codes (" + tag + ")", 0, slot});
    }
}

} // namespace

std::vector<TPointColumn> PointGridColumns() {
    using Kind = TPointColumn::Kind;
    const TVarChartSettings& s = VarChartSettings;
    std::vector<TPointColumn> columns;
    columns.push_back({Kind::Point, "Point", 0, 0});
    if (s.AxisLabelColumn != 0) columns.push_back({Kind::Labels, "Labels", kRowPosition, 0});
    if (s.SetColumn != 0) columns.push_back({Kind::Set, "Set", kRowSet, 0});
    if (s.LocationChart != kChartTypeX) columns.push_back({Kind::Count, "n", kRowN, 0});
    AddChartColumns(columns, s.LocationChart, s.LocationMethod, 0, "Loc");
    AddChartColumns(columns, s.DispersionChart, s.DispersionMethod, 1, "Disp");
    columns.push_back({Kind::Sigma, "Sigma Est", kRowSigma, 0});
    return columns;
}

TVarPointModel::TVarPointModel(QObject* parent) : QAbstractTableModel(parent) {}

void TVarPointModel::Reload() {
    beginResetModel();
    columns_ = PointGridColumns();
    points_ = VarChart.Count;
    endResetModel();
}

void TVarPointModel::SetDecimals(int decimals) {
    if (decimals == decimals_) return;
    decimals_ = decimals;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

int TVarPointModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : points_; }
int TVarPointModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

double TVarPointModel::Value(const TPointColumn& column, int point) const {
    if (column.kind == TPointColumn::Kind::Point) return point;
    if (point > VarChart.Points.Capacity() - 1) return MissingValue;
    return VarChart.Points(column.row, point);
}

bool TVarPointModel::Decimated(const TPointColumn& column) const {
    return column.kind == TPointColumn::Kind::Statistic || column.kind == TPointColumn::Kind::Sigma;
}

QString TVarPointModel::CellText(int column, int point) const {
    if (column < 0 || column >= columnCount() || point < 1 || point > points_) return {};
    const TPointColumn& c = columns_[static_cast<std::size_t>(column)];
    if (c.kind == TPointColumn::Kind::Codes) return QString::fromStdString(ControlCodes(c.slot, point));
    const double x = Value(c, point);
    return NotMissing(x) ? QString::fromStdString(FormatTrimmed(x)) : QString();
}

QVariant TVarPointModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int point = index.row() + 1;
    const TPointColumn& c = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        if (!Decimated(c)) return CellText(index.column(), point);
        const double x = Value(c, point);
        return NotMissing(x) ? QString::fromStdString(FormatFixed(decimals_, x)) : QString();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight));
    case Qt::BackgroundRole: {
        // Points out of control show at a glance: their statistic and their code are yellow.
        const bool flagged = !ControlCodes(c.slot, point).empty();
        const bool statistic =
            c.kind == TPointColumn::Kind::Statistic && c.row == (c.slot == 0 ? kRowLocation : kRowDispersion);
        if (statistic) return QColor(flagged ? Qt::yellow : Qt::green);
        if (c.kind == TPointColumn::Kind::Codes && flagged) return QColor(Qt::yellow);
        return {};
    }
    case Qt::ForegroundRole: {
        const bool statistic =
            c.kind == TPointColumn::Kind::Statistic && c.row == (c.slot == 0 ? kRowLocation : kRowDispersion);
        if (statistic || c.kind == TPointColumn::Kind::Codes) return QColor(Qt::black);
        return {};
    }
    default: return {};
    }
}

QVariant TVarPointModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return columns_[static_cast<std::size_t>(section)].header;
    return QAbstractTableModel::headerData(section, orientation, role);
}

std::string TVarPointModel::GridCell(int col, int row) const {
    if (col < 0 || col >= columnCount()) return {};
    if (row == 0) return columns_[static_cast<std::size_t>(col)].header.toStdString();
    return CellText(col, row).toStdString();
}

TVarChartPoints::TVarChartPoints(QWidget* setupWindow)
    : QMainWindow(setupWindow, Qt::Window), setupWindow_(setupWindow) {
    setObjectName("VarChartPoints");
    setWindowTitle("Variables Chart Points");
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* splitter = new QSplitter(this);
    charts_ = new QListWidget(splitter);
    charts_->setObjectName("ListBox_Charts");
    charts_->setAccessibleName("Charts");
    charts_->setMinimumWidth(140);
    auto* right = new QWidget(splitter);
    model_ = new TVarPointModel(this);
    grid_ = new QTableView(right);
    grid_->setObjectName("StringGrid_Info");
    grid_->setAccessibleName("Point Information");
    grid_->setModel(model_);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setStyleSheet("QTableView::item { padding-left: 5px; padding-right: 5px; }");
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    decimals_ = new QSpinBox(right);
    decimals_->setObjectName("SpinEdit_Decimals");
    decimals_->setRange(0, 9);
    decimals_->setValue(4);
    decimals_->setAccessibleName("Decimals");
    InstallKeyFilter(decimals_, KeyFilterKind::Integer);
    auto* decimalsLabel = new QLabel("&Decimals:", right);
    decimalsLabel->setBuddy(decimals_);
    auto* top = new QHBoxLayout;
    top->addWidget(decimalsLabel);
    top->addWidget(decimals_);
    top->addStretch();
    auto* layout = new QVBoxLayout(right);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 650});
    setCentralWidget(splitter);

    pointCount_ = new QLabel(statusBar());
    pointCount_->setObjectName("Label_PointCount");
    statusBar()->addWidget(pointCount_);

    connect(charts_, &QListWidget::currentRowChanged, this, &TVarChartPoints::ShowChart);
    connect(decimals_, &QSpinBox::valueChanged, this, [this](int d) {
        model_->SetDecimals(d);
        FitColumns();
    });

    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    QAction* copy = file->addAction("&Copy", this, &TVarChartPoints::CopyClick);
    copy->setObjectName("Copy1");
    copy->setShortcut(QKeySequence::Copy);
    QAction* print = file->addAction("&Print Grid...", this, &TVarChartPoints::PrintClick);
    print->setObjectName("PrintGrid1");
    file->addSeparator();
    QAction* ret =
        file->addAction("&Return to Variables Chart Setup Form", this, &TVarChartPoints::ReturnToSetup);
    ret->setObjectName("Return1");

    QToolBar* bar = addToolBar("Tools");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    QAction* back = bar->addAction(CommandIcon(Command::Return), "Return to Variables Chart Setup Form");
    back->setObjectName("ToolButton_Return");
    connect(back, &QAction::triggered, this, &TVarChartPoints::ReturnToSetup);
    QAction* copyTool = bar->addAction(CommandIcon(Command::Copy), "Copy");
    copyTool->setObjectName("ToolButton_Copy");
    connect(copyTool, &QAction::triggered, this, &TVarChartPoints::CopyClick);
    QAction* printTool = bar->addAction(CommandIcon(Command::Print), "Print Grid");
    printTool->setObjectName("ToolButton_Print");
    connect(printTool, &QAction::triggered, this, &TVarChartPoints::PrintClick);

    resize(820, 520);
}

void TVarChartPoints::Reload() {
    const QSignalBlocker block(charts_);
    charts_->clear();
    for (const TChartListEntry& entry : VarChart.ChartList)
        charts_->addItem(QString::fromStdString(entry.Name));
    if (charts_->count() > 0) {
        charts_->setCurrentRow(0);
        ShowChart(0);
    } else {
        ResetVarChart();
        model_->Reload();
        pointCount_->setText("Point Count: 0");
    }
}

void TVarChartPoints::ShowChart(int index) {
    if (index < 0 || index >= static_cast<int>(VarChart.ChartList.size())) return;
    const TChartListEntry entry = VarChart.ChartList[static_cast<std::size_t>(index)];
    {
        BusyCursor busy;
        ComputeChart(entry.Column, entry.Group);
    }
    model_->Reload();
    FitColumns();
    pointCount_->setText("Point Count: " + QString::number(VarChart.Count));
}

bool TVarChartPoints::SelectedBlock(GridSelection& selection) const {
    const QModelIndexList picked = grid_->selectionModel()->selectedIndexes();
    if (picked.isEmpty()) return false;
    int left = picked.front().column(), right = left, top = picked.front().row(), bottom = top;
    for (const QModelIndex& i : picked) {
        left = std::min(left, i.column());
        right = std::max(right, i.column());
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
    }
    // Grid row 0 holds the headers.
    selection = {left, top + 1, right, bottom + 1};
    return true;
}

void TVarChartPoints::CopyClick() {
    // Without a block of cells the whole grid goes, headers included.
    GridSelection selection{0, 0, model_->GridColumnCount() - 1, model_->GridRowCount() - 1};
    GridSelection picked;
    if (SelectedBlock(picked) && HasBlockSelection(picked)) selection = picked;
    CurrentPlatform().SetClipboardText(GridSelectionText(*model_, selection));
}

void TVarChartPoints::PrintClick() {
    GridSelection selection;
    SelectedBlock(selection);
    const QString heading = charts_->currentItem() ? charts_->currentItem()->text() : windowTitle();
    PrintGridDialog(this, *model_, windowTitle(), heading, selection);
}

void TVarChartPoints::FitColumns() {
    // Each column as wide as its widest text, with room to breathe; fewer decimals narrow it.
    grid_->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        grid_->setColumnWidth(c, grid_->columnWidth(c) + 10);
}

void TVarChartPoints::ReturnToSetup() {
    if (!setupWindow_) return;
    if (setupWindow_->isMinimized())
        setupWindow_->showNormal();
    else
        setupWindow_->show();
    setupWindow_->raise();
    setupWindow_->activateWindow();
}

} // namespace kivspc::gui
