// SPDX-License-Identifier: GPL-3.0-or-later
// Program-wide state that every window and routine shares.
#pragma once

#include <cstdint>
#include <string>

namespace kivspc {

inline constexpr const char* kDefaultProgramName = "Kivspc";
inline constexpr const char* kDefaultVersionText = "20071215";
// The maker's web addresses, all in one place.
inline constexpr const char* kWebHost = "https://www.kivprograms.example";
inline constexpr const char* kWebHelpPath = "/help/help.php?s";
inline constexpr const char* kUpdateCheckPath = "/cgi-local/updatecheck.cgi?p=S&rev=";
// The settings value that, when set, sends help to a web help base address.
inline constexpr const char* kWebHelpSetting = "WebHelpBase";

extern std::string ProgramName;
// Build date shown as "Version: " + VersionText; characters 3 to 8 are the revision.
extern std::string VersionText;
// Web help address (a topic is this + its number); empty, the default, keeps help local.
extern std::string WebHelpBase;
extern std::string SettingsKey;
extern std::string MRUKey;
// Row mean, row standard deviation and row count follow the data columns in the cache.
extern std::uint8_t RowStatisticColumns;
// The local help file: the program folder + "KIVSTATS.HLP" (set when the main window is made).
extern std::string HelpFile;
// Status of the last operation that reports one; 0 means success.
extern std::int32_t StatErrorCode;

// Sets the values above to their start-up values (also used by test fixtures).
void InitSharedState();

} // namespace kivspc
