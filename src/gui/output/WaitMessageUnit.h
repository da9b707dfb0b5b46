// SPDX-License-Identifier: GPL-3.0-or-later
// The self-closing notice window.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTimer;

namespace kivspc::gui {

class TWaitMessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit TWaitMessageDialog(QWidget* parent = nullptr);
    void ShowText(const QString& text, int seconds);
    QString Text() const;

private:
    QLabel* text_;
    QTimer* timer_;
};

// Shows "Notice" with the text for the given number of seconds; a second call while it is
// shown replaces the text and starts the time again.
void ShowWaitMessage(const QString& text, int seconds);
// The notice on screen, or null.
TWaitMessageDialog* CurrentWaitMessage();

} // namespace kivspc::gui
