// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/LabelTextInput.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "charts/ChartTexts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

QPoint PointLabelPosition(QPoint mouse, QSize dialog, QRect screen) {
    int left = mouse.x() - dialog.width() / 2;
    int top = mouse.y() - (20 + dialog.height());
    // Within the right and bottom edges first, so that the top and left edges win on a screen
    // too small for the dialog.
    left = std::min(left, screen.right() + 1 - dialog.width());
    top = std::min(top, screen.bottom() + 1 - dialog.height());
    left = std::max(left, screen.left());
    top = std::max(top, screen.top());
    return {left, top};
}

TForm_PointLabel::TForm_PointLabel(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName("Form_PointLabel");
    setWindowTitle("Enter Text for Point");
    text_ = new QLineEdit(text, this);
    text_->setObjectName("Edit_Text");
    text_->setMinimumWidth(240);
    auto* label = new QLabel("&Text:", this);
    label->setBuddy(text_);
    text_->setAccessibleName("Text");
    auto* last = new QPushButton("&Last Text", this);
    last->setObjectName("Button_LastText");
    last->setAutoDefault(false);
    if (!ChartTextMemory.PointText.empty())
        last->setToolTip(QString::fromStdString(ChartTextMemory.PointText));
    connect(last, &QPushButton::clicked, this,
            [this] { text_->setText(QString::fromStdString(ChartTextMemory.PointText)); });
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(text_, 1);
    row->addWidget(last);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(MakeOkCancelHelp(this, kHelpPointLabel));
    text_->selectAll();
}

QString TForm_PointLabel::Text() const { return text_->text(); }

void TForm_PointLabel::accept() {
    ChartTextMemory.PointText = text_->text().toStdString();
    QDialog::accept();
}

std::optional<QString> EnterPointLabel(const QString& text, QPoint mouseGlobal, QWidget* parent) {
    TForm_PointLabel dialog(text, parent);
    dialog.adjustSize();
    const QScreen* screen = QGuiApplication::screenAt(mouseGlobal);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    dialog.move(PointLabelPosition(mouseGlobal, dialog.frameGeometry().size(), area));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Text();
}

} // namespace kivspc::gui
