// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace kivspc::gui {

// "Kivspc About": the version and the web site link.
class TForm_KivspcAbout : public QDialog {
    Q_OBJECT
public:
    explicit TForm_KivspcAbout(QWidget* parent = nullptr);
};

} // namespace kivspc::gui
