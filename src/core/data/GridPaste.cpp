// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/GridPaste.h"

#include "app/Messages.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/TableEdit.h"

#include <algorithm>
#include <functional>

namespace kivspc {

namespace {

constexpr const char* kTooManyColumns = "Maximum Number of Columns Exceeded.";
// Grid columns: the data columns and the case-number column.
constexpr int kGridColumnLimit = kMaxColumns + 1;

// The clipboard text split once: every field of every line as a view into the text.
struct ClipText {
    std::vector<std::string_view> fields;
    // Line i holds fields[start[i] .. start[i + 1]).
    std::vector<std::size_t> start{0};

    int Lines() const { return static_cast<int>(start.size()) - 1; }
    int Width(int line) const { return static_cast<int>(start[line + 1] - start[line]); }
    std::string_view Field(int line, int j) const {
        return j < Width(line) ? fields[start[line] + static_cast<std::size_t>(j)] : std::string_view();
    }
    int MaxWidth() const {
        int w = 0;
        for (int i = 0; i < Lines(); ++i)
            w = std::max(w, Width(i));
        return w;
    }
};

// Lines end with CR LF, LF or CR; a final line break does not start an empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        begin = end + 1;
    }
    return lines;
}

void AddDataLines(ClipText& clip, const std::vector<std::string_view>& lines, std::size_t first) {
    std::vector<std::string_view> fields;
    clip.fields.reserve(clip.fields.size() + (lines.size() - first) * 4);
    for (std::size_t i = first; i < lines.size(); ++i) {
        SplitDataLine(lines[i], fields);
        clip.fields.insert(clip.fields.end(), fields.begin(), fields.end());
        clip.start.push_back(clip.fields.size());
    }
}

enum class Shape { Single, Row, Column, Block };

Shape ClipShape(const ClipText& clip) {
    if (clip.Lines() <= 1) return clip.Width(0) <= 1 ? Shape::Single : Shape::Row;
    for (int i = 0; i < clip.Lines(); ++i)
        if (clip.Width(i) > 1) return Shape::Block;
    return Shape::Column;
}

Shape SelectionShape(const CellRange& s) {
    const bool oneColumn = s.FirstColumn == s.LastColumn;
    const bool oneRow = s.FirstRow == s.LastRow;
    if (oneColumn && oneRow) return Shape::Single;
    if (oneRow) return Shape::Row;
    if (oneColumn) return Shape::Column;
    return Shape::Block;
}

// Where the clipboard's cells go: the cell of (row, column) offset from the selection's corner.
struct Placement {
    int rows = 0;
    int columns = 0;
    // The clipboard cell for a target cell, or false when the target keeps its text.
    std::function<bool(int i, int j, std::string_view& text)> cell;
};

Placement Place(const ClipText& clip, const CellRange& s) {
    // A paste of nothing but a names line.
    if (clip.Lines() == 0) return {0, 0, [](int, int, std::string_view&) { return false; }};
    const Shape from = ClipShape(clip);
    const Shape to = SelectionShape(s);
    const int selRows = s.LastRow - s.FirstRow + 1;
    const int selColumns = s.LastColumn - s.FirstColumn + 1;
    if (from == Shape::Single && to != Shape::Single) {
        // One value fills every selected cell.
        return {selRows, selColumns, [&clip](int, int, std::string_view& t) {
                    t = clip.Field(0, 0);
                    return true;
                }};
    }
    if (from == Shape::Row && (to == Shape::Column || to == Shape::Block)) {
        return {selRows, clip.Width(0), [&clip](int, int j, std::string_view& t) {
                    t = clip.Field(0, j);
                    return true;
                }};
    }
    if (from == Shape::Column && (to == Shape::Row || to == Shape::Block)) {
        return {clip.Lines(), selColumns, [&clip](int i, int, std::string_view& t) {
                    t = clip.Field(i, 0);
                    return true;
                }};
    }
    // Same shapes, a single target cell or a block of text: the text as it stands, from the corner.
    return {clip.Lines(), clip.MaxWidth(), [&clip](int i, int j, std::string_view& t) {
                if (j >= clip.Width(i)) return false;
                t = clip.Field(i, j);
                return true;
            }};
}

bool NamesQuestionApplies(std::string_view line) {
    if (line.empty() || !HasNonNumericChar(line)) return false;
    std::vector<std::string> fields;
    SplitHeaderLine(line, fields);
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return HasNonNumericChar(f); });
}

// The names a first line gives: runs of blanks collapsed, the rest of them made "_", then split
// as a data line (so "Mean value" names one column Mean_value).
std::vector<std::string> NamesFromLine(std::string_view line) {
    std::string joined = CollapseBlanks(line);
    std::replace(joined.begin(), joined.end(), ' ', '_');
    std::vector<std::string_view> fields;
    SplitDataLine(joined, fields);
    return {fields.begin(), fields.end()};
}

// The edits that grow the table to `columns` x `rows` (nothing when it is large enough).
void Grow(edits::Sequence& steps, int columns, int rows, PasteOutcome& outcome) {
    const TDataTable& t = DataTable();
    if (rows > t.RowCount())
        steps.Steps.push_back(edits::InsertRows{t.RowCount() + 1, rows - t.RowCount(), {}});
    if (columns > t.ColumnCount()) {
        steps.Steps.push_back(edits::InsertColumns{t.ColumnCount() + 1, columns - t.ColumnCount(), {}});
        outcome.ColumnsGrew = true;
    }
}

