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

// The save dialog asked about the name as it was chosen, not about one with an added extension:
// a file only the added extension names is replaced when the user agrees. True when the file may
// be written.
bool MayWriteSavePath(const QString& chosenPath, const QString& path);

} // namespace kivspc::gui
