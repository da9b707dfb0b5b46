// SPDX-License-Identifier: GPL-3.0-or-later
// What the capability setup hands to the analysis: how the chosen measure, group and sample
// columns are to be read, as a layout code, a run type and the run description.
#pragma once

#include "data/RunInfo.h"

#include <vector>

namespace kivspc {

// "Multiple Measures Represent:" items.
enum TCapabilityLayout : int {
    kLayoutDifferentVariables = 0,
    kLayoutSubgroupsInRows = 1,
    kLayoutProcessStreams = 2,
    kLayoutRepeatedMeasures = 3,
};
// "Groups Represent:" items.
enum TCapabilityGroups : int {
    kGroupsAnalysisGroups = 0,
    kGroupsProcessStreams = 1,
};

// The analysis configuration the setup's Action stores.
struct TCapabilityConfig {
    int LayoutIndex = 0; // TCapabilityLayout
    int GroupsIndex = 0; // TCapabilityGroups
    int MeasureCount = 0;
    int GroupColumnTotal = 0;
    bool GroupsAreStreams = false;   // group columns chosen as process streams
    bool MeasuresAreStreams = false; // several measures chosen as process streams
    bool HasSampleColumn = false;
    int SampleColumn = 0;
    std::vector<int> MeasureColumns; // in list order
};
extern TCapabilityConfig CapabilityConfig;

// The columns the user placed, in list order (column numbers); sampleColumn 0 for none.
// layoutIndex counts only with two or more measures, groupsIndex only with group columns.
struct TCapabilityChoice {
    std::vector<int> Measures;
    std::vector<int> Groups;
    int SampleColumn = 0;
    int LayoutIndex = 0;
    int GroupsIndex = 0;
};

// The layout code: 100 one measure, 200 several; +10 with one group column, +20 with more; +1
// for subgroups in rows, +2 for repeated measures.
int CapabilityLayoutCode(const TCapabilityChoice& choice);
// The run type of a layout code (0 for a code that cannot occur).
int CapabilityRunType(int layoutCode);
// The configuration and the run description of a choice with at least one measure: marks the
// measure columns Selected (and no others) and fills the run's columns and group range. Returns
// false, changing nothing, when there is no measure or a column is not in the table.
bool BuildCapabilityRun(const TCapabilityChoice& choice, TCapabilityConfig& config, TRunInfo& run);

// The run the capability analysis works on, stored with CapabilityConfig by the setup's Action.
extern TRunInfo CapabilityRun;
// BuildCapabilityRun into CapabilityConfig and CapabilityRun.
bool StoreCapabilitySetup(const TCapabilityChoice& choice);
// No stored setup (a new run, tests).
void ResetCapabilitySetup();

} // namespace kivspc
