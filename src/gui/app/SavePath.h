// SPDX-License-Identifier: GPL-3.0-or-later
// The name a file chosen in a save dialog is written under: the type chosen in the dialog decides
// the extension of a name typed without one of ours. Output documents and charts share it.
#pragma once

#include <QString>
#include <QStringList>

namespace kivspc::gui {

// A name ending in one of `extensions` (lower case, without the dot; any case in the name) keeps
// it. Any other name loses the dots at its end and gets the extension of the chosen filter
// ("png" for "PNG Images (*.png)"), or the first of `extensions` when the filter names none of
// them first ("All Files (*)"). A dot elsewhere in the name is not an extension ("run 1.5").
QString SavePathForFilter(const QString& chosenPath, const QString& nameFilter,
                          const QStringList& extensions);

// The extensions a dialog's name filter names, in lower case and in order: "dat", "kiv", "kivs"
// for "Data Files (*.dat *.kiv *.kivs)"; none for "All Files (*)" or "All Files (*.*)".
QStringList FilterExtensions(const QString& nameFilter);
// For a type of several extensions: a name that ends in one of the type's extensions (any case)
// keeps it; any other name gets `preferred` when the type names it, else the type's first
// extension, added after the whole name ("run 1.5" becomes "run 1.5.kiv"; a trailing dot is
// dropped first). A type without extensions leaves a name with an extension as it is and gives
// `preferred` to a name without one.
QString PathForSaveType(const QString& chosenPath, const QStringList& typeExtensions,
                        const QString& preferred = {});

// The save dialog asked about the name as it was chosen, not about one with an added extension:
// a file only the added extension names is replaced when the user agrees. True when the file may
// be written.
bool MayWriteSavePath(const QString& chosenPath, const QString& path);

} // namespace kivspc::gui
