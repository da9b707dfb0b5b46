// SPDX-License-Identifier: GPL-3.0-or-later
// Compact text storage for one column of the data table. A cell is one 64-bit word: texts of
// up to seven bytes live inside the word itself, longer ones in a shared byte heap of the
// column. Millions of short numbers therefore cost eight bytes a cell and no allocation.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kivspc {

class CellColumn {
public:
    std::size_t Size() const { return cells_.size(); }
    // The text of a cell; valid until the column is changed.
    std::string_view Get(std::size_t row) const;
    void Set(std::size_t row, std::string_view text) {
        // Appending short texts is what loading does for every cell: keep that path inline.
        if (row == cells_.size() && text.size() <= kInlineMax) {
            cells_.push_back(Pack(text));
            return;
        }
        SetSlow(row, text);
    }
    void Resize(std::size_t rows);
    void Reserve(std::size_t rows);
    void Insert(std::size_t row, std::size_t count);
    void Erase(std::size_t row, std::size_t count);
    void Clear();
    // Bytes held by this column (cell words and heap).
    std::size_t MemoryBytes() const;

private:
    void SetSlow(std::size_t row, std::string_view text);
    // A text of up to seven bytes as an inline cell word.
    static std::uint64_t Pack(std::string_view text) {
        std::uint64_t cell = 0;
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        switch (text.size()) {
        case 7: cell |= std::uint64_t{p[6]} << 48; [[fallthrough]];
        case 6: cell |= std::uint64_t{p[5]} << 40; [[fallthrough]];
        case 5: cell |= std::uint64_t{p[4]} << 32; [[fallthrough]];
        case 4: cell |= std::uint64_t{p[3]} << 24; [[fallthrough]];
        case 3: cell |= std::uint64_t{p[2]} << 16; [[fallthrough]];
        case 2: cell |= std::uint64_t{p[1]} << 8; [[fallthrough]];
        case 1: cell |= std::uint64_t{p[0]}; break;
        default: break;
        }
        return cell | static_cast<std::uint64_t>(text.size()) << 56;
    }

    static constexpr std::uint64_t kHeapFlag = std::uint64_t{1} << 63;
    static constexpr unsigned kInlineMax = 7;

    void Release(std::uint64_t cell);
    void CompactIfWasteful();

    std::vector<std::uint64_t> cells_;
    std::vector<char> heap_;
    std::size_t garbage_ = 0;
};

} // namespace kivspc
