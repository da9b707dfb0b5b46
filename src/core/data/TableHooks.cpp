// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/TableHooks.h"

#include "app/Messages.h"
#include "data/DataTable.h"

namespace kivspc {

std::function<bool()> SaveAsWithConfiguration;
std::function<void()> OnTableReplaced;
std::function<void()> OnTableSaved;
std::function<void()> OnValuesRebuilt;

bool OfferToSaveModifiedTable() {
    if (!DataTable().Modified) return true;
    switch (AskYesNoCancel("File Not Saved.  Save?")) {
    case Answer::Cancel: return false;
    case Answer::Yes:
        if (SaveAsWithConfiguration) SaveAsWithConfiguration();
        return true;
    case Answer::No: return true;
    }
    return true;
}

void ClearTableHooks() {
    SaveAsWithConfiguration = nullptr;
    OnTableReplaced = nullptr;
    OnTableSaved = nullptr;
    OnValuesRebuilt = nullptr;
}

} // namespace kivspc
