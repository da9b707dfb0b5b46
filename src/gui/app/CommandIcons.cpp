// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandIcons.h"

namespace kivspc::gui {

QString CommandIconName(Command command) {
    switch (command) {
    case Command::Return: return "go-previous";
    case Command::Save: return "document-save";
    case Command::Print: return "document-print";
    case Command::Copy: return "edit-copy";
    case Command::Paste: return "edit-paste";
    case Command::Enlarge: return "view-fullscreen";
    case Command::Restore: return "view-restore";
    case Command::Help: return "help-contents";
    case Command::Close: return "window-close";
    case Command::OpenForms: return "view-list";
    case Command::Open: return "document-open";
    case Command::MainForm: return "go-home";
    case Command::ProcessIf: return "view-filter";
    // No theme names these two: our own drawings serve.
    case Command::Transform: return "transform";
    case Command::SizeColumns: return "zoom-fit-width";
    case Command::EditTitles: return "insert-text";
    case Command::ZoomOut: return "zoom-out";
    case Command::ColorMode: return "color-mode";
    case Command::FontLarger: return "format-font-size-more";
    case Command::FontSmaller: return "format-font-size-less";
    }
    return {};
}

QIcon BundledCommandIcon(Command command) {
    return QIcon(":/kivspc/icons/" + CommandIconName(command) + ".svg");
}

QIcon CommandIcon(Command command) {
    return QIcon::fromTheme(CommandIconName(command), BundledCommandIcon(command));
}

} // namespace kivspc::gui
