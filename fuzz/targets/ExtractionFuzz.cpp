// SPDX-License-Identifier: GPL-3.0-or-later
// Extraction of groups from a small table: run types, measure and group columns and group
// ranges come from the input, in range or not, and a few steps (grouping, counting, listing,
// extracting, editing the table behind the cache's back) run in the order the input gives.
// Input: the table (see BuildTable), the selected columns, the run description, then steps.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "data/DataU.h"
#include "data/Extract.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <limits>

namespace kivspc::fuzz {

namespace {

constexpr std::uint8_t kRunTypes[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 20, 0, 4, 13, 255};

std::int32_t Saturated(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

// A range of at most a few dozen groups anywhere in the 32-bit range, and a position in or
// just around it, as a caller that walks the groups would leave it.
void PickGroupRange(FuzzInput& in, TRunInfo& ri) {
    ri.FirstGroup = in.AnyInt();
    ri.LastGroup = Saturated(static_cast<long long>(ri.FirstGroup) + in.IntIn(-2, 40));
    ri.Position = Saturated(static_cast<long long>(ri.FirstGroup) - 1 + in.IntIn(0, 44));
}

void CheckSample(const TRunInfo& ri) {
    Check(SampleN >= 0 && static_cast<std::size_t>(SampleN) < std::max<std::size_t>(SampleX.size(), 1),
          "SampleX holds SampleN values");
    Check(ri.GroupCount >= 0 && ri.ValueTotal >= 0, "group and value counts are not negative");
}

// Cells changed with or without telling the cache, columns and rows added or deleted.
void EditTable(FuzzInput& in) {
    TDataTable& table = DataTable();
    // Arguments are read one statement at a time: the order of reads must not depend on the
    // compiler's order of evaluating function arguments.
    const bool tell = in.Bool();
    const std::uint8_t edit = in.Byte();
    const int column = AnyColumn(in);
    const int row = static_cast<int>(in.IntIn(-1, table.RowCount() + 1));
    const int count = static_cast<int>(in.IntIn(0, 3));
    switch (edit % 5) {
    case 0:
        table.SetCell(column, row, CellText(in));
        if (tell) DataList.MarkRowChanged(row);
        break;
    case 1: table.DeleteColumns(column, count); break;
    case 2: table.InsertColumns(column, count); break;
    case 3: table.SetRowCount(row + count); break;
    default: table.DeleteRows(row, count); break;
    }
    if (tell) DataList.MarkAllRowsChanged();
}

void Step(FuzzInput& in, TRunInfo& ri) {
    switch (in.Byte() % 14) {
    case 0: {
        const int count = PrepareGroups(ri);
        Check(count >= 0 && count == ri.LastGroup && ri.FirstGroup == 1,
              "PrepareGroups sets the range it returns");
        break;
    }
    case 1: CountGroups(ri); break;
    case 2:
        ListGroups(ri);
        Check(GroupLabels.size() == GroupKeys.size(), "one key per group label");
        break;
    case 3: ExtractGroup(in.AnyInt(), ri); break;
    case 4: ExtractAll(ri); break;
    case 5: ExtractRowStatistic(static_cast<int>(in.IntIn(-1, 4)), ri); break;
    case 6:
        RewindGroups(ri);
        for (int n = 0; n < 200 && NextGroup(ri); ++n)
            Check(SampleN > 0, "NextGroup delivers a non-empty group");
        Check(ri.Position <= ri.LastGroup, "NextGroup leaves Position at most LastGroup");
        break;
    case 7: {
        const int k = static_cast<int>(in.IntIn(-1, 4));
        RewindGroups(ri);
        for (int n = 0; n < 200 && NextRowStatisticGroup(k, ri); ++n)
            Check(SampleN > 0, "NextRowStatisticGroup delivers a non-empty group");
        break;
    }
    case 8:
        SetGroupLabels(ri);
        GroupLabel(in.AnyInt(), ri);
        break;
    case 9: PickGroupRange(in, ri); break;
    case 10: EditTable(in); break;
    case 11: {
        const auto i = static_cast<std::size_t>(in.IntIn(0, 4));
        ri.GroupColumns[i] = static_cast<std::int16_t>(AnyColumn(in));
        break;
    }
    case 12: {
        EnsureRowStatisticColumns();
        const auto col = static_cast<std::size_t>(DataTable().ColumnCount() + in.IntIn(1, 3));
        const auto row = static_cast<std::size_t>(in.IntIn(0, DataTable().RowCount()));
        if (col < Values.size() && row < Values[col].size()) Values[col][row] = in.AnyDouble();
        break;
    }
    default: DataList.Selected[static_cast<std::size_t>(in.IntIn(0, kMaxColumns))] ^= 1; break;
    }
    CheckSample(ri);
}

} // namespace

int FuzzExtraction(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    BuildTable(in);
    unsigned selected = in.Byte();
    selected |= in.Byte() << 8;
    for (int c = 0; c < 16; ++c)
        DataList.Selected[static_cast<std::size_t>(c)] = (selected >> c) & 1;

    TRunInfo ri;
    ri.RunType = kRunTypes[in.Byte() % std::size(kRunTypes)];
    ri.MeasureColumn = AnyColumn(in);
    ri.GroupColumn = AnyColumn(in);
    ri.FirstMeasure = ri.CurrentMeasure = AnyColumn(in);
    ri.LastMeasure = AnyColumn(in);
    ri.GroupColumnCount = static_cast<std::int16_t>(in.IntIn(-1, 4));
    for (std::size_t i = 1; i <= 4; ++i)
        ri.GroupColumns[i] = static_cast<std::int16_t>(AnyColumn(in));
    PickGroupRange(in, ri);

    for (int step = 0; step < 12 && !in.Empty(); ++step)
        Step(in, ri);
    return 0;
}

} // namespace kivspc::fuzz
