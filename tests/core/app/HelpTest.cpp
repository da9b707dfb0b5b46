// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "app/Help.h"
#include "app/Settings.h"
#include "app/SharedState.h"

using namespace kivspc;

namespace {

class HelpTest : public CoreTest {};

TEST_F(HelpTest, HelpStaysLocalUnlessAWebBaseIsConfigured) {
    LoadWebHelpBase();
    EXPECT_EQ(WebHelpBase, "");
    ShowHelpTopic(7000);
    ShowHelpContents();
    EXPECT_EQ(platform.HelpShown, (std::vector<int>{7000, kHelpContents}));
    EXPECT_TRUE(platform.Opened.empty());
    EXPECT_TRUE(platform.Messages.empty());

    platform.HelpFound = false;
    ShowHelpTopic(4242);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "warning");
    EXPECT_EQ(platform.Messages[0].text, "The Help file was not found.");
}

TEST_F(HelpTest, AConfiguredWebBaseTakesEveryHelpCommandToTheWeb) {
    WriteSettingString(SettingsKey, kWebHelpSetting, " https://help.example/h?s ");
    LoadWebHelpBase();
    ShowHelpTopic(7600);
    ShowHelpContents();
    EXPECT_EQ(platform.Opened,
              (std::vector<std::string>{"https://help.example/h?s7600", "https://help.example/h?scontents"}));
    EXPECT_TRUE(platform.HelpShown.empty());

    platform.ShellOpenSucceeds = false;
    for (auto command : {+[] { ShowHelpTopic(100); }, +[] { OpenWebSite(); }, +[] { CheckForUpdates(); }}) {
        platform.Messages.clear();
        command();
        ASSERT_EQ(platform.Messages.size(), 1u);
        EXPECT_EQ(platform.Messages[0].text, "WEB Site not accessible");
    }
}

TEST_F(HelpTest, TheUpdateCheckNamesTheRevision) {
    EXPECT_EQ(UpdateCheckAddress(), std::string(kWebHost) + "/cgi-local/updatecheck.cgi?p=S&rev=071215");
    EXPECT_EQ(WebSiteAddress(), kWebHost);
}

} // namespace
