// SPDX-License-Identifier: GPL-3.0-or-later
// What every window of the program shares: being found again through the main window's
// navigation, the recently used files in its File menu, and its Help menu.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace kivspc::gui {

// Makes a window one of the program's windows: the navigation commands list it, front to back
// in the order the user last activated them.
void RegisterForm(QWidget* window);
// The registered windows that exist, frontmost first.
QList<QWidget*> FormsFrontToBack();
// Counts a window as the frontmost (when it is activated or brought forward).
void MoveFormToFront(QWidget* window);

// "View Next Visible Form" (hiddenToo false) and "View Next Open Form" (true): with three windows
// or more, the backmost one that qualifies comes to the front (a hidden one is shown).
void ViewNextForm(bool hiddenToo);
// Hides every window except the frontmost one.
void HideAllForms();
// Fills the forms menu: every window but the frontmost, by caption, checked when visible; the
// "(No Open Forms)" item when there is none, else a separator and "&Hide All Forms".
void FillFormsMenu(QMenu* menu);

// Loads a file into the data editor and shows the editor, which returns to `window` (windows
// other than the editor) under `returnCaption`; true when the file was loaded. The program
// installs it at start-up, so the windows' shared menus need not know the data editor.
using DataFileOpener =
    std::function<bool(const QString& path, QWidget* window, const QString& returnCaption)>;
void SetDataFileOpener(DataFileOpener opener);

// Adds a separator named separatorName and the items MRFile1..MRFile9 to a File menu; they are
// refreshed whenever the menu opens. Choosing one loads the file into the data editor, which
// returns to `window` (windows other than the editor) under `returnCaption`.
void AddRecentFileItems(QMenu* file, QWidget* window, const QString& returnCaption,
                        const char* separatorName = "MenuLineMRU");
// Shows the recently used files in the window's items: the separator only with a first entry,
// item n only with an entry n, captioned "&n  path".
void UpdateMenu(QWidget* window);
// Loads the file an item names (from the fifth character of its caption) and shows the data
// editor through the installed opener: "File Not Found!" for a missing file, only a beep for a
// ".PER" file.
bool OpenRecentFileFrom(QAction* item, QWidget* window, const QString& caption);

// Adds "&Contents" and the window's own help item (F1) for its topic to a Help menu.
void AddHelpItems(QMenu* help, int topic, const QString& caption, const char* itemName);

// What a window asks of SetUpFormMenus.
struct FormMenus {
    // A File menu that lists the recently used files, and how the data editor's return button
    // names this window when one of them is opened.
    QMenu* fileMenu = nullptr;
    QString returnCaption;
    const char* recentSeparator = "MenuLineMRU";
    // "&Form Resize" in the View menu (created when the window has none yet).
    std::function<void()> formResize;
    // The Help menu's own item ("&Help on ...", F1) and its topic.
    int helpTopic = 0;
    QString helpCaption;
    const char* helpItemName = "HelponForm1";
};
// Gives a window what every window of the program has: a place in the navigation, the recently
// used files, "&Form Resize" and the Help menu, as asked.
void SetUpFormMenus(QMainWindow* window, const FormMenus& menus);

} // namespace kivspc::gui
