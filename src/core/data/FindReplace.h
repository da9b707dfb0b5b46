// SPDX-License-Identifier: GPL-3.0-or-later
// Find and replace in the data table: cells meeting one or two conditions joined by OR, compared
// as numbers (through the numeric cache) or as texts, searched column by column; the found cell
// can be replaced one at a time or every match at once, as one undoable table edit.
#pragma once

#include "data/DataFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kivspc {

// Relations by their place in the window's radio groups.
enum TFindRelation : std::uint8_t {
    kFindNone = 0,
    kFindEqual = 1,
    kFindGreater = 2,
    kFindGreaterEqual = 3,
    kFindLess = 4,
    kFindLessEqual = 5,
};

// The symbol shown beside a condition's value box ("=" for none as well).
const char* FindRelationSymbol(std::uint8_t relation);

struct TFindSettings {
    std::uint8_t Relation1 = kFindEqual;
    std::string Value1 = "0";
    std::uint8_t Relation2 = kFindNone;
    std::string Value2 = "0";
    bool Replace = false;
    bool ReplaceAll = false;
    std::string ReplaceText = "0";
    bool SelectionOnly = false;
};

enum class TFindMode { Find, Replace, ReplaceAll };
TFindMode FindMode(const TFindSettings& s);
// "Find" or "Find and Replace".
std::string FindCaption(const TFindSettings& s);

// The conditions made ready for testing cells. A condition takes part while its relation is not
// "none" and its box is not empty. The search compares texts when a value taking part is no
// number (a character that cannot occur in one, or a text such as "1-2" that still is none);
// otherwise it compares numbers.
struct TFindConditions {
    bool Text = false;
    std::uint8_t Relation[2] = {kFindNone, kFindNone};
    double Number[2] = {0, 0};
    std::string Value[2];

    // No condition takes part: there is nothing to look for.
    bool Empty() const { return Relation[0] == kFindNone && Relation[1] == kFindNone; }
    // The cell meets a condition. Empty cells, and cells holding no number in a numeric
    // search, never do.
    bool Matches(int col, int row) const;
};
TFindConditions MakeFindConditions(const TFindSettings& s);

struct TFindCell {
    int Column = 0;
    int Row = 0;
    bool operator==(const TFindCell&) const = default;
};

// The first matching cell of the range, column by column, after the start cell (or from it,
// with includeStart). The numeric cache must be current.
std::optional<TFindCell> FindNextCell(const TFindConditions& c, const CellRange& range, TFindCell start,
                                      bool includeStart);

// The grid as the action finds it.
struct TFindGrid {
    TFindCell Current{1, 1};
    // The grid's selection; a block when it covers more than one cell.
    CellRange Selection{1, 1, 1, 1};
    // The cell the previous action of the window made current, and whether it replaced it
    // (zero when none): a search continues after it rather than finding it again.
    TFindCell LastHit;
    bool LastHitReplaced = false;
};

struct TFindResult {
    // The cell that becomes current: the found or the last replaced cell.
    std::optional<TFindCell> Cell;
    int Replaced = 0;
};

// The window's action: find, replace or replace all as the settings say. Shows "Enter a value to
// find." when no condition has a value and "<caption> Not Found" when nothing was found (or, for
// replace all, nothing replaced); the table is then unchanged. Replacements go through one table
// edit labelled "Replace" or "Replace All", which the data editor can undo in one step.
TFindResult RunFind(const TFindSettings& s, const TFindGrid& grid);

} // namespace kivspc
