// SPDX-License-Identifier: GPL-3.0-or-later
// The edit commands (undo, cut, copy, paste, delete, select all) as every window shows them: one
// table of item names, captions and keys, the rule that enables them for a control, and the
// Edit menus and pop-up menus built from the table. The commands themselves run through
// DoEditCommand (output/OutputDataModule.h).
#pragma once

#include <QMenu>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <optional>
#include <span>

namespace kivspc::gui {

enum class EditCommand { Undo, Cut, Copy, Paste, Delete, SelectAll };

struct TEditCommandItem {
    EditCommand Command;
    const char* Name;    // the menu item's object name, which DoEditCommand dispatches on
    const char* Caption; // "&" marks the accelerator
    const char* Keys;    // the shortcut in an Edit menu, as QKeySequence reads it; empty: none
};

// Every edit command, in the order the menus show them.
std::span<const TEditCommandItem> EditCommandItems();
// The table's row of a command.
const TEditCommandItem& EditCommandItemOf(EditCommand command);
// The command a menu item's object name stands for ("Copy1": Copy); none for other names.
std::optional<EditCommand> EditCommandNamed(const QString& name);

// Whether the command can act on the control: undo when it has something to undo; cut, copy
// and delete when text is selected; select all on any single-line edit (also inside a spin or
// combo box) or output document box; paste on those when the clipboard holds text. Nothing is
// enabled for other controls or none.
bool EditCommandEnabled(EditCommand command, QWidget* control);
// Enables each edit command item of the menu as EditCommandEnabled says for the control; other
// items are left as they are.
void EnableEditCommands(QMenu* menu, QWidget* control);

// Appends the commands to a window's Edit menu, with their keys working while the focus is in
// the window; each runs DoEditCommand on the focused control. Opening the menu enables what the
// focused control allows; closing it enables every edit command again, so that the keys work
// whatever the menu last showed (the commands check what they act on).
void AddEditMenuCommands(QMenu* menu, std::initializer_list<EditCommand> commands);

// A pop-up menu of every edit command (without keys) that acts on the control it was last
// prepared for.
class TEditPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TEditPopupMenu(QWidget* parent = nullptr);
    // Aims the items at the control and enables what it allows.
    void PrepareFor(QWidget* control);

private:
    QPointer<QWidget> control_;
};

} // namespace kivspc::gui
