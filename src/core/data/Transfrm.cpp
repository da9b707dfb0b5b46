// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Transfrm.h"

#include "data/TableEdit.h"

#include "app/Messages.h"
#include "app/NumberEntry.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "stats/Distributions.h"
#include "stats/SampleBuffer.h"

#include <cmath>

namespace kivspc {

namespace {

bool DomainError(const char* reason) {
    TransformRec.ErrorFlag = 1;
    TransformRec.ErrorText = std::string("Error: ") + reason;
    return false;
}

// The transform of one value; false (x untouched) on a domain error.
bool Apply(double& x) {
    const TTransformRec& t = TransformRec;
    const Extended a = t.A;
    const Extended b = t.B;
    const Extended c = t.C;
    const Extended v = a * x + b;
    Extended y = x;
    switch (t.Kind) {
    case kTransformLinear: y = v; break;
    case kTransformPower1:
        if (v < 0) return DomainError("X < 0");
        y = Power(v, c);
        break;
    case kTransformPower2:
        if (v < 0) return DomainError("X < 0");
        y = Power(v, 1 / c);
        break;
    case kTransformInverse:
        if (x <= 0) return DomainError("X <= 0");
        y = b / Power(a * x, c);
        break;
    case kTransformLog:
        if (x <= 0) return DomainError("X <= 0");
        y = std::log(v);
        break;
    case kTransformExp: y = std::exp(v); break;
    case kTransformArcsin:
        if (!(v > -1 && v < 1)) return DomainError("ABS(X) >= 1");
        y = std::atan(v / std::sqrt(1 - v * v));
        break;
    case kTransformSin: y = std::sin(v); break;
    case kTransformUniform: y = std::min(a, b) + std::fabs(a - b) * UniformRandom(); break;
    case kTransformNormal: y = a + b * GaussRandom(); break;
    case kTransformExponential: {
        if (!(a < b)) return DomainError("B <= A");
        // 1 - U lies in (0, 1], so the logarithm is always finite.
        y = a - std::log(1 - UniformRandom()) * (b - a);
        break;
    }
    case kTransformChiSquare: y = b * InvChiSq(kUpperTail, UniformRandom(), a) + c; break;
    default: return true;
    }
    // Overflow (EXP of a large value) or a result outside the real numbers that the checks above
    // let through (LOG of a negative A X + B) is no value to go on with.
    const double result = static_cast<double>(y);
    if (!std::isfinite(result)) return DomainError("Result is not a finite number");
    x = result;
    return true;
}

// a: the A text, or nothing when it is exactly "1"; b: the B text with its sign.
std::string LinearText() {
    const TTransformRec& t = TransformRec;
    std::string a = t.AText == "1" ? std::string() : t.AText;
    std::string b;
    if (t.B > 0)
        b = " + " + t.BText;
    else if (t.B < 0)
        b = " " + t.BText;
    return a + "X" + b;
}

// How many cells a transform into the table left empty, and why.
std::string EmptiedCellsText(long long failed, long long unusable) {
    auto cells = [](long long n) { return std::to_string(n) + (n == 1 ? " cell" : " cells"); };
    if (unusable == 0)
        return cells(failed) +
               (failed == 1 ? " could not be transformed and was" : " could not be transformed and were") +
               " left empty.";
    if (failed == 0)
        return cells(unusable) +
               (unusable == 1 ? " held no valid value and was" : " held no valid value and were") +
               " left empty.";
    return cells(failed + unusable) + " were left empty: " + std::to_string(failed) +
           " could not be transformed and " + std::to_string(unusable) + " held no valid value.";
}

double ConstantValue(const std::string& text) {
    double v = 0;
    return ConvertNumber(TrimBlanks(text), v) ? v : 0;
}

} // namespace

double TransformValue(double x) {
    if (TransformRec.Kind == kTransformNone) return x;
    if (TransformRec.NormalFirst) x = static_cast<double>(10 + GaussRandom());
    Apply(x);
    return x;
}

void TransformSample(int n) {
    TransformRec.ErrorFlag = 0;
    for (int i = 1; i <= n && static_cast<std::size_t>(i) < SampleX.size(); ++i) {
        double x = SampleX[static_cast<std::size_t>(i)];
        if (TransformRec.Kind == kTransformNone) return;
        if (TransformRec.NormalFirst) x = static_cast<double>(10 + GaussRandom());
        if (!Apply(x)) return;
        SampleX[static_cast<std::size_t>(i)] = x;
    }
}

std::string TransformText() {
    const TTransformRec& t = TransformRec;
    switch (t.Kind) {
    case kTransformNone: return "None";
    case kTransformLinear: return LinearText();
    case kTransformPower1: return "(" + LinearText() + ")^" + t.CText;
    case kTransformPower2: return "(" + LinearText() + ")^(1/" + t.CText + ")";
    case kTransformInverse:
        return t.BText + "/(" + (t.AText == "1" ? std::string() : t.AText) + "X)^" + t.CText;
    case kTransformLog: return "LN(" + LinearText() + ")";
    case kTransformExp: return "EXP(" + LinearText() + ")";
    case kTransformArcsin: return "ARCSIN(" + LinearText() + ")";
    case kTransformSin: return "SIN(" + LinearText() + ")";
    case kTransformUniform: return "Uniform(" + t.AText + "," + t.BText + ")";
    case kTransformNormal: return "Normal(" + t.AText + "," + t.BText + ")";
    case kTransformExponential: return "Exponential(" + t.AText + "," + t.BText + ")";
    case kTransformChiSquare: return "Chi-Square(" + t.AText + "," + t.BText + "," + t.CText + ")";
    default: return "None";
    }
}

void ReportTransformError() {
    ShowError("Transform Error - Turning Off Transform!\r\nTransform: " + TransformText() + "\r\n" +
              TransformRec.ErrorText);
    TransformRec.Kind = kTransformNone;
}

void ConvertTransformConstants() {
    TransformRec.A = ConstantValue(TransformRec.AText);
    TransformRec.B = ConstantValue(TransformRec.BText);
    TransformRec.C = ConstantValue(TransformRec.CText);
}

bool TransformUsesC(int kind) {
    return kind == kTransformPower1 || kind == kTransformPower2 || kind == kTransformInverse ||
           kind == kTransformChiSquare;
}

std::string TakeTransformConstants(int* box) {
    TTransformRec& t = TransformRec;
    if (t.Kind == kTransformNone) return {};
    const std::string* texts[] = {&t.AText, &t.BText, &t.CText};
    const char* names[] = {"A", "B", "C"};
    double values[] = {t.A, t.B, t.C};
    const int used = TransformUsesC(t.Kind) ? 3 : 2;
    for (int i = 0; i < used; ++i) {
        const std::string problem = NumberEntryProblem(*texts[i], names[i], values[i]);
        if (!problem.empty()) {
            if (box) *box = i;
            return problem;
        }
    }
    t.A = values[0];
    t.B = values[1];
    t.C = values[2];
    return {};
}

bool AddTransformedVariables(const std::vector<int>& columns, bool addNew, bool turnOffWhenDone) {
    if (TransformRec.Kind == kTransformNone) return false;
    if (const std::string problem = TakeTransformConstants(); !problem.empty()) {
        ShowError(problem);
        return false;
    }
    DataList.RebuildValues();
    TDataTable& table = DataTable();
    if (addNew && table.ColumnCount() + 1 + static_cast<int>(columns.size()) > kMaxColumns) {
        ShowError("Maximum Number of Columns Exceeded.");
        return false;
    }
    BusyCursor busy;
    const int rows = table.RowCount();
    long long failed = 0;   // cells with a value the transform could not take
    long long unusable = 0; // cells that held something but no valid value
    std::string firstError;
    // New columns go in as one insertion, modified ones as blocks of cells: one undoable edit.
    edits::InsertColumns added;
    added.Before = table.ColumnCount() + 1;
    edits::Sequence modified;
    for (int c : columns) {
        if (c < 1 || c > table.ColumnCount() || static_cast<std::size_t>(c) >= Values.size()) continue;
        CellColumn target;
        target.Reserve(static_cast<std::size_t>(rows));
        const std::vector<double>& source = Values[static_cast<std::size_t>(c)];
        for (int r = 1; r <= rows && static_cast<std::size_t>(r) < source.size(); ++r) {
            const auto at = static_cast<std::size_t>(r - 1);
            // Rows Process If leaves out keep their text (a new column stays empty there).
            if (!IsRowSelected(r)) {
                target.Set(at, addNew ? std::string_view() : table.Cell(c, r));
                continue;
            }
            double x = source[static_cast<std::size_t>(r)];
            if (!IsValidValue(x)) {
                // A cell that held a text or a value Missing When excludes is emptied too, and told.
                if (!table.Cell(c, r).empty()) ++unusable;
                target.Set(at, "");
                continue;
            }
            TransformRec.ErrorFlag = 0;
            double y = TransformValue(x);
            if (TransformRec.ErrorFlag) {
                if (failed++ == 0) firstError = TransformRec.ErrorText;
                target.Set(at, "");
                continue;
            }
            // Written so that it reads back as exactly the value computed.
            target.Set(at, FormatCellNumber(y));
        }
        if (addNew) {
            TTableColumn& column = added.Contents.emplace_back();
            column.name = "f(" + table.ColumnName(c) + ")";
            column.cells = std::move(target);
        } else {
            edits::SetCells block{c, 1, rows, {}};
            block.Columns.push_back(std::move(target));
            modified.Steps.push_back(std::move(block));
        }
    }
    TransformRec.ErrorFlag = 0;
    // Turned off only after the message has named the transform.
    if (failed > 0 || unusable > 0)
        ShowWarning("Transform: " + TransformText() + "\r\n" + (failed > 0 ? firstError + "\r\n" : "") +
                    EmptiedCellsText(failed, unusable));
    if (turnOffWhenDone) TransformRec.Kind = kTransformNone;
    if (addNew) {
        added.Count = static_cast<int>(added.Contents.size());
        if (added.Count > 0) ApplyTableEdit(std::move(added), "Add Transformed Variables");
    } else if (!modified.Steps.empty()) {
        ApplyTableEdit(std::move(modified), "Modify Variables");
    }
    table.Modified = true;
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    return true;
}

} // namespace kivspc
