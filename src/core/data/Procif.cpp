// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Procif.h"

#include "app/NumberEntry.h"
#include "data/DataList.h"
#include "data/Relations.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace kivspc {

TProcessIfRec ProcessIfRec;
bool ProcessIfOn = false;
std::array<double, kMaxColumns + 1> InList1{};
std::array<double, kMaxColumns + 1> InList2{};
int InCount1 = 0;
int InCount2 = 0;
std::string ConditionText1;
std::string ConditionText2;

static_assert(kRelEqual == 1 && kRelGreater == 2 && kRelGreaterEqual == 3 && kRelLess == 4 &&
                  kRelLessEqual == 5 && kRelNotEqual == 6,
              "Process If relations are the shared comparison codes");

namespace {

const char* const kRelationTexts[] = {"All", "=", ">", ">=", "<", "<=", "<>", "in", "Not in"};
const char* const kRelationDisplay[] = {"", " = ", " > ", " >= ", " < ", " <= ", " <> ", " in ", " Not in "};

bool InList(double v, const std::array<double, kMaxColumns + 1>& list, int count) {
    for (int i = 1; i <= count; ++i)
        if (list[static_cast<std::size_t>(i)] == v) return true;
    return false;
}

// -1: the condition is absent; 0/1: it fails/holds for the row.
int Condition(std::uint8_t relation, int column, double value,
              const std::array<double, kMaxColumns + 1>& list, int count, int row) {
    if (relation == kRelAll || column < 1 || static_cast<std::size_t>(column) >= Values.size()) return -1;
    const auto& values = Values[static_cast<std::size_t>(column)];
    double v =
        static_cast<std::size_t>(row) < values.size() ? values[static_cast<std::size_t>(row)] : MissingValue;
    if (relation == kRelIn) return InList(v, list, count);
    if (relation == kRelNotIn) return !InList(v, list, count);
    int holds = -1;
    WithComparison(relation, [&](auto compare) { holds = compare(v, value); });
    return holds;
}

} // namespace

std::string ProcessIfRelationText(std::uint8_t relation) {
    return relation <= kRelNotIn ? kRelationTexts[relation] : "All";
}

bool IsRowSelected(int row) {
    if (!ProcessIfOn) return true;
    const TProcessIfRec& p = ProcessIfRec;
    int a = Condition(p.Relation1, p.Column1, p.Value1, InList1, InCount1, row);
    int b = Condition(p.Relation2, p.Column2, p.Value2, InList2, InCount2, row);
    if (a < 0 && b < 0) return true;
    if (a < 0) return b == 1;
    if (b < 0) return a == 1;
    return p.OrJoin ? (a == 1 || b == 1) : (a == 1 && b == 1);
}

namespace {

// Evaluates one condition over all rows into `out` (1 holds, 0 fails); false when absent.
bool ConditionColumn(std::uint8_t relation, int column, double value,
                     const std::array<double, kMaxColumns + 1>& list, int count, int rows,
                     std::vector<std::uint8_t>& out) {
    if (relation == kRelAll || column < 1 || static_cast<std::size_t>(column) >= Values.size()) return false;
    out.assign(static_cast<std::size_t>(rows) + 1, 0);
    const auto& values = Values[static_cast<std::size_t>(column)];
    const int n = std::min(rows, static_cast<int>(values.size()) - 1);
    const double* v = values.data();
    std::uint8_t* o = out.data();
    if (relation == kRelIn || relation == kRelNotIn) {
        const bool want = relation == kRelIn;
        for (int r = 1; r <= n; ++r)
            o[r] = InList(v[r], list, count) == want;
    } else if (!WithComparison(relation, [&](auto compare) {
                   // One loop per comparison, which the compiler can vectorise.
                   for (int r = 1; r <= n; ++r)
                       o[r] = compare(v[r], value);
               })) {
        return false;
    }
    // Rows beyond the cached column compare as missing cells.
    for (int r = n + 1; r <= rows; ++r)
        o[r] = static_cast<std::uint8_t>(Condition(relation, column, value, list, count, r) == 1);
    return true;
}

} // namespace

