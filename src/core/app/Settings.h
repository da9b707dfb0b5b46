// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings store as the program uses it. Every call opens and closes the
// store by itself; nothing is cached. Reads report through StatErrorCode (0 or 1).
#pragma once

#include <string>

namespace kivspc {

// The stored integer, or default (which is then written) when absent.
int ReadSettingInteger(const std::string& key, const std::string& name, int defaultValue);
void WriteSettingInteger(const std::string& key, const std::string& name, int value);
// The stored text without creating anything; StatErrorCode 1 when the key does not exist.
std::string ReadSettingString(const std::string& key, const std::string& name);
// The stored text, creating the key and an empty value when absent.
std::string ReadSettingStringCreate(const std::string& key, const std::string& name);
void WriteSettingString(const std::string& key, const std::string& name, const std::string& text);

} // namespace kivspc
