// SPDX-License-Identifier: GPL-3.0-or-later
// The program's state as a whole: one reset for every module of the core. It sits above the
// subsystems, which never include it.
#pragma once

namespace kivspc {

// Puts every module back to its start-up state: shared state, the data table and its cache, the
// extraction, Missing When, Process If, the transform, the current sample and the statistics, the
// output module, the in-memory copies of settings (recently used files, the blank-commas
// question, the tests for control with their codes), every chart global and the table's hooks. The settings
// store itself is left alone, and the random generator keeps its seed. Used at start-up and by every core
// test.
void ResetCoreState();

} // namespace kivspc
