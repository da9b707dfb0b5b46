// SPDX-License-Identifier: GPL-3.0-or-later
// The geometry of enlarging a window to the screen with all its controls, and back.
#pragma once

namespace kivspc {

struct TFormScale {
    bool Changed = false; // false: leave the window as it is
    double Scale = 1;     // the window's new scale factor (1 = designed size)
    double Factor = 1;    // what every size and font is multiplied by
    int Width = 0;
    int Height = 0;
    int Left = 0; // centred in the work area
    int Top = 0;
};

// The target of the toggle: fill the work area from the designed size, or go back to it.
double ToggleFormTarget(int workWidth, int workHeight, int width, int height, double scale);
// Scales a window of width x height (now at `scale`) to `target` within the work area.
TFormScale ScaleFormGeometry(int workLeft, int workTop, int workWidth, int workHeight, int width, int height,
                             double scale, double target);

} // namespace kivspc
