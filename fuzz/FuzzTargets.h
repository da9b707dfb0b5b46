// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets: one function per core entry point that takes outside input. Each takes the
// raw input and returns 0; it stops the process (sanitizer report or failed check) on a fault.
// libFuzzer binaries call one of them; the replay runner calls them over their corpus folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kivspc::fuzz {

using TargetFunction = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name; // also the name of its corpus folder and of its fuzzer binary (fuzz_<name>)
    TargetFunction run;
};

// Every target, in the order of the README.
std::span<const Target> AllTargets();
// Null when there is no target of that name.
const Target* FindTarget(std::string_view name);

int FuzzLoadFile(const std::uint8_t* data, std::size_t size);
int FuzzFileRoundTrip(const std::uint8_t* data, std::size_t size);
int FuzzNumberConversion(const std::uint8_t* data, std::size_t size);
int FuzzNumberLists(const std::uint8_t* data, std::size_t size);
int FuzzLineSplitting(const std::uint8_t* data, std::size_t size);
int FuzzKeyFilters(const std::uint8_t* data, std::size_t size);
int FuzzExtraction(const std::uint8_t* data, std::size_t size);
int FuzzCaseSelection(const std::uint8_t* data, std::size_t size);
int FuzzControlLimits(const std::uint8_t* data, std::size_t size);
int FuzzLimitReport(const std::uint8_t* data, std::size_t size);
int FuzzDistributions(const std::uint8_t* data, std::size_t size);
int FuzzPrinterLayout(const std::uint8_t* data, std::size_t size);
int FuzzTableEdits(const std::uint8_t* data, std::size_t size);
int FuzzVarChart(const std::uint8_t* data, std::size_t size);
int FuzzControlTests(const std::uint8_t* data, std::size_t size);
int FuzzAttrChart(const std::uint8_t* data, std::size_t size);
int FuzzDistributionFit(const std::uint8_t* data, std::size_t size);
int FuzzCapabilityAnalysis(const std::uint8_t* data, std::size_t size);
int FuzzDataTools(const std::uint8_t* data, std::size_t size);

} // namespace kivspc::fuzz
