// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

#include "app/Platform.h"
#include "app/SharedState.h"

#include <charconv>
#include <cstdint>

namespace kivspc {

namespace {
bool ParseInteger(const std::string& text, int& value) {
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e && *b == ' ')
        ++b;
    auto res = std::from_chars(b, e, value);
    return res.ec == std::errc() && res.ptr == e;
}
} // namespace

int ReadSettingInteger(const std::string& key, const std::string& name, int defaultValue) {
    SettingsStore& store = CurrentPlatform().Settings();
    if (!store.OpenKey(key, true)) {
        StatErrorCode = 1;
        return defaultValue;
    }
    StatErrorCode = 0;
    if (auto text = store.ReadValue(key, name)) {
        int v = 0;
        if (ParseInteger(*text, v)) return v;
    }
    store.WriteInteger(key, name, defaultValue);
    return defaultValue;
}

void WriteSettingInteger(const std::string& key, const std::string& name, int value) {
    SettingsStore& store = CurrentPlatform().Settings();
    if (store.OpenKey(key, true)) store.WriteInteger(key, name, value);
}

std::string ReadSettingString(const std::string& key, const std::string& name) {
    SettingsStore& store = CurrentPlatform().Settings();
    if (!store.KeyExists(key) || !store.OpenKey(key, false)) {
        StatErrorCode = 1;
        return {};
    }
    StatErrorCode = 0;
    return store.ReadValue(key, name).value_or(std::string{});
}

std::string ReadSettingStringCreate(const std::string& key, const std::string& name) {
    SettingsStore& store = CurrentPlatform().Settings();
    if (!store.OpenKey(key, true)) {
        StatErrorCode = 1;
        return {};
    }
    StatErrorCode = 0;
    if (auto text = store.ReadValue(key, name)) return *text;
    store.WriteString(key, name, {});
    return {};
}

void WriteSettingString(const std::string& key, const std::string& name, const std::string& text) {
    SettingsStore& store = CurrentPlatform().Settings();
    if (store.OpenKey(key, true)) store.WriteString(key, name, text);
}

} // namespace kivspc