// Whether the table may grow to reach `lastColumn` (the grid limit counts the case-number column).
bool ColumnsFit(int firstColumn, int width) {
    const int needed = firstColumn + width - 1;
    if (needed <= DataTable().ColumnCount()) return true;
    return firstColumn + width < kGridColumnLimit;
}

} // namespace

PasteOutcome PasteIntoDataGrid(std::string_view text, const CellRange& selection) {
    PasteOutcome outcome;
    if (text.empty()) {
        ShowInformation("There is no text on the Clipboard");
        return outcome;
    }
    BusyCursor busy;
    const std::vector<std::string_view> lines = SplitLines(text);
    std::size_t firstData = 0;
    std::vector<std::string> names;
    if (!lines.empty() && NamesQuestionApplies(lines[0]) &&
        AskYesNo("Want to use text from first row as Variable Names?")) {
        names = NamesFromLine(lines[0]);
        if (!ColumnsFit(selection.FirstColumn, static_cast<int>(names.size()))) {
            ShowError(kTooManyColumns);
            return outcome;
        }
        firstData = 1;
    }
    ClipText clip;
    AddDataLines(clip, lines, firstData);
    const Placement place = Place(clip, selection);
    // Every line is judged before anything changes: a refused paste leaves the table untouched.
    if (!ColumnsFit(selection.FirstColumn, place.columns)) {
        ShowError(kTooManyColumns);
        return outcome;
    }

    edits::Sequence steps;
    const int lastColumn =
        selection.FirstColumn + std::max(place.columns, static_cast<int>(names.size())) - 1;
    const int lastRow = selection.FirstRow + place.rows - 1;
    Grow(steps, lastColumn, lastRow, outcome);
    if (!names.empty()) steps.Steps.push_back(edits::SetHeaders{selection.FirstColumn, 0, 1, names});
    if (place.rows > 0 && place.columns > 0) {
        const TDataTable& t = DataTable();
        edits::SetCells cells{selection.FirstColumn, selection.FirstRow, place.rows, {}};
        cells.Columns.resize(static_cast<std::size_t>(place.columns));
        for (int j = 0; j < place.columns; ++j) {
            CellColumn& column = cells.Columns[static_cast<std::size_t>(j)];
            column.Reserve(static_cast<std::size_t>(place.rows));
            for (int i = 0; i < place.rows; ++i) {
                std::string_view cell;
                if (!place.cell(i, j, cell)) cell = t.Cell(selection.FirstColumn + j, selection.FirstRow + i);
                column.Set(static_cast<std::size_t>(i), cell);
            }
        }
        steps.Steps.push_back(std::move(cells));
    }
    if (steps.Steps.empty()) return outcome;
    outcome.NamesTaken = !names.empty();
    outcome.Pasted = ApplyTableEdit(std::move(steps), "Paste");
    if (outcome.Pasted) {
        PasteFirstRow = outcome.ColumnsGrew ? 1 : selection.FirstRow;
        PasteLastRow = outcome.ColumnsGrew ? DataTable().RowCount() : lastRow;
        DataList.MarkRangeChanged();
        if (outcome.NamesTaken) ColumnsChanged = true;
    }
    return outcome;
}

PasteOutcome PasteIntoSelection(std::string_view text, const CellRange& selection) {
    PasteOutcome outcome;
    if (text.empty()) {
        ShowInformation("There is no text on the Clipboard");
        return outcome;
    }
    BusyCursor busy;
    ClipText clip;
    std::vector<std::string> owned;
    std::vector<std::string> fields;
    for (std::string_view line : SplitLines(text)) {
        SplitHeaderLine(line, fields);
        for (std::string& f : fields)
            owned.push_back(std::move(f));
        clip.start.push_back(owned.size());
    }
    clip.fields.assign(owned.begin(), owned.end());
    CellRange target = selection;
    target.FirstRow = std::clamp(target.FirstRow, 1, 4);
    target.LastRow = std::clamp(target.LastRow, target.FirstRow, 4);
    const Placement place = Place(clip, target);
    if (!ColumnsFit(target.FirstColumn, place.columns)) {
        ShowError(kTooManyColumns);
        return outcome;
    }
    // The description rows are fixed: lines beyond the LSL row are dropped.
    const int rows = std::min(place.rows, 4 - target.FirstRow + 1);
    edits::Sequence steps;
    Grow(steps, target.FirstColumn + place.columns - 1, 0, outcome);
    edits::SetHeaders headers{target.FirstColumn, target.FirstRow, rows, {}};
    const TDataTable& t = DataTable();
    for (int j = 0; j < place.columns; ++j)
        for (int i = 0; i < rows; ++i) {
            std::string_view cell;
            if (!place.cell(i, j, cell)) cell = t.Description(target.FirstColumn + j, target.FirstRow + i);
            headers.Texts.emplace_back(cell);
        }
    if (rows > 0 && place.columns > 0) steps.Steps.push_back(std::move(headers));
    if (steps.Steps.empty()) return outcome;
    outcome.Pasted = ApplyTableEdit(std::move(steps), "Paste");
    return outcome;
}

} // namespace kivspc
