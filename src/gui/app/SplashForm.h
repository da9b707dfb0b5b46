// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPixmap;

namespace kivspc::gui {

// The program's picture, rendered for a widget's screen.
QPixmap LogoPixmap(const QWidget* widget);

// The borderless start-up window: the program's picture and its version line.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Shows the window centred on the desktop and keeps events flowing for `milliseconds`.
    void ShowFor(int milliseconds);

private:
    QLabel* version_;
};

} // namespace kivspc::gui
