// SPDX-License-Identifier: GPL-3.0-or-later
// The data editor's hooks into the life of the table. Core calls them; the data editor window is
// the one owner that sets them (tests may set them too). An unset hook does nothing.
#pragma once

#include <functional>

namespace kivspc {

// Runs "Save As" with its configuration dialog; false when the user cancelled. Called when a
// modified table is about to be replaced or the program ends, and by Save without a file name.
extern std::function<bool()> SaveAsWithConfiguration;
// After a new table was made or loaded (caption, status bar, change counters).
extern std::function<void()> OnTableReplaced;
// After the table was written to a file.
extern std::function<void()> OnTableSaved;
// After every rebuild of the numeric cache (status bar, change flag).
extern std::function<void()> OnValuesRebuilt;

// Offers to save a modified table ("File Not Saved.  Save?"): Yes saves through
// SaveAsWithConfiguration, No goes on, Cancel returns false. True at once for an unmodified table.
bool OfferToSaveModifiedTable();

// Unsets every hook.
void ClearTableHooks();

} // namespace kivspc
