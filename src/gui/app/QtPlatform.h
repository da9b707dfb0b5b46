// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt side of the platform seam: message boxes, the busy cursor, a progress window,
// QSettings as the settings store, the clipboard and the desktop's default handlers.
#pragma once

#include "app/Platform.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;

namespace kivspc::gui {

// Keys are paths such as "\Software\Kiv Programs\Kivspc\Settings"; they map to groups of the
// QSettings store of organization "Kiv Programs", application "Kivspc" ("Settings", "MRU Files").
class QtSettingsStore : public SettingsStore {
public:
    bool KeyExists(const std::string& key) override;
    bool OpenKey(const std::string& key, bool create) override;
    std::optional<std::string> ReadValue(const std::string& key, const std::string& name) override;
    bool WriteString(const std::string& key, const std::string& name, const std::string& text) override;
    bool WriteInteger(const std::string& key, const std::string& name, long long value) override;

    static QString GroupOf(const std::string& key);
};

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    void Beep() override;
    void ShowErrorBox(const std::string& text) override;
    void ShowWarningBox(const std::string& text) override;
    void ShowInformationBox(const std::string& text) override;
    bool ConfirmYesNo(const std::string& text) override;
    Answer ConfirmYesNoCancel(const std::string& text) override;
    int Choose(const std::string& text, const std::vector<std::string>& choices, int defaultChoice) override;
    void SetBusy(bool busy) override;
    void ProgressBegin(const std::string& caption) override;
    void ProgressSet(int percent) override;
    void ProgressEnd() override;
    void KeepResponsive() override;
    SettingsStore& Settings() override { return store_; }
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& text) override;
    bool ShellOpen(const std::string& target) override;
    bool ShowHelp(int topic) override;

private:
    QtSettingsStore store_;
    QPointer<QProgressDialog> progress_;
    QElapsedTimer sinceEvents_;
};

inline QString ToQt(const std::string& s) { return QString::fromStdString(s); }
inline std::string FromQt(const QString& s) { return s.toStdString(); }

} // namespace kivspc::gui
