// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartPoints.h"

#include "app/CommandIcons.h"
#include "app/GridPrinting.h"
#include "app/KeyFilterInstaller.h"
#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "charts/CCPointInfo.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"

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

QString ChartName(TChartKind chart) { return QString::fromUtf8(ChartKindName(chart)); }

// The columns of one chart (location or dispersion): the statistic, its limits and its codes.
void AddChartColumns(std::vector<TPointColumn>& columns, TChartKind chart, int method, int slot,
                     const QString& tag) {
    using Kind = TPointColumn::Kind;
    if (chart == kChartNone) return;
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
    if (s.LocationChart != kChartX) columns.push_back({Kind::Count, "n", kRowN, 0});
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
    // The labels the chart's axis shows, not the data rows behind them.
    if (c.kind == TPointColumn::Kind::Labels) return QString::fromStdString(ChartPointLabel(point));
    const double x = Value(c, point);
    return NotMissing(x) ? QString::fromStdString(FormatTrimmedFinite(x)) : QString();
}

QVariant TVarPointModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int point = index.row() + 1;
    const TPointColumn& c = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        if (!Decimated(c)) return CellText(index.column(), point);
        const double x = Value(c, point);
        return NotMissing(x) ? QString::fromStdString(FormatFixedFinite(decimals_, x)) : QString();
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

} // namespace kivspc::gui
