// SPDX-License-Identifier: GPL-3.0-or-later
// Extraction: analyses pull their values from the numeric cache one group at a time into the
// current sample SampleX[1..SampleN], through Process If, Missing When and the transform.
#pragma once

#include "data/RunInfo.h"

#include <string>
#include <vector>

namespace kivspc {

// Labels and keys of the non-empty groups, filled by ListGroups.
extern std::vector<std::string> GroupLabels;
extern std::vector<std::string> GroupKeys;
// Forgets the labels and the working memory of earlier extractions (the table's group codes go
// with the table).
void ResetExtraction();

// Codes the distinct combinations of the group columns; returns their number (FirstGroup 1,
// LastGroup that number). Refuses (0 groups, with a message) when the combinations of the
// columns' levels cannot be counted in a group code.
int PrepareGroups(TRunInfo& runInfo);
void ExtractGroup(int pos, TRunInfo& runInfo);
void ExtractAll(TRunInfo& runInfo);
// Row statistic k (1 mean, 2 standard deviation, 3 count) of group Position.
void ExtractRowStatistic(int k, TRunInfo& runInfo);
void RewindGroups(TRunInfo& runInfo);
// Advances to the next group holding at least one value and extracts it; false at the end.
bool NextGroup(TRunInfo& runInfo);
bool NextRowStatisticGroup(int k, TRunInfo& runInfo);
// Counts the non-empty groups (GroupCount) and their values (ValueTotal), then rewinds.
void CountGroups(TRunInfo& runInfo);
void ListGroups(TRunInfo& runInfo);
void SetGroupLabels(TRunInfo& runInfo);
// The group columns' cells in the representative row of combination index, joined by ", ".
std::string GroupLabel(int index, const TRunInfo& runInfo);

// The active filters and transform in three layouts, for chart footers and reports.
struct TSelectionSummary {
    std::string Lines;       // one entry per line (CR LF)
    std::string TabbedLines; // CR LF and a tab between entries
    std::string Inline;      // two blanks between entries
};
// The three lines a setup window shows about the case selection: "Missing: ..." (the Missing When
// conditions joined by ", "), "Transform: ..." and "Process If: ..." (joined by " or " or " and");
// "none" or "Off" where nothing is active.
struct TCaseSelectionTexts {
    std::string Missing, Transform, ProcessIf;
};
TCaseSelectionTexts CaseSelectionTexts();
// True when Missing When, Process If or the transform is active.
bool SelectionSummary(TSelectionSummary& summary);

} // namespace kivspc
