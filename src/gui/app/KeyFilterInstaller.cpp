// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyFilterInstaller.h"

#include "app/Messages.h"
#include "app/QtPlatform.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace kivspc::gui {

namespace {

KeyResult Apply(KeyFilterKind kind, const KeyInput& in) {
    switch (kind) {
    case KeyFilterKind::SignedReal: return SignedRealKeyFilter(in);
    case KeyFilterKind::UnsignedReal: return UnsignedRealKeyFilter(in);
    case KeyFilterKind::UnsignedRealCombo: return UnsignedRealComboKeyFilter(in);
    case KeyFilterKind::Proportion: return ProportionKeyFilter(in);
    case KeyFilterKind::Integer: return IntegerKeyFilter(in);
    }
    return IntegerKeyFilter(in);
}

} // namespace

KeyFilterInstaller::KeyFilterInstaller(QObject* watched, QLineEdit* edit, KeyFilterKind kind, QObject* parent)
    : QObject(parent), watched_(watched), edit_(edit), kind_(kind) {
    watched_->installEventFilter(this);
}

char32_t KeyFilterInstaller::KeyCode(const QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<char32_t>(key - Qt::Key_A + 1);
        return 0;
    }
    if (key == Qt::Key_Backspace) return kKeyBackspace;
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isPrint()) return text.at(0).unicode();
    return 0;
}

bool KeyFilterInstaller::eventFilter(QObject* watched, QEvent* event) {
    if (watched != watched_ || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const char32_t code = KeyCode(static_cast<QKeyEvent*>(event));
    if (code == 0) return false;

    KeyInput in;
    in.text = FromQt(edit_->text());
    if (edit_->hasSelectedText()) {
        in.selStart = edit_->selectionStart();
        in.selLength = static_cast<int>(edit_->selectedText().size());
    } else {
        in.selStart = edit_->cursorPosition();
    }
    in.key = code;
    const KeyResult result = Apply(kind_, in);
    switch (result.verdict) {
    case KeyVerdict::Accepted: return false;
    case KeyVerdict::Replaced:
        // Replaced as an edit of the user's, so that undo takes it back (setText would forget
        // the undo history).
        edit_->selectAll();
        edit_->insert(ToQt(result.text));
        edit_->setCursorPosition(result.caret);
        return true;
    case KeyVerdict::Rejected: Beep(); return true;
    }
    return false;
}

QLineEdit* TextFieldOf(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit;
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) return spin->findChild<QLineEdit*>();
    return nullptr;
}

bool InstallKeyFilter(QWidget* control, KeyFilterKind kind) {
    QLineEdit* text = TextFieldOf(control);
    if (!text) return false;
    new KeyFilterInstaller(text, text, kind, control);
    // A spin box takes the keys itself and hands them on to its text field: watch it too.
    if (qobject_cast<QAbstractSpinBox*>(control)) new KeyFilterInstaller(control, text, kind, control);
    return true;
}

} // namespace kivspc::gui
