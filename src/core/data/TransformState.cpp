// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/Transfrm.h"

namespace kivspc {

TTransformRec TransformRec;

void TransformOff() { TransformRec.Kind = kTransformNone; }

void ResetTransform() { TransformRec = TTransformRec{}; }

} // namespace kivspc
