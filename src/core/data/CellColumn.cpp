// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/CellColumn.h"

#include "data/MemoryAdvice.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

namespace kivspc {

static_assert(std::endian::native == std::endian::little, "inline cells assume a little-endian machine");

// Inline cell: bytes 0..6 hold the text, byte 7 its length (0..7, top bit clear).
// Heap cell: top bit set, the low 63 bits the offset of a 4-byte length and the text.

void CellColumn::Reserve(std::size_t rows) {
    if (rows <= cells_.capacity()) return;
    cells_.reserve(rows);
    AdviseHugePages(cells_.data(), cells_.capacity() * sizeof(std::uint64_t));
}

std::string_view CellColumn::Get(std::size_t row) const {
    if (row >= cells_.size()) return {};
    const std::uint64_t& cell = cells_[row];
    if (!(cell & kHeapFlag)) {
        auto len = static_cast<std::size_t>(cell >> 56);
        return {reinterpret_cast<const char*>(&cell), len};
    }
    std::size_t offset = static_cast<std::size_t>(cell & ~kHeapFlag);
    std::uint32_t len = 0;
    std::memcpy(&len, heap_.data() + offset, sizeof len);
    return {heap_.data() + offset + sizeof len, len};
}

void CellColumn::Release(std::uint64_t cell) {
    if (!(cell & kHeapFlag)) return;
    std::size_t offset = static_cast<std::size_t>(cell & ~kHeapFlag);
    std::uint32_t len = 0;
    std::memcpy(&len, heap_.data() + offset, sizeof len);
    garbage_ += sizeof len + len;
}

void CellColumn::SetSlow(std::size_t row, std::string_view text) {
    // The text may come from this very column (a cell copied to another row), so it is read
    // before the cell words or the heap can move.
    if (text.size() <= kInlineMax) {
        std::uint64_t cell = 0;
        if (!text.empty()) std::memcpy(&cell, text.data(), text.size());
        cell |= static_cast<std::uint64_t>(text.size()) << 56;
        // Appending is what loading does for every cell: keep that path short.
        if (row == cells_.size()) {
            cells_.push_back(cell);
            return;
        }
        if (row > cells_.size()) cells_.resize(row + 1, 0);
        Release(cells_[row]);
        cells_[row] = cell;
    } else {
        // A cell holds at most 4 GiB; nothing a user types or loads comes near it.
        auto len = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX));
        const char* heapBegin = heap_.data();
        bool fromHeap = std::less_equal<const char*>{}(heapBegin, text.data()) &&
                        std::less<const char*>{}(text.data(), heapBegin + heap_.size());
        std::size_t sourceOffset = fromHeap ? static_cast<std::size_t>(text.data() - heapBegin) : 0;
        if (row >= cells_.size()) cells_.resize(row + 1, 0);
        Release(cells_[row]);
        std::size_t offset = heap_.size();
        heap_.resize(offset + sizeof len + len);
        const char* source = fromHeap ? heap_.data() + sourceOffset : text.data();
        std::memcpy(heap_.data() + offset, &len, sizeof len);
        std::memcpy(heap_.data() + offset + sizeof len, source, len);
        cells_[row] = kHeapFlag | offset;
    }
    CompactIfWasteful();
}

void CellColumn::Resize(std::size_t rows) {
    for (std::size_t r = rows; r < cells_.size(); ++r)
        Release(cells_[r]);
    cells_.resize(rows, 0);
    CompactIfWasteful();
}

void CellColumn::Insert(std::size_t row, std::size_t count) {
    if (row > cells_.size()) row = cells_.size();
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(row), count, 0);
}

void CellColumn::Erase(std::size_t row, std::size_t count) {
    if (row >= cells_.size()) return;
    count = std::min(count, cells_.size() - row);
    for (std::size_t r = row; r < row + count; ++r)
        Release(cells_[r]);
    auto first = cells_.begin() + static_cast<std::ptrdiff_t>(row);
    cells_.erase(first, first + static_cast<std::ptrdiff_t>(count));
    CompactIfWasteful();
}

void CellColumn::Clear() {
    cells_.clear();
    cells_.shrink_to_fit();
    heap_.clear();
    heap_.shrink_to_fit();
    garbage_ = 0;
}

std::size_t CellColumn::MemoryBytes() const {
    return cells_.capacity() * sizeof(std::uint64_t) + heap_.capacity();
}

void CellColumn::CompactIfWasteful() {
    // Rewritten cells leave their old text behind; rebuild the heap once half of it is dead.
    if (garbage_ < 4096 || garbage_ * 2 < heap_.size()) return;
    std::vector<char> fresh;
    fresh.reserve(heap_.size() - garbage_);
    for (std::uint64_t& cell : cells_) {
        if (!(cell & kHeapFlag)) continue;
        std::size_t offset = static_cast<std::size_t>(cell & ~kHeapFlag);
        std::uint32_t len = 0;
        std::memcpy(&len, heap_.data() + offset, sizeof len);
        std::size_t newOffset = fresh.size();
        fresh.insert(fresh.end(), heap_.begin() + static_cast<std::ptrdiff_t>(offset),
                     heap_.begin() + static_cast<std::ptrdiff_t>(offset + sizeof len + len));
        cell = kHeapFlag | newOffset;
    }
    heap_ = std::move(fresh);
    garbage_ = 0;
}

} // namespace kivspc
