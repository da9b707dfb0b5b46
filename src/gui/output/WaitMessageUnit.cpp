// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/WaitMessageUnit.h"

#include "app/FormResize.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace kivspc::gui {

namespace {
QPointer<TWaitMessageDialog> notice;
}

TWaitMessageDialog::TWaitMessageDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("WaitMessageDialog");
    setWindowTitle("Notice");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    text_ = new QLabel(this);
    text_->setObjectName("Label_Message");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(16);
    layout->addWidget(icon);
    layout->addWidget(text_, 1);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        timer_->stop();
        close();
    });
}

void TWaitMessageDialog::ShowText(const QString& text, int seconds) {
    text_->setText(text);
    const int width = QFontMetrics(text_->font()).horizontalAdvance(text) + 92;
    setFixedWidth(width);
    adjustSize();
    CentreOnScreen(this);
    timer_->start(std::max(seconds, 0) * 1000);
    show();
    raise();
}

QString TWaitMessageDialog::Text() const { return text_->text(); }

void ShowWaitMessage(const QString& text, int seconds) {
    if (!notice) notice = new TWaitMessageDialog(QApplication::activeWindow());
    notice->ShowText(text, seconds);
}

TWaitMessageDialog* CurrentWaitMessage() { return notice; }

} // namespace kivspc::gui
