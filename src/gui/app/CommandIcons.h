// SPDX-License-Identifier: GPL-3.0-or-later
// The icons of the commands on tool bars and menus: the desktop theme's standard icon where the
// theme has one, the program's own drawing where it has none.
#pragma once

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QString>
#include <QToolBar>

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
    SizeColumns,
    EditTitles,
    ZoomOut,
    ColorMode,
    FontLarger,
    FontSmaller
};

// The standard name of the command's icon ("document-print" ...); our drawing has the same name.
QString CommandIconName(Command command);
// The theme's icon of that name, else the drawing that comes with the program (scalable, so it
// stays sharp at any size).
QIcon CommandIcon(Command command);
// The drawing that comes with the program, whatever the theme has.
QIcon BundledCommandIcon(Command command);

// The window's fixed tool bar, "ToolBar1".
inline QToolBar* AddFormToolBar(QMainWindow* window) {
    QToolBar* bar = window->addToolBar("Tools");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    return bar;
}

// A tool button with the command's icon, named for tests, its hint as text and tooltip, running
// slot on receiver.
template <typename Receiver, typename Slot>
QAction* AddToolAction(QToolBar* bar, Receiver* receiver, const char* name, Command icon, const QString& hint,
                       Slot slot) {
    QAction* a = bar->addAction(CommandIcon(icon), hint);
    a->setObjectName(name);
    a->setToolTip(hint);
    QObject::connect(a, &QAction::triggered, receiver, slot);
    return a;
}

} // namespace kivspc::gui
