// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzTargets.h"

#include <iterator>

namespace kivspc::fuzz {

namespace {

// clang-format off
constexpr Target kTargets[] = {
    {"load_file", FuzzLoadFile},
    {"file_round_trip", FuzzFileRoundTrip},
    {"number_conversion", FuzzNumberConversion},
    {"number_lists", FuzzNumberLists},
    {"line_splitting", FuzzLineSplitting},
    {"key_filters", FuzzKeyFilters},
    {"extraction", FuzzExtraction},
    {"case_selection", FuzzCaseSelection},
    {"control_limits", FuzzControlLimits},
    {"limit_report", FuzzLimitReport},
    {"distributions", FuzzDistributions},
    {"printer_layout", FuzzPrinterLayout},
    {"table_edits", FuzzTableEdits},
    {"var_chart", FuzzVarChart},
    {"control_tests", FuzzControlTests},
    {"attr_chart", FuzzAttrChart},
    {"distribution_fit", FuzzDistributionFit},
    {"capability_analysis", FuzzCapabilityAnalysis},
    {"data_tools", FuzzDataTools},
};
// clang-format on

} // namespace

std::span<const Target> AllTargets() { return kTargets; }

const Target* FindTarget(std::string_view name) {
    for (const Target& t : kTargets)
        if (name == t.name) return &t;
    return nullptr;
}

} // namespace kivspc::fuzz
