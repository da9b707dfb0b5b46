// SPDX-License-Identifier: GPL-3.0-or-later
// The general tools: number formatting, text helpers, keystroke filters, messages and the
// settings store.
#pragma once

#include "app/KeyFilters.h"
#include "app/Messages.h"
#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/Settings.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
