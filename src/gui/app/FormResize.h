// SPDX-License-Identifier: GPL-3.0-or-later
// Enlarging a window to the screen with all its controls and fonts, and back.
#pragma once

class QAction;
class QWidget;

namespace kivspc::gui {

// Scales the window from `scale` to `target` (1 = designed size); scale takes the new value.
// Returns the factor applied to sizes and fonts (1 when nothing changed).
double ScaleForm(QWidget* window, double& scale, double target);
// Enlarges a window at its designed size to the work area, or returns it to the designed
// size; the action shows the next step ("Maximize Form Size" / "Minimize Form Size").
double ToggleFormSize(QWidget* window, QAction* button, double& scale);
// Moves a window to the middle of the screen's work area; a window not shown yet is centred
// again when it is shown, on the size its layout gives it then.
void CentreOnScreen(QWidget* window);
// Whenever the window is shown, it is moved (and if need be shrunk) so that it lies on the work
// area of its screen.
void KeepOnScreen(QWidget* window);

} // namespace kivspc::gui
