// SPDX-License-Identifier: GPL-3.0-or-later
// Missing When: up to two rules that make values count as missing in every analysis.
#pragma once

#include "data/Relations.h"

#include <cstdint>
#include <string>

namespace kivspc {

// Relations of a Missing When rule (the codes of the shared comparisons).
enum MissingRelation : std::uint8_t {
    kMissNone = 0,
    kMissEqual,
    kMissGreater,
    kMissGreaterEqual,
    kMissLess,
    kMissLessEqual
};

struct TMissingRec {
    double Value1 = 0;
    double Value2 = 0;
    std::string ValueText1; // up to 30 characters
    std::string ValueText2;
    std::uint8_t Relation1 = kMissNone;
    std::uint8_t Relation2 = kMissNone;
    std::string RelationText1 = "=";
    std::string RelationText2 = "=";
    bool MissingOn = false;
};

extern TMissingRec MissingRec;
// "X " + relation + " " + value of each active rule, empty otherwise.
extern std::string MissingText1;
extern std::string MissingText2;

// The text of a relation: "=", ">", ">=", "<", "<=" ("=" for none).
std::string MissingRelationText(std::uint8_t relation);

// False for MissingValue and for values that meet an active rule.
inline bool IsValidValue(double x) {
    if (x == -2147483647.0) return false;
    if (!MissingRec.MissingOn) return true;
    return !RelationHolds(MissingRec.Relation1, x, MissingRec.Value1) &&
           !RelationHolds(MissingRec.Relation2, x, MissingRec.Value2);
}
// Stores the rules as the Missing Values dialog's OK does; a value text that is not a number
// switches its rule off, and with no rule left Missing When is off. Returns the status text
// ("Missing: X ..." or "Missing Off"); `refused`, when given, gets the message that names the
// value boxes whose rules were switched off (empty when none was).
std::string ApplyMissingRules(std::uint8_t relation1, const std::string& text1, std::uint8_t relation2,
                              const std::string& text2, std::string* refused = nullptr);
// Missing When off, both relation texts "=".
void ResetMissingWhen();

} // namespace kivspc
