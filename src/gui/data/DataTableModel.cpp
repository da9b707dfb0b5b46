// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataTableModel.h"

#include "app/QtPlatform.h"
#include "data/DataList.h"
#include "data/Missu.h"
#include "data/Procif.h"

#include <QBrush>
#include <QColor>

namespace kivspc::gui {

namespace {

const char* const kDescriptionCaptions[] = {"Title:", "USL:", "Target:", "LSL:"};

bool CacheCurrent(int col, int row) {
    return !ValuesStale && static_cast<std::size_t>(col) < Values.size() &&
           static_cast<std::size_t>(row) < Values[static_cast<std::size_t>(col)].size();
}

} // namespace

int TDataTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int TDataTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant TDataTableModel::data(const QModelIndex& index, int role) const {
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        const std::string_view text = DataTable().Cell(col, row);
        if (ShowLevels && !text.empty() && DataList.IsText[static_cast<std::size_t>(col)] &&
            CacheCurrent(col, row))
            return ToQt(std::string(text)) +
                   QStringLiteral("[%1]").arg(
                       Values[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)]);
        return ToQt(std::string(text));
    }
    case Qt::EditRole: return ToQt(std::string(DataTable().Cell(col, row)));
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole: {
        // Painting reads the filters and the cache; it never changes data.
        if (ProcessIfOn && !ValuesStale && !IsRowSelected(row)) return QBrush(Qt::cyan);
        if (!DataTable().Cell(col, row).empty()) {
            if (DataList.IsText[static_cast<std::size_t>(col)] && !ValuesStale) return QBrush(Qt::yellow);
            if (MissingRec.MissingOn && CacheCurrent(col, row) &&
                !IsValidValue(Values[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)]))
                return QBrush(QColor(Qt::blue).lighter(170));
        }
        return {};
    }
    case Qt::ForegroundRole:
        if (DataList.IsText[static_cast<std::size_t>(col)] && !ValuesStale) return QBrush(Qt::black);
        return {};
    default: return {};
    }
}

QVariant TDataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole || role == Qt::EditRole) return ToQt(DataTable().ColumnName(section + 1));
        return {};
    }
    if (role == Qt::DisplayRole) return section + 1;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TDataTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool TDataTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const std::string text = FromQt(value.toString());
    if (text == DataTable().Cell(index.column() + 1, index.row() + 1)) return false;
    return ApplyTableEdit(TTableEdit::Cell(index.column() + 1, index.row() + 1, text), "Typing");
}

void TDataTableModel::Refresh(const TEditEffect& effect) {
    const TDataTable& t = DataTable();
    if (effect.Structure || t.RowCount() != rows_ || t.ColumnCount() != columns_) {
        Reload();
        return;
    }
    if (effect.Headers) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    if (effect.Cells.FirstColumn > 0 && rows_ > 0)
        emit dataChanged(index(std::max(effect.Cells.FirstRow, 1) - 1, effect.Cells.FirstColumn - 1),
                         index(std::min(effect.Cells.LastRow, rows_) - 1,
                               std::min(effect.Cells.LastColumn, columns_) - 1));
}

void TDataTableModel::Reload() {
    beginResetModel();
    rows_ = DataTable().RowCount();
    columns_ = DataTable().ColumnCount();
    endResetModel();
}

int TDescTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }
int TDescTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant TDescTableModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return ToQt(DataTable().Description(index.column() + 1, index.row() + 1));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TDescTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return ToQt(DataTable().ColumnName(section + 1));
    return section >= 0 && section < 4 ? QString(kDescriptionCaptions[section]) : QString();
}

Qt::ItemFlags TDescTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool TDescTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const std::string text = FromQt(value.toString());
    if (text == DataTable().Description(index.column() + 1, index.row() + 1)) return false;
    return ApplyTableEdit(TTableEdit::Description(index.column() + 1, index.row() + 1, text), "Typing");
}

void TDescTableModel::Refresh(const TEditEffect& effect) {
    if (effect.Structure || DataTable().ColumnCount() != columns_) {
        Reload();
        return;
    }
    if (effect.Headers) {
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
        emit dataChanged(index(0, 0), index(3, columns_ - 1));
    }
}

void TDescTableModel::Reload() {
    beginResetModel();
    columns_ = DataTable().ColumnCount();
    endResetModel();
}

} // namespace kivspc::gui
