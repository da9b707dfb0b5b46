// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of the table with positions from the input, some of them outside the table: every edit
// is either refused with the table untouched, or undone to the very same table and redone to the
// same result. Pastes of text from the input take part as well.
// Input: scripted answers, the table (see BuildTable), then steps of a kind byte and its values.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/DataU.h"
#include "data/GridPaste.h"
#include "data/TableEdit.h"

namespace kivspc::fuzz {

namespace {

std::vector<std::string> Snapshot() {
    const TDataTable& t = DataTable();
    std::vector<std::string> s{std::to_string(t.ColumnCount()), std::to_string(t.RowCount())};
    for (int c = 1; c <= t.ColumnCount(); ++c) {
        s.push_back(t.ColumnName(c));
        for (int d = 1; d <= 4; ++d)
            s.push_back(t.Description(c, d));
        for (int r = 1; r <= t.RowCount(); ++r)
            s.emplace_back(t.Cell(c, r));
    }
    return s;
}

int Position(FuzzInput& in, int size) { return static_cast<int>(in.IntIn(-1, size + 2)); }

TTableEdit AnyEdit(FuzzInput& in) {
    const TDataTable& t = DataTable();
    const int cols = t.ColumnCount();
    const int rows = t.RowCount();
    switch (in.IntIn(0, 8)) {
    case 0: {
        std::vector<std::vector<std::string>> block(static_cast<std::size_t>(in.IntIn(0, 4)));
        for (auto& row : block)
            for (int j = static_cast<int>(in.IntIn(0, 4)); j > 0; --j)
                row.push_back(CellText(in));
        return TTableEdit::Cells(Position(in, cols), Position(in, rows), block);
    }
    case 1: {
        CellRange r{Position(in, cols), Position(in, cols), Position(in, rows), Position(in, rows)};
        return edits::Fill{r, in.Bool() ? std::string() : CellText(in)};
    }
    case 2: return edits::InsertRows{Position(in, rows), static_cast<int>(in.IntIn(0, 5)), {}};
    case 3: return edits::DeleteRows{Position(in, rows), static_cast<int>(in.IntIn(0, 5))};
    case 4: return edits::InsertColumns{Position(in, cols), static_cast<int>(in.IntIn(0, 3)), {}};
    case 5: return edits::DeleteColumns{Position(in, cols), static_cast<int>(in.IntIn(0, 3))};
    case 6: return TTableEdit::Rename(Position(in, cols), CellText(in));
    case 7:
        return TTableEdit::Description(Position(in, cols), static_cast<int>(in.IntIn(1, 4)), CellText(in));
    default: return in.Bool() ? TTableEdit(edits::Transpose{}) : TTableEdit::InsertCaseNumbers();
    }
}

} // namespace

int FuzzTableEdits(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    BuildTable(in);
    TTableEdit inverse;
    bool applied = false;
    OnTableEdited = [&](const TEditEffect&, TTableEdit&& undo, std::string_view) {
        inverse = std::move(undo);
        applied = true;
    };
    for (int step = 0; step < 12 && !in.Empty(); ++step) {
        const std::vector<std::string> before = Snapshot();
        applied = false;
        if (in.IntIn(0, 4) == 0) {
            std::string text;
            for (int n = static_cast<int>(in.IntIn(0, 40)); n > 0; --n) {
                const std::uint8_t b = in.Byte();
                text += b < 40 ? '\t' : b < 60 ? '\n' : b < 70 ? ',' : b < 80 ? ' ' : static_cast<char>(b);
            }
            const TDataTable& t = DataTable();
            const int c0 = 1 + static_cast<int>(in.IntIn(0, t.ColumnCount() - 1));
            const int c1 = c0 + static_cast<int>(in.IntIn(0, t.ColumnCount() - c0));
            const int r0 = 1 + static_cast<int>(in.IntIn(0, t.RowCount() - 1));
            const int r1 = r0 + static_cast<int>(in.IntIn(0, t.RowCount() - r0));
            const CellRange s{c0, c1, r0, r1};
            if (in.Bool())
                PasteIntoDataGrid(text, s);
            else
                PasteIntoSelection(text, s);
        } else {
            ApplyTableEdit(AnyEdit(in), "Edit");
        }
        if (!applied) {
            Check(Snapshot() == before, "a refused edit left the table as it was");
            continue;
        }
        const std::vector<std::string> after = Snapshot();
        TTableEdit redo = inverse.Apply();
        Check(Snapshot() == before, "undo restores the table cell by cell");
        redo.Apply();
        Check(Snapshot() == after, "redo gives the edited table again");
        Check(DataTable().ColumnCount() >= 1 && DataTable().ColumnCount() <= kMaxColumns,
              "columns within 1..512");
    }
    OnTableEdited = nullptr;
    return 0;
}

} // namespace kivspc::fuzz
