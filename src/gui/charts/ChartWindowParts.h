// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the chart setup and chart windows share: column lists that keep data order, showing and
// hiding controls, bringing a window back, checkable options and the axis decimals submenu.
#pragma once

#include <QString>

#include <functional>

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QWidget;

namespace kivspc::gui {

// A list of data columns: each entry is the column's tag and its name, so that sorting keeps
// data order; only the name is drawn. Several entries can be selected.
QListWidget* MakeColumnList(QWidget* parent, const QString& name, const QString& accessibleName);
// The column of a list entry (0 for none), and the entry of a column.
int EntryColumn(const QListWidgetItem* item);
QString ColumnEntry(int column);

// Shows or hides a control only when that changes something.
void SetShown(QWidget* w, bool shown);
// Shows a window again: restored when minimised, raised and given the focus.
void BringBack(QWidget* window);

// A checkable menu item, named `name`, that calls `changed` with its new state.
QAction* AddOption(QMenu* menu, const char* name, const QString& text, bool checked,
                   const std::function<void(bool)>& changed);
// "Axis Decimal &Places" with "&Floating" (-1) and "&0" to "&9": the chosen item is checked and
// the submenu's caption names it; `chosen` gets the number of places.
QMenu* AddAxisDecimalsMenu(QMenu* view, int current, const std::function<void(int)>& chosen);

} // namespace kivspc::gui
