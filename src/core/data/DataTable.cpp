// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataTable.h"

#include "app/TextTools.h"

#include <algorithm>

namespace kivspc {

namespace {
const std::string kEmpty;
}

TDataTable::TDataTable() { Reset(); }

TDataTable::Column TDataTable::MakeColumn(int number) {
    Column c;
    c.name = "Col" + std::to_string(number);
    return c;
}

std::string_view TDataTable::Cell(int col, int row) const {
    if (!Inside(col) || row < 1 || row > rows_) return {};
    return columns_[static_cast<std::size_t>(col - 1)].cells.Get(static_cast<std::size_t>(row - 1));
}

const std::string& TDataTable::ColumnName(int col) const {
    return Inside(col) ? columns_[static_cast<std::size_t>(col - 1)].name : kEmpty;
}

void TDataTable::SetColumnName(int col, std::string name) {
    if (Inside(col)) columns_[static_cast<std::size_t>(col - 1)].name = std::move(name);
}

const std::string& TDataTable::Description(int col, int descRow) const {
    if (!Inside(col) || descRow < 1 || descRow > 4) return kEmpty;
    return columns_[static_cast<std::size_t>(col - 1)].descriptions[descRow - 1];
}

void TDataTable::SetDescription(int col, int descRow, std::string text) {
    if (Inside(col) && descRow >= 1 && descRow <= 4)
        columns_[static_cast<std::size_t>(col - 1)].descriptions[descRow - 1] = std::move(text);
}

void TDataTable::SetColumnCount(int n) {
    n = std::clamp(n, 1, kMaxColumns);
    while (ColumnCount() > n)
        columns_.pop_back();
    while (ColumnCount() < n)
        columns_.push_back(MakeColumn(ColumnCount() + 1));
}

void TDataTable::SetRowCount(int n) {
    rows_ = std::max(n, 0);
    for (Column& c : columns_)
        if (c.cells.Size() > static_cast<std::size_t>(rows_)) c.cells.Resize(static_cast<std::size_t>(rows_));
}

void TDataTable::ReserveRows(int n) {
    for (Column& c : columns_)
        c.cells.Reserve(static_cast<std::size_t>(std::max(n, 0)));
}

void TDataTable::InsertRows(int before, int count) {
    if (count <= 0) return;
    before = std::clamp(before, 1, rows_ + 1);
    for (Column& c : columns_)
        if (c.cells.Size() >= static_cast<std::size_t>(before))
            c.cells.Insert(static_cast<std::size_t>(before - 1), static_cast<std::size_t>(count));
    rows_ += count;
}

void TDataTable::DeleteRows(int first, int count) {
    if (first < 1 || first > rows_ || count <= 0) return;
    count = std::min(count, rows_ - first + 1);
    for (Column& c : columns_)
        c.cells.Erase(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(count));
    rows_ -= count;
}

void TDataTable::InsertColumns(int before, int count) {
    count = std::min(count, kMaxColumns - ColumnCount());
    if (count <= 0) return;
    before = std::clamp(before, 1, ColumnCount() + 1);
    std::vector<Column> added;
    for (int i = 0; i < count; ++i)
        added.push_back(MakeColumn(before + i));
    columns_.insert(columns_.begin() + (before - 1), std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
}

void TDataTable::DeleteColumns(int first, int count) {
    if (!Inside(first) || count <= 0) return;
    count = std::min(count, ColumnCount() - first + 1);
    columns_.erase(columns_.begin() + (first - 1), columns_.begin() + (first - 1 + count));
    if (columns_.empty()) columns_.push_back(MakeColumn(1));
}

std::vector<TTableColumn> TDataTable::TakeColumns(int first, int count) {
    std::vector<TTableColumn> taken;
    if (!Inside(first) || count <= 0) return taken;
    count = std::min(count, ColumnCount() - first + 1);
    if (count == ColumnCount()) --count;
    auto begin = columns_.begin() + (first - 1);
    taken.assign(std::make_move_iterator(begin), std::make_move_iterator(begin + count));
    columns_.erase(begin, begin + count);
    return taken;
}

void TDataTable::PutColumns(int before, std::vector<TTableColumn>&& columns) {
    const auto room = static_cast<std::size_t>(kMaxColumns - ColumnCount());
    if (columns.size() > room) columns.resize(room);
    before = std::clamp(before, 1, ColumnCount() + 1);
    for (TTableColumn& c : columns)
        if (c.cells.Size() > static_cast<std::size_t>(rows_)) c.cells.Resize(static_cast<std::size_t>(rows_));
    columns_.insert(columns_.begin() + (before - 1), std::make_move_iterator(columns.begin()),
                    std::make_move_iterator(columns.end()));
}

void TDataTable::Reset() {
    columns_.clear();
    columns_.shrink_to_fit();
    columns_.push_back(MakeColumn(1));
    rows_ = 1;
    FileName.clear();
    Modified = false;
}

std::size_t TDataTable::MemoryBytes() const {
    std::size_t bytes = columns_.capacity() * sizeof(Column);
    for (const Column& c : columns_)
        bytes += c.cells.MemoryBytes();
    return bytes;
}

TDataTable& DataTable() {
    static TDataTable table;
    return table;
}

} // namespace kivspc
