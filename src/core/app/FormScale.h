// SPDX-License-Identifier: GPL-3.0-or-later
// The geometry of enlarging a window to the screen with all its controls, and back.
#pragma once

namespace kivspc {

// The part of the screen windows may cover, in pixels.
struct TWorkArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// A window's outer size in pixels.
struct TFormSize {
    int Width = 0;
    int Height = 0;
};

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
double ToggleFormTarget(const TWorkArea& work, const TFormSize& size, double scale);
// Scales a window of the given size (now at `scale`) to `target` within the work area.
TFormScale ScaleFormGeometry(const TWorkArea& work, const TFormSize& size, double scale, double target);

} // namespace kivspc