void SelectRows(int rows, std::vector<std::uint8_t>& selected) {
    rows = std::max(rows, 0);
    if (!ProcessIfOn) {
        selected.assign(static_cast<std::size_t>(rows) + 1, 1);
        return;
    }
    const TProcessIfRec& p = ProcessIfRec;
    std::vector<std::uint8_t> a;
    std::vector<std::uint8_t> b;
    const bool hasA = ConditionColumn(p.Relation1, p.Column1, p.Value1, InList1, InCount1, rows, a);
    const bool hasB = ConditionColumn(p.Relation2, p.Column2, p.Value2, InList2, InCount2, rows, b);
    if (!hasA && !hasB) {
        selected.assign(static_cast<std::size_t>(rows) + 1, 1);
    } else if (!hasB) {
        selected = std::move(a);
    } else if (!hasA) {
        selected = std::move(b);
    } else {
        selected.assign(static_cast<std::size_t>(rows) + 1, 0);
        for (std::size_t r = 1; r < selected.size(); ++r)
            selected[r] = p.OrJoin ? (a[r] | b[r]) : (a[r] & b[r]);
    }
}

void ProcessIfOff() {
    ProcessIfOn = false;
    ProcessIfRec = TProcessIfRec{};
    ProcessIfRec.Name1 = ProcessIfRec.Name2 = "0";
    InCount1 = InCount2 = 0;
    ConditionText1.clear();
    ConditionText2.clear();
}

namespace {

bool ConditionPresent(const ProcessIfCondition& c) {
    return c.Relation != kRelAll && c.Relation <= kRelNotIn && c.Column >= 1 && c.Column <= kMaxColumns;
}

// Where one condition is kept: its fields of the record, its "in" list and its text.
struct ConditionSlot {
    std::string& Name;
    std::string& ValueText;
    std::uint8_t& Relation;
    std::string& RelationText;
    std::int16_t& Column;
    double& Value;
    std::array<double, kMaxColumns + 1>& List;
    int& Count;
    std::string& Text;
};

// The values of an "in" list, and the list as shown: "[1,3]".
std::string TakeList(const std::string& text, ConditionSlot& slot) {
    std::vector<std::string> texts;
    std::vector<double> values;
    ParseNumberList(text, texts, values, slot.Count);
    std::string shown = "[";
    for (int i = 0; i < slot.Count; ++i) {
        slot.List[static_cast<std::size_t>(i) + 1] = values[static_cast<std::size_t>(i)];
        if (i > 0) shown += ",";
        shown += texts[static_cast<std::size_t>(i)];
    }
    return shown + "]";
}

void TakeCondition(const ProcessIfCondition& c, ConditionSlot slot) {
    slot.Count = 0;
    slot.Text.clear();
    if (!ConditionPresent(c)) return;
    slot.Name = c.Name;
    slot.Relation = c.Relation;
    slot.RelationText = ProcessIfRelationText(c.Relation);
    slot.Column = static_cast<std::int16_t>(c.Column);
    if (c.Relation == kRelIn || c.Relation == kRelNotIn) {
        slot.ValueText = TakeList(c.ValueText, slot);
    } else {
        slot.ValueText = c.ValueText;
        double v = 0;
        // A value that is not a number matches no cell: only "<>" holds for it.
        slot.Value = ConvertNumber(TrimBlanks(c.ValueText), v) ? v : std::numeric_limits<double>::quiet_NaN();
    }
    slot.Text = slot.Name + kRelationDisplay[c.Relation] + slot.ValueText;
}

} // namespace

std::string ProcessIfConditionProblem(const ProcessIfCondition& condition, const std::string& box) {
    if (!ConditionPresent(condition)) return {};
    if (condition.Relation == kRelIn || condition.Relation == kRelNotIn)
        return TrimBlanks(condition.ValueText).empty() ? box + " holds no list of numbers!" : std::string();
    double value = 0;
    return NumberEntryProblem(condition.ValueText, box, value);
}

std::string ApplyProcessIf(const ProcessIfCondition& first, const ProcessIfCondition& second, bool orJoin) {
    if (!ConditionPresent(first) && !ConditionPresent(second)) {
        ProcessIfOff();
        return "Process If Off";
    }
    TProcessIfRec rec;
    rec.OrJoin = orJoin;
    TakeCondition(first, {rec.Name1, rec.ValueText1, rec.Relation1, rec.RelationText1, rec.Column1,
                          rec.Value1, InList1, InCount1, ConditionText1});
    TakeCondition(second, {rec.Name2, rec.ValueText2, rec.Relation2, rec.RelationText2, rec.Column2,
                           rec.Value2, InList2, InCount2, ConditionText2});
    ProcessIfRec = rec;
    ProcessIfOn = true;
    std::string status = "Process If: " + ConditionText1;
    if (!ConditionText1.empty() && !ConditionText2.empty()) status += ", ";
    status += ConditionText2;
    return status;
}

} // namespace kivspc
