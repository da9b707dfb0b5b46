// SPDX-License-Identifier: GPL-3.0-or-later
// What every report window shares: the edit commands and pop-up menu of output documents,
// saving and printing a document.
#pragma once

#include "output/OutputPrinting.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QMenu;
class QWidget;

namespace kivspc {
class TOutputDocument;
}

namespace kivspc::gui {

class TEditPopupMenu;
class TOutputRichEdit;

// What the output documents share: the pop-up menu of their boxes. The application object owns
// the one module (OutputDataModule), so the menu goes before the application does.
class TOutputDataModule : public QObject {
    Q_OBJECT
public:
    explicit TOutputDataModule(QObject* application);
    ~TOutputDataModule() override;
    // The pop-up menu "PopupMenu1", built on first use.
    TEditPopupMenu& PopupMenu1();

private:
    std::unique_ptr<TEditPopupMenu> popupMenu1_;
};

// The application's output data module, made on first use.
TOutputDataModule& OutputDataModule();
// Drops the module with its menu (not while the menu is open); the next use builds them afresh.
void ResetOutputDataModule();

// Runs the edit command named by a menu item ("Undo1", "Cut1", "Copy1", "Paste1", "Delete1",
// "Select1") on the focused single-line edit or rich-text box; other names do nothing.
void DoEditCommand(const QString& itemName, QWidget* focused);
// The shared pop-up menu of output documents, prepared for the box it opens on.
QMenu* OutputPopupMenu(TOutputRichEdit* box);

// The filters of the save dialog, the rich-text one first (it is the one the dialog opens on).
QStringList OutputSaveFilters();
// The name a document chosen in the save dialog is saved under: a name ending in ".rtf", ".txt"
// or ".pdf" (any case) keeps it; any other name gets the extension of the chosen filter (of the
// rich-text filter when the filter is none of ours).
QString OutputSavePath(const QString& chosenPath, const QString& nameFilter);
// The save dialog, then rich text, plain text or PDF by the chosen name and filter. False when
// cancelled, when there is nothing to save or when writing failed (the message has been shown).
bool SaveOutputDocumentDialog(QWidget* parent, TOutputRichEdit* box, const QString& title);
// Saves a document under the name and filter chosen in the save dialog (see OutputSavePath).
// An empty document is not saved ("There is nothing to save."); a file the dialog did not ask
// about is replaced only when the user agrees. False when nothing was written.
bool SaveChosenOutputDocument(const TOutputDocument& document, const QString& chosenPath,
                              const QString& nameFilter, const QString& title);
// Saves without a dialog: ".rtf" rich text, ".pdf" a printed PDF, anything else plain text.
bool SaveOutputDocumentAs(const TOutputDocument& document, const QString& path, const QString& title);
// The print dialog, then printing with the program's page layout. False when cancelled.
bool PrintOutputDocumentDialog(QWidget* parent, TOutputRichEdit* box, const QString& title);
// Prints through the same layout into a PDF file.
bool PrintOutputDocumentToPdf(const TOutputDocument& document, const QString& title, const QString& path,
                              PrintOrientation orientation);

} // namespace kivspc::gui
