// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces the data dialogs share: the OK/Cancel/Help row and captioned radio groups.
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
// (Button_Help) stays disabled until the help viewer is there. Right-aligned.
QHBoxLayout* MakeOkCancelHelp(QDialog* dialog, const QString& okText = "OK");

// A disabled "Help" button named `name`.
QPushButton* MakeHelpButton(QWidget* parent, const QString& name = "Button_Help");

// A group box named `name` with one radio button per item, laid out in `columns` columns
// (row by row); the button group numbers them 0, 1, ... in item order.
QGroupBox* MakeRadioGroup(QWidget* parent, const QString& name, const QString& title,
                          const QStringList& items, int columns, QButtonGroup** group);

// Checks the radio button of item `index` (none is checked for an index out of range).
void SetRadioIndex(QButtonGroup* group, int index);

} // namespace kivspc::gui
