// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilitySetup.h"

#include "data/DataList.h"
#include "data/DataTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kivspc {

TCapabilityConfig CapabilityConfig;
TRunInfo CapabilityRun;

int CapabilityLayoutCode(const TCapabilityChoice& choice) {
    const bool several = choice.Measures.size() > 1;
    int code = several ? 200 : 100;
    if (!choice.Groups.empty()) code += choice.Groups.size() > 1 ? 20 : 10;
    // "Multiple Measures Represent:" is only offered for two or more measures.
    if (several) {
        if (choice.LayoutIndex == kLayoutSubgroupsInRows) code += 1;
        if (choice.LayoutIndex == kLayoutRepeatedMeasures) code += 2;
    }
    return code;
}

int CapabilityRunType(int layoutCode) {
    switch (layoutCode) {
    case 100:
    case 200: return kRunColumns;
    case 110: return kRunBySingleCombination;
    case 120: return kRunByCombination;
    case 201: return kRunPooled;
    case 202: return kRunRowMeans;
    case 210: return kRunEachByGroupValue;
    case 211: return kRunColumnsByGroupValue;
    case 212: return kRunRowMeansByGroupValue;
    case 220: return kRunEachByCombination;
    case 221: return kRunColumnsByCombination;
    case 222: return kRunRowMeansByCombination;
    default: return 0;
    }
}

namespace {

std::int32_t RoundedBound(double x, bool hasRange, std::int32_t fallback) {
    if (!hasRange || !std::isfinite(x)) return fallback;
    const double r = std::nearbyint(x);
    return static_cast<std::int32_t>(
        std::clamp(r, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                   static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

// The group range of the runs that take the values of the one group column as group numbers.
void GroupValueRange(int column, TRunInfo& run) {
    if (ValuesStale) DataList.RebuildValues();
    const auto c = static_cast<std::size_t>(column);
    const bool has = DataList.HasRange[c] != 0;
    run.FirstGroup = RoundedBound(DataList.Min[c], has, 1);
    run.LastGroup = RoundedBound(DataList.Max[c], has, 0);
}

} // namespace

bool BuildCapabilityRun(const TCapabilityChoice& choice, TCapabilityConfig& config, TRunInfo& run) {
    const int columns = std::min(DataTable().ColumnCount(), kMaxColumns);
    const auto inTable = [columns](int c) { return c >= 1 && c <= columns; };
    if (choice.Measures.empty() || !std::all_of(choice.Measures.begin(), choice.Measures.end(), inTable) ||
        !std::all_of(choice.Groups.begin(), choice.Groups.end(), inTable) ||
        (choice.SampleColumn != 0 && !inTable(choice.SampleColumn)))
        return false;

    const int measures = static_cast<int>(choice.Measures.size());
    const int groups = static_cast<int>(choice.Groups.size());
    TCapabilityConfig next;
    next.LayoutIndex = measures > 1 ? choice.LayoutIndex : 0;
    next.GroupsIndex = groups > 0 ? choice.GroupsIndex : 0;
    next.MeasureCount = measures;
    next.GroupColumnTotal = groups;
    next.GroupsAreStreams = groups > 0 && next.GroupsIndex == kGroupsProcessStreams;
    next.MeasuresAreStreams = measures > 1 && next.LayoutIndex == kLayoutProcessStreams;
    // Subgroups in rows are the subgroups: a sample column has nothing to add there.
    next.SampleColumn = next.LayoutIndex == kLayoutSubgroupsInRows ? 0 : choice.SampleColumn;
    next.HasSampleColumn = next.SampleColumn != 0;
    next.MeasureColumns = choice.Measures;

    TRunInfo r;
    r.RunType = static_cast<std::uint8_t>(CapabilityRunType(CapabilityLayoutCode(choice)));
    DataList.Selected = {};
    for (int c : choice.Measures)
        DataList.Selected[static_cast<std::size_t>(c)] = 1;
    r.GroupColumnCount = static_cast<std::int16_t>(groups);
    for (int i = 0; i < groups; ++i)
        r.GroupColumns[static_cast<std::size_t>(i) + 1] =
            static_cast<std::int16_t>(choice.Groups[static_cast<std::size_t>(i)]);

    const int firstMeasure = choice.Measures.front();
    switch (r.RunType) {
    case kRunColumns:
    case kRunPooled:
    case kRunRowMeans:
        r.FirstGroup = firstMeasure;
        r.LastGroup = choice.Measures.back();
        break;
    case kRunByCombination:
    case kRunColumnsByCombination:
    case kRunRowMeansByCombination:
    case kRunBySingleCombination: r.MeasureColumn = firstMeasure; break;
    case kRunColumnsByGroupValue:
    case kRunRowMeansByGroupValue:
        r.GroupColumn = choice.Groups.front();
        r.MeasureColumn = firstMeasure;
        GroupValueRange(r.GroupColumn, r);
        break;
    case kRunEachByGroupValue:
        r.FirstMeasure = r.CurrentMeasure = firstMeasure;
        r.LastMeasure = choice.Measures.back();
        r.MeasureColumn = firstMeasure;
        r.GroupColumn = choice.Groups.front();
        GroupValueRange(r.GroupColumn, r);
        break;
    case kRunEachByCombination:
        r.FirstMeasure = r.CurrentMeasure = firstMeasure;
        r.LastMeasure = choice.Measures.back();
        r.MeasureColumn = firstMeasure;
        break;
    default: break;
    }
    // The columns are listed in data order, so the first and last measure bound the selection.
    run = r;
    config = next;
    return true;
}

void ResetCapabilitySetup() {
    CapabilityConfig = {};
    CapabilityRun = {};
}

bool StoreCapabilitySetup(const TCapabilityChoice& choice) {
    return BuildCapabilityRun(choice, CapabilityConfig, CapabilityRun);
}

} // namespace kivspc
