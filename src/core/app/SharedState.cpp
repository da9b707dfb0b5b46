// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SharedState.h"

namespace kivspc {

std::string ProgramName = kDefaultProgramName;
std::string VersionText = kDefaultVersionText;
std::string WebHelpBase;
std::string SettingsKey = "\\Software\\Kiv Programs\\Kivspc\\Settings";
std::string MRUKey = "\\Software\\Kiv Programs\\Kivspc\\MRU Files";
std::uint8_t RowStatisticColumns = 3;
std::string HelpFile;
std::int32_t StatErrorCode = 0;

void InitSharedState() {
    ProgramName = kDefaultProgramName;
    VersionText = kDefaultVersionText;
    WebHelpBase.clear();
    SettingsKey = "\\Software\\Kiv Programs\\Kivspc\\Settings";
    MRUKey = "\\Software\\Kiv Programs\\Kivspc\\MRU Files";
    RowStatisticColumns = 3;
    HelpFile.clear();
    StatErrorCode = 0;
}

} // namespace kivspc
