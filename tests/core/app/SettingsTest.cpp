// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>

using namespace kivspc;

namespace {

class SettingsTest : public CoreTest {
protected:
    // The stored text of a value, or "<absent>".
    std::string Stored(const std::string& key, const std::string& name) {
        auto k = platform.Store.Keys.find(key);
        if (k == platform.Store.Keys.end()) return "<no key>";
        auto v = k->second.find(name);
        return v == k->second.end() ? "<absent>" : v->second;
    }
    bool KeyStored(const std::string& key) { return platform.Store.Keys.count(key) > 0; }
};

TEST_F(SettingsTest, IntegerReadCreatesTheDefault) {
    StatErrorCode = 7;
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 2), 2);
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_EQ(Stored(SettingsKey, "MainTop"), "2");

    // Once stored, the stored value wins over any default.
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 50), 2);
    WriteSettingInteger(SettingsKey, "MainLeft", -120);
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainLeft", 3), -120);
    EXPECT_EQ(StatErrorCode, 0);
}

TEST_F(SettingsTest, UnreadableIntegerFallsBackToTheDefault) {
    WriteSettingString(SettingsKey, "MainTop", "top of screen");
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 2), 2);
    EXPECT_EQ(Stored(SettingsKey, "MainTop"), "2");
    WriteSettingString(SettingsKey, "MainTop", "99999999999999999999");
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 2), 2);
}

TEST_F(SettingsTest, BrokenStoreReadsDefaultsAndSkipsWrites) {
    platform.Store.Broken = true;
    StatErrorCode = 0;
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 2), 2);
    EXPECT_EQ(StatErrorCode, 1);

    StatErrorCode = 0;
    EXPECT_EQ(ReadSettingString(SettingsKey, "StdControlTestCheck"), "");
    EXPECT_EQ(StatErrorCode, 1);

    StatErrorCode = 0;
    EXPECT_EQ(ReadSettingStringCreate(MRUKey, "File1"), "");
    EXPECT_EQ(StatErrorCode, 1);

    WriteSettingInteger(SettingsKey, "MainLeft", 5);
    WriteSettingString(SettingsKey, "ControlTestValues", "1 2 3");
    platform.Store.Broken = false;
    EXPECT_TRUE(platform.Store.Keys.empty());
    EXPECT_TRUE(platform.Messages.empty()); // never reported to the user
}

TEST_F(SettingsTest, PlainStringReadNeverCreates) {
    StatErrorCode = 0;
    EXPECT_EQ(ReadSettingString(SettingsKey, "StdControlTestCheck"), "");
    EXPECT_EQ(StatErrorCode, 1);
    EXPECT_FALSE(KeyStored(SettingsKey));

    WriteSettingString(SettingsKey, "StdControlTestCheck", "110101");
    EXPECT_EQ(ReadSettingString(SettingsKey, "StdControlTestCheck"), "110101");
    EXPECT_EQ(StatErrorCode, 0);

    // The key exists, the value does not: empty, success, and still absent afterwards.
    StatErrorCode = 5;
    EXPECT_EQ(ReadSettingString(SettingsKey, "MRControlTestCheck"), "");
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_EQ(Stored(SettingsKey, "MRControlTestCheck"), "<absent>");
}

TEST_F(SettingsTest, CreatingStringReadWritesAnEmptyValue) {
    StatErrorCode = 5;
    EXPECT_EQ(ReadSettingStringCreate(MRUKey, "File3"), "");
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_EQ(Stored(MRUKey, "File3"), "");

    WriteSettingString(MRUKey, "File3", "/data/run 7.kivs");
    EXPECT_EQ(ReadSettingStringCreate(MRUKey, "File3"), "/data/run 7.kivs");
    EXPECT_EQ(ReadSettingString(MRUKey, "File3"), "/data/run 7.kivs");
}

TEST_F(SettingsTest, KeysAreSeparate) {
    WriteSettingString(SettingsKey, "File1", "settings");
    WriteSettingString(MRUKey, "File1", "recent");
    EXPECT_EQ(ReadSettingString(SettingsKey, "File1"), "settings");
    EXPECT_EQ(ReadSettingString(MRUKey, "File1"), "recent");
}

} // namespace
