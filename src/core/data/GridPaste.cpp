// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/GridPaste.h"

#include "app/Messages.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/TableEdit.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>

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

// How the lines of the clipboard text become cells.
enum class LineSplit {
    Tabs,       // at tabs only: what spreadsheets and this program put on the clipboard
    Delimiters, // data lines: at tabs, else commas, else runs of blanks
    Header,     // description lines: at tabs, else runs of blanks and commas
    Whole,      // one cell per line
};

// The fields of one line. An empty line is one empty cell: a row left empty in the copy.
void SplitLine(std::string_view line, LineSplit split, std::vector<std::string_view>& fields,
               std::vector<std::string>& headerFields) {
    fields.clear();
    if (line.empty() || split == LineSplit::Whole) {
        fields.push_back(line);
        return;
    }
    switch (split) {
    case LineSplit::Tabs:
        ForEachField(line, '\t', false, [&fields](std::string_view f) {
            fields.push_back(f);
            return true;
        });
        break;
    case LineSplit::Delimiters: SplitDataLine(line, fields); break;
    case LineSplit::Header:
        SplitHeaderLine(line, headerFields);
        fields.assign(headerFields.begin(), headerFields.end());
        break;
    case LineSplit::Whole: break;
    }
    if (fields.empty()) fields.push_back(std::string_view());
}

// Splits the lines from `first` on. Fields are views into the text, or, when a decimal comma
// became a point, into `owned`.
void AddLines(ClipText& clip, const std::vector<std::string_view>& lines, std::size_t first, LineSplit split,
              bool decimalCommas, std::deque<std::string>& owned) {
    std::vector<std::string_view> fields;
    std::vector<std::string> headerFields;
    clip.fields.reserve(clip.fields.size() + (lines.size() - first) * 4);
    for (std::size_t i = first; i < lines.size(); ++i) {
        SplitLine(lines[i], split, fields, headerFields);
        for (std::string_view f : fields) {
            // Header fields live in headerFields, which the next line reuses.
            if (split == LineSplit::Header || (decimalCommas && f.find(',') != std::string_view::npos)) {
                owned.push_back(decimalCommas ? DecimalCommaAsPoint(f) : std::string(f));
                f = owned.back();
            }
            clip.fields.push_back(f);
        }
        clip.start.push_back(clip.fields.size());
    }
}

// The widest line of the text when it is split as data (or description) lines.
int SplitWidth(const std::vector<std::string_view>& lines, LineSplit split) {
    std::vector<std::string_view> fields;
    std::vector<std::string> headerFields;
    int widest = 0;
    for (std::string_view line : lines) {
        SplitLine(line, split, fields, headerFields);
        widest = std::max(widest, static_cast<int>(fields.size()));
    }
    return widest;
}

// Text with tabs is split at tabs only. Text without tabs that would spread over more columns than
// the selection has is split only when the user says so: a column of "24,995" or "Early shift"
// must not spill into the next column. Nothing when the user cancels.
std::optional<LineSplit> ChooseSplit(std::string_view text, const std::vector<std::string_view>& lines,
                                     const CellRange& selection, LineSplit delimited) {
    if (text.find('\t') != std::string_view::npos) return LineSplit::Tabs;
    const int selected = selection.LastColumn - selection.FirstColumn + 1;
    const int width = SplitWidth(lines, delimited);
    if (width <= selected) return delimited;
    const std::string question =
        "The text on the Clipboard holds no tabs. Split at its commas and blanks, it "
        "would fill " +
        std::to_string(width) + " columns, but " +
        (selected == 1 ? std::string("one column is") : std::to_string(selected) + " columns are") +
        " selected.\r\n\r\nSplit each line into columns, or paste each line "
        "into one cell?";
    switch (AskChoice(question, {"&Split into Columns", "&One Cell per Line"}, selected == 1 ? 1 : 0)) {
    case 0: return delimited;
    case 1: return LineSplit::Whole;
    default: return std::nullopt;
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

// A first line of names: it holds a character that is in no number, and none of its fields (split as
// a names line, or the whole line when each line is one cell) is empty or a number ("24,995" is).
bool NamesQuestionApplies(std::string_view line, LineSplit split) {
    if (line.empty() || !HasNonNumericChar(line)) return false;
    std::vector<std::string> fields;
    if (split == LineSplit::Whole)
        fields.emplace_back(line);
    else if (split == LineSplit::Tabs)
        ForEachField(line, '\t', true, [&fields](std::string_view f) {
            fields.emplace_back(f);
            return true;
        });
    else
        SplitHeaderLine(line, fields);
    return std::none_of(fields.begin(), fields.end(), [](const std::string& f) {
        return f.empty() || IsNumberText(DecimalCommaAsPoint(f));
    });
}

// The names a first line gives: runs of blanks collapsed, the rest of them made "_", then split
// as the lines are (so "Mean value" names one column Mean_value).
std::vector<std::string> NamesFromLine(std::string_view line, LineSplit split) {
    std::string joined = CollapseBlanks(line);
    std::replace(joined.begin(), joined.end(), ' ', '_');
    if (split == LineSplit::Whole) return {joined};
    std::vector<std::string_view> fields;
    std::vector<std::string> headerFields;
    SplitLine(joined, split == LineSplit::Tabs ? LineSplit::Tabs : LineSplit::Delimiters, fields,
              headerFields);
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
    const std::vector<std::string_view> lines = SplitLines(text);
    const std::optional<LineSplit> split = ChooseSplit(text, lines, selection, LineSplit::Delimiters);
    if (!split) return outcome;
    BusyCursor busy;
    std::size_t firstData = 0;
    std::vector<std::string> names;
    if (!lines.empty() && NamesQuestionApplies(lines[0], *split) &&
        AskYesNo("Want to use text from first row as Variable Names?")) {
        names = NamesFromLine(lines[0], *split);
        if (!ColumnsFit(selection.FirstColumn, static_cast<int>(names.size()))) {
            ShowError(kTooManyColumns);
            return outcome;
        }
        firstData = 1;
    }
    ClipText clip;
    std::deque<std::string> owned;
    AddLines(clip, lines, firstData, *split, true, owned);
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
    CellRange target = selection;
    target.FirstRow = std::clamp(target.FirstRow, 1, 4);
    target.LastRow = std::clamp(target.LastRow, target.FirstRow, 4);
    const std::vector<std::string_view> lines = SplitLines(text);
    const std::optional<LineSplit> split = ChooseSplit(text, lines, target, LineSplit::Header);
    if (!split) return outcome;
    BusyCursor busy;
    ClipText clip;
    std::deque<std::string> owned;
    AddLines(clip, lines, 0, *split, false, owned);
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
            if (!place.cell(i, j, cell)) {
                cell = t.Description(target.FirstColumn + j, target.FirstRow + i);
            } else if (target.FirstRow + i >= kUSLRow) {
                // Titles are free text; the limits rows take numbers, where a comma is the point.
                headers.Texts.push_back(DecimalCommaAsPoint(cell));
                continue;
            }
            headers.Texts.emplace_back(cell);
        }
    if (rows > 0 && place.columns > 0) steps.Steps.push_back(std::move(headers));
    if (steps.Steps.empty()) return outcome;
    outcome.Pasted = ApplyTableEdit(std::move(steps), "Paste");
    return outcome;
}

} // namespace kivspc
