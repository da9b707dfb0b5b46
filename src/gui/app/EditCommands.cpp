// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EditCommands.h"

#include "app/KeyFilterInstaller.h"
#include "output/OutputDataModule.h"
#include "output/OutputRichEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <array>

namespace kivspc::gui {

namespace {

constexpr std::array<TEditCommandItem, 6> kEditCommands{{
    {EditCommand::Undo, "Undo1", "&Undo", "Ctrl+Z"},
    {EditCommand::Cut, "Cut1", "Cu&t", "Ctrl+X"},
    {EditCommand::Copy, "Copy1", "&Copy", "Ctrl+C"},
    {EditCommand::Paste, "Paste1", "&Paste", "Ctrl+V"},
    {EditCommand::Delete, "Delete1", "&Delete", ""},
    {EditCommand::SelectAll, "Select1", "Select &All", "Ctrl+A"},
}};

// A command's row is found by its value.
constexpr bool RowsFollowTheCommands() {
    for (std::size_t row = 0; row < kEditCommands.size(); ++row)
        if (kEditCommands[row].Command != static_cast<EditCommand>(row)) return false;
    return kEditCommands.size() == static_cast<std::size_t>(EditCommand::SelectAll) + 1;
}
static_assert(RowsFollowTheCommands(), "one row per edit command, in the order of the enumeration");

QAction* AddCommandItem(QMenu* menu, EditCommand command) {
    const TEditCommandItem& item = EditCommandItemOf(command);
    QAction* action = menu->addAction(item.Caption);
    action->setObjectName(item.Name);
    return action;
}

} // namespace

std::span<const TEditCommandItem> EditCommandItems() { return kEditCommands; }

const TEditCommandItem& EditCommandItemOf(EditCommand command) {
    return kEditCommands[static_cast<std::size_t>(command)];
}

std::optional<EditCommand> EditCommandNamed(const QString& name) {
    for (const TEditCommandItem& item : kEditCommands)
        if (name == QLatin1String(item.Name)) return item.Command;
    return std::nullopt;
}

bool EditCommandEnabled(EditCommand command, QWidget* control) {
    QLineEdit* edit = TextFieldOf(control);
    auto* box = qobject_cast<TOutputRichEdit*>(control);
    const bool takesText = edit || box;
    switch (command) {
    case EditCommand::Undo:
        return (edit && edit->isUndoAvailable()) || (box && box->document()->isUndoAvailable());
    case EditCommand::Cut:
    case EditCommand::Copy:
    case EditCommand::Delete:
        return (edit && edit->hasSelectedText()) || (box && box->textCursor().hasSelection());
    case EditCommand::Paste: return takesText && !QApplication::clipboard()->text().isEmpty();
    case EditCommand::SelectAll: return takesText;
    }
    return false;
}

void EnableEditCommands(QMenu* menu, QWidget* control) {
    for (QAction* action : menu->actions())
        if (const std::optional<EditCommand> command = EditCommandNamed(action->objectName()))
            action->setEnabled(EditCommandEnabled(*command, control));
}

void AddEditMenuCommands(QMenu* menu, std::initializer_list<EditCommand> commands) {
    for (const EditCommand command : commands) {
        QAction* action = AddCommandItem(menu, command);
        action->setShortcut(QKeySequence(EditCommandItemOf(command).Keys));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const QString name = action->objectName();
        QObject::connect(action, &QAction::triggered, menu,
                         [name] { DoEditCommand(name, QApplication::focusWidget()); });
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu] { EnableEditCommands(menu, QApplication::focusWidget()); });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
        for (QAction* action : menu->actions())
            if (EditCommandNamed(action->objectName())) action->setEnabled(true);
    });
}

TEditPopupMenu::TEditPopupMenu(QWidget* parent) : QMenu(parent) {
    for (const TEditCommandItem& item : kEditCommands) {
        QAction* action = AddCommandItem(this, item.Command);
        const QString name = action->objectName();
        connect(action, &QAction::triggered, this, [this, name] {
            if (control_) DoEditCommand(name, control_);
        });
    }
}

void TEditPopupMenu::PrepareFor(QWidget* control) {
    control_ = control;
    EnableEditCommands(this, control);
}

} // namespace kivspc::gui
