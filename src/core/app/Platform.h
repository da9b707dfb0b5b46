// SPDX-License-Identifier: GPL-3.0-or-later
// The seam between the core and the desktop: everything the core needs from the user's
// machine (messages, questions, the busy cursor, progress, the settings store, the clipboard).
// The GUI installs a Qt implementation; tests and batch programs use RecordingPlatform.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kivspc {

enum class Answer { Yes, No, Cancel };

// A per-user store of keys (paths such as "\Software\...\Settings") holding named values.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // True when the key exists; never creates it.
    virtual bool KeyExists(const std::string& key) = 0;
    // True when the key can be opened (and, with create, written); creates it when asked.
    virtual bool OpenKey(const std::string& key, bool create) = 0;
    // The value's text, or nothing when the value is absent.
    virtual std::optional<std::string> ReadValue(const std::string& key, const std::string& name) = 0;
    virtual bool WriteString(const std::string& key, const std::string& name, const std::string& text) = 0;
    virtual bool WriteInteger(const std::string& key, const std::string& name, long long value) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual void Beep() = 0;
    virtual void ShowErrorBox(const std::string& text) = 0;
    virtual void ShowWarningBox(const std::string& text) = 0;
    virtual void ShowInformationBox(const std::string& text) = 0;
    virtual bool ConfirmYesNo(const std::string& text) = 0;
    virtual Answer ConfirmYesNoCancel(const std::string& text) = 0;
    // A question answered by one of several named choices, with a Cancel button besides: the
    // index of the choice taken (defaultChoice is the one Enter takes), or -1 for Cancel.
    virtual int Choose(const std::string& text, const std::vector<std::string>& choices,
                       int defaultChoice) = 0;
    // Busy cursor: calls nest; every SetBusy(true) is matched by SetBusy(false).
    virtual void SetBusy(bool busy) = 0;
    virtual void ProgressBegin(const std::string& caption) = 0;
    virtual void ProgressSet(int percent) = 0;
    virtual void ProgressEnd() = 0;
    // Lets the user interface process pending events during long work.
    virtual void KeepResponsive() = 0;
    virtual SettingsStore& Settings() = 0;
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual bool ShellOpen(const std::string& target) = 0;
    // Shows help topic `topic` (0: the contents) in the program's help viewer; false when the
    // help has no such topic.
    virtual bool ShowHelp(int topic) = 0;
};

// The platform in use; never null (a RecordingPlatform until the program installs its own).
Platform& CurrentPlatform();
// Installs a platform; nullptr goes back to the built-in recorder. The caller keeps ownership.
void SetPlatform(Platform* platform);

// Shows the busy cursor for its lifetime, on every exit path.
class BusyCursor {
public:
    BusyCursor() { CurrentPlatform().SetBusy(true); }
    ~BusyCursor() { CurrentPlatform().SetBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A settings store held in memory; `Broken` makes every key impossible to open.
class MemorySettingsStore : public SettingsStore {
public:
    bool KeyExists(const std::string& key) override;
    bool OpenKey(const std::string& key, bool create) override;
    std::optional<std::string> ReadValue(const std::string& key, const std::string& name) override;
    bool WriteString(const std::string& key, const std::string& name, const std::string& text) override;
    bool WriteInteger(const std::string& key, const std::string& name, long long value) override;

    bool Broken = false;
    std::map<std::string, std::map<std::string, std::string>> Keys;
};

// Records everything the core shows and answers questions from a script (Yes when empty).
class RecordingPlatform : public Platform {
public:
    struct Message {
        std::string kind; // "error", "warning", "information", "yesno", "yesnocancel", "choice"
        std::string text;
    };

    void Beep() override { ++Beeps; }
    void ShowErrorBox(const std::string& text) override { Messages.push_back({"error", text}); }
    void ShowWarningBox(const std::string& text) override { Messages.push_back({"warning", text}); }
    void ShowInformationBox(const std::string& text) override { Messages.push_back({"information", text}); }
    bool ConfirmYesNo(const std::string& text) override;
    Answer ConfirmYesNoCancel(const std::string& text) override;
    // Scripted answers pick a choice too: Yes the first, No the second, Cancel cancels; without a
    // script the default choice is taken.
    int Choose(const std::string& text, const std::vector<std::string>& choices, int defaultChoice) override;
    void SetBusy(bool busy) override { BusyDepth += busy ? 1 : -1; }
    void ProgressBegin(const std::string& caption) override { ProgressCaption = caption; }
    void ProgressSet(int percent) override { ProgressPercent = percent; }
    void ProgressEnd() override {}
    void KeepResponsive() override { ++ResponsiveTicks; }
    SettingsStore& Settings() override { return Store; }
    std::string ClipboardText() override { return Clipboard; }
    void SetClipboardText(const std::string& text) override { Clipboard = text; }
    bool ShellOpen(const std::string& target) override {
        Opened.push_back(target);
        return ShellOpenSucceeds;
    }
    bool ShowHelp(int topic) override {
        HelpShown.push_back(topic);
        return HelpFound;
    }

    void Reset();
    // The next scripted answer (Yes when the script is used up).
    Answer NextAnswer();

    std::vector<Message> Messages;
    std::deque<Answer> Answers;
    int Beeps = 0;
    int BusyDepth = 0;
    int ResponsiveTicks = 0;
    int ProgressPercent = 0;
    std::string ProgressCaption;
    std::string Clipboard;
    std::vector<std::string> Opened;
    bool ShellOpenSucceeds = true;
    std::vector<int> HelpShown;
    bool HelpFound = true;
    // The choices and the default of the last Choose.
    std::vector<std::string> LastChoices;
    int LastDefaultChoice = -1;
    MemorySettingsStore Store;
};

} // namespace kivspc
