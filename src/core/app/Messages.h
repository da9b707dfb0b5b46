// SPDX-License-Identifier: GPL-3.0-or-later
// The standard messages: every one goes through the platform seam.
#pragma once

#include "app/Platform.h"

#include <string>
#include <vector>

namespace kivspc {

void Beep();
// A beep, then a modal error box with an OK button.
void ShowError(const std::string& text);
void ShowWarning(const std::string& text);
void ShowInformation(const std::string& text);
bool AskYesNo(const std::string& text);
Answer AskYesNoCancel(const std::string& text);
// One of several choices, or Cancel (-1); see Platform::Choose.
int AskChoice(const std::string& text, const std::vector<std::string>& choices, int defaultChoice);

} // namespace kivspc
