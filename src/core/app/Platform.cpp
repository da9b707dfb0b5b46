// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

namespace kivspc {

namespace {
RecordingPlatform& DefaultPlatform() {
    static RecordingPlatform platform;
    return platform;
}
Platform* installed = nullptr;
} // namespace

Platform& CurrentPlatform() { return installed ? *installed : DefaultPlatform(); }

void SetPlatform(Platform* platform) { installed = platform; }

bool MemorySettingsStore::KeyExists(const std::string& key) { return !Broken && Keys.count(key) > 0; }

bool MemorySettingsStore::OpenKey(const std::string& key, bool create) {
    if (Broken) return false;
    if (create) Keys[key];
    return Keys.count(key) > 0;
}

std::optional<std::string> MemorySettingsStore::ReadValue(const std::string& key, const std::string& name) {
    if (Broken) return std::nullopt;
    auto k = Keys.find(key);
    if (k == Keys.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

bool MemorySettingsStore::WriteString(const std::string& key, const std::string& name,
                                      const std::string& text) {
    if (Broken) return false;
    Keys[key][name] = text;
    return true;
}

bool MemorySettingsStore::WriteInteger(const std::string& key, const std::string& name, long long value) {
    return WriteString(key, name, std::to_string(value));
}

Answer RecordingPlatform::NextAnswer() {
    if (Answers.empty()) return Answer::Yes;
    Answer a = Answers.front();
    Answers.pop_front();
    return a;
}

bool RecordingPlatform::ConfirmYesNo(const std::string& text) {
    Messages.push_back({"yesno", text});
    return NextAnswer() == Answer::Yes;
}

Answer RecordingPlatform::ConfirmYesNoCancel(const std::string& text) {
    Messages.push_back({"yesnocancel", text});
    return NextAnswer();
}

int RecordingPlatform::Choose(const std::string& text, const std::vector<std::string>& choices,
                              int defaultChoice) {
    Messages.push_back({"choice", text});
    LastChoices = choices;
    LastDefaultChoice = defaultChoice;
    if (Answers.empty()) return defaultChoice;
    switch (NextAnswer()) {
    case Answer::Yes: return 0;
    case Answer::No: return choices.size() > 1 ? 1 : 0;
    case Answer::Cancel: return -1;
    }
    return -1;
}

void RecordingPlatform::Reset() {
    Messages.clear();
    Answers.clear();
    Beeps = 0;
    BusyDepth = 0;
    ResponsiveTicks = 0;
    ProgressPercent = 0;
    ProgressCaption.clear();
    Clipboard.clear();
    Opened.clear();
    ShellOpenSucceeds = true;
    HelpShown.clear();
    HelpFound = true;
    LastChoices.clear();
    LastDefaultChoice = -1;
    Store = MemorySettingsStore{};
}

} // namespace kivspc
