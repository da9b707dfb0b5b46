// SPDX-License-Identifier: GPL-3.0-or-later
// Missing When, Process If and the transform over a small table: rules, conditions, lists and
// constants come from the input, then the filtered values are extracted, listed, summarised
// and written back as transformed columns.
// Input: scripted answers, the table (see BuildTable), the two Missing When rules, the two
// Process If conditions, the transform, then a mask of steps.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/SampleBuffer.h"

#include <limits>

namespace kivspc::fuzz {

namespace {

ProcessIfCondition AnyCondition(FuzzInput& in) {
    ProcessIfCondition c;
    c.Column = AnyColumn(in);
    c.Name = CellText(in);
    c.Relation = static_cast<std::uint8_t>(in.IntIn(0, 10));
    // "in" lists: comma and blank separated numbers, with blank items and long lists.
    const std::uint8_t list = in.Byte();
    if (list < 8) {
        for (int i = 0; i < 100 * list; ++i)
            c.ValueText += std::to_string(i % 7) + (i % 3 ? "," : ", ,");
    } else {
        c.ValueText = CellText(in);
    }
    return c;
}

void PickTransform(FuzzInput& in) {
    TransformRec.Kind = static_cast<std::uint8_t>(in.IntIn(0, 14));
    TransformRec.AText = CellText(in);
    TransformRec.BText = CellText(in);
    TransformRec.CText = CellText(in);
    ConvertTransformConstants();
    if (in.Bool()) {
        // Constants set directly, as the transform dialog's spin edits may leave them.
        TransformRec.A = in.AnyDouble();
        TransformRec.B = in.AnyDouble();
        TransformRec.C = in.AnyDouble();
    }
    TransformRec.NormalFirst = in.Byte() & 1;
}

} // namespace

int FuzzCaseSelection(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ScriptAnswers(platform, in.Byte());
    BuildTable(in);

    const auto relation1 = static_cast<std::uint8_t>(in.IntIn(0, 7));
    const std::string text1 = CellText(in);
    const auto relation2 = static_cast<std::uint8_t>(in.IntIn(0, 7));
    ApplyMissingRules(relation1, text1, relation2, CellText(in));
    const ProcessIfCondition first = AnyCondition(in);
    const ProcessIfCondition second = AnyCondition(in);
    ApplyProcessIf(first, second, in.Bool());
    Check(InCount1 >= 0 && InCount1 <= kMaxColumns && InCount2 >= 0 && InCount2 <= kMaxColumns,
          "an in-list keeps at most 512 items");
    PickTransform(in);

    // Row selection one by one and all at once agree.
    const int rows = DataTable().RowCount();
    std::vector<std::uint8_t> selected;
    SelectRows(rows + 2, selected);
    Check(selected.size() == static_cast<std::size_t>(rows) + 3, "SelectRows gives one flag per row");
    for (int r = 1; r <= rows + 2; ++r)
        Check(selected[static_cast<std::size_t>(r)] == IsRowSelected(r),
              "SelectRows agrees with IsRowSelected");
    IsRowSelected(-1);
    IsRowSelected(std::numeric_limits<int>::max());
    IsValidValue(in.AnyDouble());

    const std::uint8_t steps = in.Byte();
    TRunInfo ri;
    ri.RunType = 1;
    for (int c = 1; c <= DataTable().ColumnCount(); ++c)
        DataList.Selected[static_cast<std::size_t>(c)] = 1;
    if (steps & 1) ExtractAll(ri);
    if (steps & 2) {
        TransformRec.ErrorFlag = 0;
        TransformValue(in.AnyDouble());
    }
    TransformText();
    TSelectionSummary summary;
    SelectionSummary(summary);
    if (steps & 4) {
        std::vector<int> columns;
        for (int i = static_cast<int>(in.IntIn(0, 3)); i > 0; --i)
            columns.push_back(AnyColumn(in));
        AddTransformedVariables(columns, steps & 8, steps & 16);
    }
    if (steps & 32) {
        ri.FirstGroup = 1;
        ri.LastGroup = DataTable().ColumnCount() + 3;
        ListGroups(ri);
    }
    Check(platform.BusyDepth == 0, "the busy cursor is back");
    return 0;
}

} // namespace kivspc::fuzz
