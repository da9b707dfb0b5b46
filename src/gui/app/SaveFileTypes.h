// SPDX-License-Identifier: GPL-3.0-or-later
// What every save dialog shares: the type chosen in the dialog gives the file its extension.
#pragma once

#include <QString>
#include <QStringList>

namespace kivspc::gui {

// The extensions a dialog's name filter names, in lower case and in order: "dat", "kiv", "kivs"
// for "Data Files (*.dat *.kiv *.kivs)"; none for "All Files (*)" or "All Files (*.*)".
QStringList FilterExtensions(const QString& nameFilter);
// The name a file chosen in a save dialog is written under. A name that ends in one of the type's
// extensions (any case) keeps it; any other name gets `preferred` when the type names it, else the
// type's first extension, added after the whole name ("run 1.5" becomes "run 1.5.kiv"; a trailing
// dot is dropped first). A type without extensions leaves a name with an extension as it is and
// gives `preferred` to a name without one.
QString PathForSaveType(const QString& chosenPath, const QStringList& typeExtensions,
                        const QString& preferred = {});
// The save dialog asked about the name as it was chosen; when the extension made it another name
// that exists, the user is asked before it is replaced. True when the file may be written.
bool MayReplaceRenamedFile(const QString& chosenPath, const QString& path);

} // namespace kivspc::gui
