// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormScale.h"

#include <algorithm>
#include <cmath>

namespace kivspc {

double ToggleFormTarget(int workWidth, int workHeight, int width, int height, double scale) {
    if (scale != 1 || width <= 0 || height <= 0) return 1;
    return std::max(static_cast<double>(workHeight) / height, static_cast<double>(workWidth) / width);
}

TFormScale ScaleFormGeometry(int workLeft, int workTop, int workWidth, int workHeight, int width, int height,
                             double scale, double target) {
    TFormScale result;
    result.Scale = scale;
    if (!(target > 1)) target = 1;
    if (!(scale > 0) || width <= 0 || height <= 0 || target == scale) return result;
    // A window that already overflows the work area is not enlarged further.
    if (target > scale && (width > workWidth || height > workHeight)) return result;
    if (workWidth < target * width / scale) target = workWidth * scale / width;
    if (workHeight < target * height / scale) target = workHeight * scale / height;
    result.Changed = true;
    result.Factor = target / scale;
    result.Scale = target;
    result.Width = static_cast<int>(std::lround(width * result.Factor));
    result.Height = static_cast<int>(std::lround(height * result.Factor));
    result.Left = workLeft + (workWidth - result.Width) / 2;
    result.Top = workTop + (workHeight - result.Height) / 2;
    return result;
}

} // namespace kivspc
