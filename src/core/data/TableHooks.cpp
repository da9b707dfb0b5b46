// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/TableHooks.h"

#include "app/Messages.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"

namespace kivspc {

std::function<bool()> SaveAsWithConfiguration;
std::function<void()> OnTableReplaced;
std::function<void()> OnTableSaved;
std::function<void()> OnValuesRebuilt;

bool OfferToSaveModifiedTable() {
    if (!DataTable().Modified) return true;
    switch (AskYesNoCancel("File Not Saved.  Save?")) {
    case Answer::Cancel: return false;
    // A save that was cancelled or failed must not let the table go.
    case Answer::Yes: return SaveAsWithConfiguration && SaveAsWithConfiguration();
    case Answer::No: return true;
    }
    return true;
}

void ClearTableHooks() {
    SaveAsWithConfiguration = nullptr;
    OnTableReplaced = nullptr;
    OnTableSaved = nullptr;
    OnValuesRebuilt = nullptr;
    OnTableEdited = nullptr;
}

} // namespace kivspc
