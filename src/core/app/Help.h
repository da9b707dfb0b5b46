// SPDX-License-Identifier: GPL-3.0-or-later
// Help by topic number, and the maker's web site and update check.
#pragma once

#include <string>

namespace kivspc {

// Help topics the windows of the program open.
enum HelpTopic : int {
    kHelpContents = 0,
    kHelpIntroduction = 100,
    kHelpMainForm = 500,
    kHelpControlLimits = 3000,
    kHelpVarSetup = 3700,
    kHelpVarChart = 3750,
    kHelpChartTitles = 3760,
    kHelpPointLabel = 3770,
    kHelpChartInfo = 3780,
    kHelpAttrSetup = 3800,
    kHelpAttrChart = 3850,
    kHelpControlTests = 4380,
    kHelpCapabilitySetup = 5000,
    kHelpCapabilityAnalysis = 5100,
    kHelpDistCalc = 5150,
    kHelpFixedDistParam = 5160,
    kHelpDataEditor = 7000,
    kHelpConfigureSave = 7200,
    kHelpMissingValues = 7300,
    kHelpTransform = 7400,
    kHelpRunNumbers = 7500,
    kHelpAutoRecode = 7550,
    kHelpProcessIf = 7600,
    kHelpWeightCases = 7650,
    kHelpComputeVariables = 7700,
    kHelpFind = 7800,
};

// Reads the web help base from the settings store (value kWebHelpSetting under SettingsKey);
// absent or empty keeps help local.
void LoadWebHelpBase();
// With a web help base: opens base + n in the browser ("WEB Site not accessible" on failure).
// Otherwise the help viewer shows topic n ("The Help file was not found." when it has none).
void ShowHelpTopic(int n);
// The same for the contents.
void ShowHelpContents();
// The maker's web site, and the update check for this version.
std::string WebSiteAddress();
std::string UpdateCheckAddress();
void OpenWebSite();
void CheckForUpdates();

} // namespace kivspc
