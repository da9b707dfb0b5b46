// SPDX-License-Identifier: GPL-3.0-or-later
// The point grid of the chart information window: every point's statistics, limits and control
// codes of the current chart, straight from its point table.
#pragma once

#include "data/GridModule.h"

#include <QAbstractTableModel>
#include <QMainWindow>

#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QSpinBox;
class QTableView;

namespace kivspc::gui {

// One column of the point grid: where its values come from.
struct TPointColumn {
    enum class Kind { Point, Labels, Set, Count, Statistic, Codes, Sigma };
    Kind kind = Kind::Point;
    QString header;
    int row = 0;  // row of the point table (values)
    int slot = 0; // 0 location, 1 dispersion (statistics and codes)
};

// The columns the grid shows for the current settings.
std::vector<TPointColumn> PointGridColumns();

// The points of the current chart as a table: row r is point r + 1, straight from the chart's
// point table.
class TVarPointModel : public QAbstractTableModel, public TextGrid {
public:
    explicit TVarPointModel(QObject* parent);

    // Takes the columns of the current settings and the points of the current chart.
    void Reload();
    void SetDecimals(int decimals);
    int Decimals() const { return decimals_; }
    const std::vector<TPointColumn>& Columns() const { return columns_; }

    // The cell as written: the value trimmed of needless digits, empty when missing.
    QString CellText(int column, int point) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The grid for copying and printing: row 0 the headers, column 0 the point numbers.
    int GridColumnCount() const override { return static_cast<int>(columns_.size()); }
    int GridRowCount() const override { return rowCount() + 1; }
    std::string GridCell(int col, int row) const override;

private:
    double Value(const TPointColumn& column, int point) const;
    bool Decimated(const TPointColumn& column) const;

    std::vector<TPointColumn> columns_;
    int points_ = 0;
    int decimals_ = 4;
};

} // namespace kivspc::gui
