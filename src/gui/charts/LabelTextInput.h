// SPDX-License-Identifier: GPL-3.0-or-later
// "Enter Text for Point": a short text for a clicked point, opened just above the mouse.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QLineEdit;

namespace kivspc::gui {

// Where the dialog goes: its bottom 20 pixels above the mouse, centred on it, and never beyond
// the edges of the screen area.
QPoint PointLabelPosition(QPoint mouse, QSize dialog, QRect screen);

class TForm_PointLabel : public QDialog {
    Q_OBJECT
public:
    TForm_PointLabel(const QString& text, QWidget* parent = nullptr);
    QString Text() const;
    void accept() override;

private:
    QLineEdit* text_;
};

// The edited text when the dialog is closed with OK; nothing when it is cancelled.
std::optional<QString> EnterPointLabel(const QString& text, QPoint mouseGlobal, QWidget* parent = nullptr);

} // namespace kivspc::gui
