// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kivspc::gui {

// The program's entry sequence: shared state, the Qt platform, the main window and the
// splash; returns when the main window has closed.
int RunKivspc(int argc, char** argv);

// Start-up values of the program-wide state (also used by GUI tests).
void InitProgramState();

} // namespace kivspc::gui
