// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Messages.h"

namespace kivspc {

void Beep() { CurrentPlatform().Beep(); }

void ShowError(const std::string& text) {
    Beep();
    CurrentPlatform().ShowErrorBox(text);
}

void ShowWarning(const std::string& text) { CurrentPlatform().ShowWarningBox(text); }

void ShowInformation(const std::string& text) { CurrentPlatform().ShowInformationBox(text); }

bool AskYesNo(const std::string& text) { return CurrentPlatform().ConfirmYesNo(text); }

Answer AskYesNoCancel(const std::string& text) { return CurrentPlatform().ConfirmYesNoCancel(text); }

int AskChoice(const std::string& text, const std::vector<std::string>& choices, int defaultChoice) {
    return CurrentPlatform().Choose(text, choices, defaultChoice);
}

} // namespace kivspc
