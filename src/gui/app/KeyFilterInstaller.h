// SPDX-License-Identifier: GPL-3.0-or-later
// One reusable event filter that applies a keystroke filter to line edits, spin boxes and
// editable combo boxes.
#pragma once

#include "app/KeyFilters.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace kivspc::gui {

enum class KeyFilterKind { SignedReal, UnsignedReal, UnsignedRealCombo, Proportion, Integer };

class KeyFilterInstaller : public QObject {
    Q_OBJECT
public:
    // Filters the key presses `watched` receives, judging them by the text of `edit` (the
    // control itself, or the text field inside a spin box).
    KeyFilterInstaller(QObject* watched, QLineEdit* edit, KeyFilterKind kind, QObject* parent);

    // The character code a key press stands for: printable characters, Backspace (8) and the
    // Ctrl+letter control codes; 0 for keys that do not type (arrows, Delete, Enter, Tab ...).
    static char32_t KeyCode(const QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* watched_;
    QLineEdit* edit_;
    KeyFilterKind kind_;
};

// The text field of a control: the line edit itself, or the one inside a spin box or an
// editable combo box; null for other controls.
QLineEdit* TextFieldOf(QWidget* control);

// Applies the filter of `kind` to a QLineEdit, a QAbstractSpinBox or an editable QComboBox.
// Returns false when the control has no text field to filter.
bool InstallKeyFilter(QWidget* control, KeyFilterKind kind);

} // namespace kivspc::gui
