// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/DataEditor.h"

#include "app/TextTools.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <algorithm>
#include <cctype>

namespace kivspc {

namespace {

bool Filled(int col, int row) { return !DataTable().Cell(col, row).empty(); }

} // namespace

CellPosition JumpTarget(CellPosition from, JumpDirection direction) {
    const TDataTable& t = DataTable();
    const int dc = direction == JumpDirection::Left ? -1 : direction == JumpDirection::Right ? 1 : 0;
    const int dr = direction == JumpDirection::Up ? -1 : direction == JumpDirection::Down ? 1 : 0;
    auto inside = [&](CellPosition p) {
        return p.Column >= 1 && p.Column <= t.ColumnCount() && p.Row >= 1 && p.Row <= t.RowCount();
    };
    auto step = [&](CellPosition p) { return CellPosition{p.Column + dc, p.Row + dr}; };
    CellPosition at = from;
    CellPosition next = step(at);
    if (!inside(next)) return at;
    if (Filled(at.Column, at.Row) && Filled(next.Column, next.Row)) {
        // Along the run to its last filled cell.
        while (inside(next) && Filled(next.Column, next.Row)) {
            at = next;
            next = step(at);
        }
        return at;
    }
    // Over the gap to the next filled cell, or to the edge.
    at = next;
    while (!Filled(at.Column, at.Row)) {
        next = step(at);
        if (!inside(next)) return at;
        at = next;
    }
    return at;
}

edits::Sequence DefaultNameCorrections() {
    edits::Sequence fixes;
    const TDataTable& t = DataTable();
    for (int c = 1; c <= t.ColumnCount(); ++c) {
        const std::string& name = t.ColumnName(c);
        const std::string wanted = "Col" + std::to_string(c);
        bool fix = name.empty();
        if (name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
            std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
            std::toupper(static_cast<unsigned char>(name[2])) == 'L') {
            const std::string_view digits = std::string_view(name).substr(3);
            fix = std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; }) &&
                  name != wanted && digits != std::to_string(c);
        }
        if (fix) fixes.Steps.push_back(TTableEdit::Rename(c, wanted));
    }
    return fixes;
}

std::string ColumnNameProblem(std::string_view name, const std::string& current) {
    if (name.empty() || name.find_first_not_of(" \t") != std::string_view::npos) return {};
    return "A column name cannot be blanks only.\r\nThe column keeps its name " + current + ".";
}

std::string DataFormCaption() {
    const TDataTable& t = DataTable();
    if (t.FileName.empty()) return "Data";
    return "Data - " + t.FileName + (t.Modified ? "  (modified)" : "");
}

std::string StatusCellText(int col, int row) {
    return "Col = " + std::to_string(col) + ",  Row = " + std::to_string(row);
}

std::string StatusMissingText() {
    if (!MissingRec.MissingOn) return "Missing Off";
    std::string text = "Missing: " + MissingText1;
    if (!MissingText2.empty()) text += (MissingText1.empty() ? "" : ", ") + MissingText2;
    return text;
}

std::string StatusTransformText() {
    return TransformRec.Kind == kTransformNone ? "Transform Off" : "Transform: " + TransformText();
}

std::string StatusProcessIfText() {
    if (!ProcessIfOn) return "Process If Off";
    std::string text = "Process If: " + ConditionText1;
    if (!ConditionText2.empty())
        text += (ConditionText1.empty() ? "" : ProcessIfRec.OrJoin ? " or " : " and ") + ConditionText2;
    return text;
}

std::string StatusSizeText() {
    return "Cols = " + std::to_string(DataTable().ColumnCount()) +
           ",  Rows = " + std::to_string(DataTable().RowCount());
}

std::string StatusHint() {
    std::string hint = "Status Bar";
    if (MissingRec.MissingOn) {
        for (const std::string* m : {&MissingText1, &MissingText2})
            if (!m->empty()) hint += "\r\n  Missing When: " + *m;
    }
    if (ProcessIfOn) {
        for (const std::string* c : {&ConditionText1, &ConditionText2})
            if (!c->empty()) hint += "\r\n  Process If: " + *c;
    }
    if (TransformRec.Kind != kTransformNone) hint += "\r\n  Transform: " + TransformText();
    return hint + "\r\n" + StatusSizeText();
}

bool HasData() { return DataTable().ColumnCount() != 1 || DataTable().RowCount() != 1; }

} // namespace kivspc
