// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the dialogs share: the OK/Cancel/Help row and captioned radio groups.
#pragma once

#include <QString>
#include <QStringList>

class QAbstractButton;
class QButtonGroup;
class QDialog;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace kivspc::gui {

// "OK" (the default button, named Button_OK) accepts, "Cancel" (Button_Cancel) rejects, "Help"
// (Button_Help) and F1 open the dialog's help topic. Right-aligned.
QHBoxLayout* MakeOkCancelHelp(QDialog* dialog, int helpTopic, const QString& okText = "OK");

// A "Help" button named `name` that opens the help topic.
QPushButton* MakeHelpButton(QWidget* parent, int helpTopic, const QString& name = "Button_Help");
// F1 in the dialog opens its help topic.
void AddHelpShortcut(QDialog* dialog, int helpTopic);

// A group box named `name` with one radio button per item, laid out in `columns` columns
// (row by row); the button group numbers them 0, 1, ... in item order.
QGroupBox* MakeRadioGroup(QWidget* parent, const QString& name, const QString& title,
                          const QStringList& items, int columns, QButtonGroup** group);

// Checks the radio button of item `index` (none is checked for an index out of range).
void SetRadioIndex(QButtonGroup* group, int index);

} // namespace kivspc::gui
