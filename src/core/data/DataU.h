// SPDX-License-Identifier: GPL-3.0-or-later
// The data set: the one table, its numeric cache and the run description.
#pragma once

#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/RunInfo.h"
