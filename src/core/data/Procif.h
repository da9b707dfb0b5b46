// SPDX-License-Identifier: GPL-3.0-or-later
// Process If: up to two conditions on data columns that decide which rows take part.
#pragma once

#include "app/TextTools.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kivspc {

enum ProcessIfRelation : std::uint8_t {
    kRelAll = 0,
    kRelEqual,
    kRelGreater,
    kRelGreaterEqual,
    kRelLess,
    kRelLessEqual,
    kRelNotEqual,
    kRelIn,
    kRelNotIn,
};

struct TProcessIfRec {
    double Value1 = 0;
    double Value2 = 0;
    std::string Name1;
    std::string Name2;
    std::string ValueText1;
    std::string ValueText2;
    std::uint8_t Relation1 = kRelAll;
    std::uint8_t Relation2 = kRelAll;
    bool OrJoin = false;
    std::string RelationText1 = "=";
    std::string RelationText2 = "=";
    std::int16_t Column1 = 0;
    std::int16_t Column2 = 0;
};

extern TProcessIfRec ProcessIfRec;
extern bool ProcessIfOn;
// Values of the "in" / "Not in" lists; index 1..InCount.
extern std::array<double, kMaxColumns + 1> InList1;
extern std::array<double, kMaxColumns + 1> InList2;
extern int InCount1;
extern int InCount2;
// Name + relation display text + value text, e.g. "Weight > 5" or "Machine in [1,3]".
extern std::string ConditionText1;
extern std::string ConditionText2;

// The relation as shown in the combo box: "All", "=", ... "in", "Not in".
std::string ProcessIfRelationText(std::uint8_t relation);
// True when Process If is off or row r meets the conditions.
bool IsRowSelected(int row);
// IsRowSelected for rows 1..rows at once (index 0 unused); much faster over long columns.
void SelectRows(int rows, std::vector<std::uint8_t>& selected);

// One condition as the dialog hands it over.
struct ProcessIfCondition {
    int Column = 0;
    std::string Name;
    std::uint8_t Relation = kRelAll;
    std::string ValueText;
};
// Why a condition cannot be taken as it stands: empty when it can (it is absent, its value is a
// number, or its relation takes a list and the list is not empty), else the message that names its
// value box `box` ("Value 1 is not a number!"). Rows compared with no number would all be left out.
std::string ProcessIfConditionProblem(const ProcessIfCondition& condition, const std::string& box);
// Stores the conditions as the Process If dialog's OK does (an "in" list is parsed with
// ParseNumberList). Returns the status text ("Process If: ..." or "Process If Off").
std::string ApplyProcessIf(const ProcessIfCondition& first, const ProcessIfCondition& second, bool orJoin);
// Process If off, both conditions reset (used by every new table).
void ProcessIfOff();

} // namespace kivspc
