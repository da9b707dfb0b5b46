// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Missu.h"

#include "app/MissingValue.h"
#include "app/NumberEntry.h"
#include "app/TextTools.h"

namespace kivspc {

static_assert(kMissEqual == 1 && kMissGreater == 2 && kMissGreaterEqual == 3 && kMissLess == 4 &&
                  kMissLessEqual == 5,
              "Missing When relations are the shared comparison codes");

TMissingRec MissingRec;
std::string MissingText1;
std::string MissingText2;

namespace {

std::string RuleText(std::uint8_t relation, const std::string& relationText, const std::string& valueText) {
    if (relation == kMissNone) return {};
    return "X " + relationText + " " + valueText;
}

} // namespace

std::string MissingRelationText(std::uint8_t relation) {
    switch (relation) {
    case kMissGreater: return ">";
    case kMissGreaterEqual: return ">=";
    case kMissLess: return "<";
    case kMissLessEqual: return "<=";
    default: return "=";
    }
}

std::string ApplyMissingRules(std::uint8_t relation1, const std::string& text1, std::uint8_t relation2,
                              const std::string& text2, std::string* refused) {
    if (refused) refused->clear();
    TMissingRec rec;
    rec.Relation1 = relation1 > kMissLessEqual ? std::uint8_t{kMissNone} : relation1;
    rec.Relation2 = relation2 > kMissLessEqual ? std::uint8_t{kMissNone} : relation2;
    rec.ValueText1 = std::string(CharPrefix(text1, 30));
    rec.ValueText2 = std::string(CharPrefix(text2, 30));
    std::string status;
    std::string problems;
    auto take = [&](int number, std::uint8_t& relation, std::string& relationText,
                    const std::string& valueText, double& value) {
        if (relation == kMissNone) return;
        double v = 0;
        const std::string problem =
            NumberEntryProblem(valueText, "Missing When value " + std::to_string(number), v);
        if (!problem.empty()) {
            relation = kMissNone;
            relationText.assign(1, '=');
            problems += (problems.empty() ? "" : "\r\n") + problem;
            return;
        }
        value = v;
        relationText = MissingRelationText(relation);
        status.append(status.empty() ? "Missing: X " : ", or X ");
        status.append(relationText);
        status.append(" ");
        status.append(valueText);
    };
    take(1, rec.Relation1, rec.RelationText1, rec.ValueText1, rec.Value1);
    take(2, rec.Relation2, rec.RelationText2, rec.ValueText2, rec.Value2);
    if (refused && !problems.empty())
        *refused =
            problems + (status.empty() ? "\r\nMissing When is off." : "\r\nThat rule is switched off.");
    if (rec.Relation1 == kMissNone && rec.Relation2 == kMissNone) {
        // No rule holds: Missing When is off, whatever was chosen.
        ResetMissingWhen();
        return "Missing Off";
    }
    rec.MissingOn = true;
    MissingRec = rec;
    MissingText1 = RuleText(rec.Relation1, rec.RelationText1, rec.ValueText1);
    MissingText2 = RuleText(rec.Relation2, rec.RelationText2, rec.ValueText2);
    return status;
}

void ResetMissingWhen() {
    MissingRec = TMissingRec{};
    MissingText1.clear();
    MissingText2.clear();
}

} // namespace kivspc
