// SPDX-License-Identifier: GPL-3.0-or-later
// The data table seen by the editor's grids: a virtual view that reads the core table for every
// cell it shows and changes it only through table edits, so the grids hold no copy of the data.
#pragma once

#include "data/TableEdit.h"

#include <QAbstractTableModel>

namespace kivspc::gui {

// The "Data" page: names as column headers, case numbers as row headers.
class TDataTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Shows what an edit changed.
    void Refresh(const TEditEffect& effect);
    // Everything may have changed (a new table, a load, a dialog).
    void Reload();

    // Text cells show their level after the text ("View Text Variable Levels").
    bool ShowLevels = true;

private:
    int rows_ = 0;
    int columns_ = 0;
};

// The "Descriptions" page: four rows (Title, USL, Target, LSL) of every column.
class TDescTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void Refresh(const TEditEffect& effect);
    void Reload();

private:
    int columns_ = 0;
};

} // namespace kivspc::gui
