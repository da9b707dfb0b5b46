// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Help.h"

#include "app/Messages.h"
#include "app/Platform.h"
#include "app/Settings.h"
#include "app/SharedState.h"
#include "app/TextTools.h"

namespace kivspc {

namespace {

void OpenAddress(const std::string& address) {
    if (!CurrentPlatform().ShellOpen(address)) ShowError("WEB Site not accessible");
}

void ShowHelp(int topic, const std::string& webPage) {
    if (!WebHelpBase.empty()) {
        OpenAddress(WebHelpBase + webPage);
        return;
    }
    if (!CurrentPlatform().ShowHelp(topic)) ShowWarning("The Help file was not found.");
}

} // namespace

void LoadWebHelpBase() {
    // An absent settings key is no error here: help simply stays local.
    const std::int32_t status = StatErrorCode;
    WebHelpBase = TrimBlanks(ReadSettingString(SettingsKey, kWebHelpSetting));
    StatErrorCode = status;
}

void ShowHelpTopic(int n) { ShowHelp(n, std::to_string(n)); }

void ShowHelpContents() { ShowHelp(kHelpContents, "contents"); }

std::string WebSiteAddress() { return kWebHost; }

std::string UpdateCheckAddress() {
    // Characters 3 to 8 of the version: "20071215" gives "071215".
    const std::string revision = VersionText.size() > 2 ? VersionText.substr(2, 6) : VersionText;
    return std::string(kWebHost) + kUpdateCheckPath + revision;
}

void OpenWebSite() { OpenAddress(WebSiteAddress()); }

void CheckForUpdates() { OpenAddress(UpdateCheckAddress()); }

} // namespace kivspc
