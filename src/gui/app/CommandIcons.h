// SPDX-License-Identifier: GPL-3.0-or-later
// The icons of the commands on tool bars and menus: the desktop theme's standard icon where the
// theme has one, the program's own drawing where it has none.
#pragma once

#include <QIcon>
#include <QString>

namespace kivspc::gui {

enum class Command {
    Return,
    Save,
    Print,
    Copy,
    Paste,
    Enlarge,
    Restore,
    Help,
    Close,
    OpenForms,
    Open,
    MainForm,
    ProcessIf,
    Transform,
    SizeColumns
};

// The standard name of the command's icon ("document-print" ...); our drawing has the same name.
QString CommandIconName(Command command);
// The theme's icon of that name, else the drawing that comes with the program (scalable, so it
// stays sharp at any size).
QIcon CommandIcon(Command command);
// The drawing that comes with the program, whatever the theme has.
QIcon BundledCommandIcon(Command command);

} // namespace kivspc::gui
