// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormScale.h"

#include <algorithm>
#include <cmath>

namespace kivspc {

double ToggleFormTarget(const TWorkArea& work, const TFormSize& size, double scale) {
    if (scale != 1 || size.Width <= 0 || size.Height <= 0) return 1;
    return std::max(static_cast<double>(work.Height) / size.Height,
                    static_cast<double>(work.Width) / size.Width);
}

TFormScale ScaleFormGeometry(const TWorkArea& work, const TFormSize& size, double scale, double target) {
    TFormScale result;
    result.Scale = scale;
    if (!(target > 1)) target = 1;
    if (!(scale > 0) || size.Width <= 0 || size.Height <= 0 || target == scale) return result;
    // A window that already overflows the work area is not enlarged further.
    if (target > scale && (size.Width > work.Width || size.Height > work.Height)) return result;
    if (work.Width < target * size.Width / scale) target = work.Width * scale / size.Width;
    if (work.Height < target * size.Height / scale) target = work.Height * scale / size.Height;
    result.Changed = true;
    result.Factor = target / scale;
    result.Scale = target;
    result.Width = static_cast<int>(std::lround(size.Width * result.Factor));
    result.Height = static_cast<int>(std::lround(size.Height * result.Factor));
    result.Left = work.Left + (work.Width - result.Width) / 2;
    result.Top = work.Top + (work.Height - result.Height) / 2;
    return result;
}

} // namespace kivspc
