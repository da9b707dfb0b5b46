// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SplashForm.h"

#include "app/FormResize.h"
#include "app/QtPlatform.h"
#include "app/SharedState.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>
#include <QVBoxLayout>

namespace kivspc::gui {

QPixmap LogoPixmap(const QWidget* widget) {
    QSvgRenderer renderer(QStringLiteral(":/kivspc/logo.svg"));
    const qreal ratio = widget->devicePixelRatioF();
    QPixmap pixmap(renderer.defaultSize() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), renderer.defaultSize()));
    return pixmap;
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("SplashForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setStyleSheet("background: #1d3557;");

    auto* picture = new QLabel(this);
    picture->setObjectName("Image_Logo");
    picture->setPixmap(LogoPixmap(this));
    picture->setAccessibleName(ToQt(ProgramName));

    version_ = new QLabel(this);
    version_->setObjectName("Label_Version");
    version_->setAlignment(Qt::AlignCenter);
    version_->setStyleSheet("color: #f1faee; font-size: 11pt;");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->addWidget(picture, 0, Qt::AlignCenter);
    layout->addWidget(version_);
    adjustSize();
}

void TSplashForm::ShowFor(int milliseconds) {
    version_->setText("Version: " + ToQt(VersionText));
    adjustSize();
    CentreOnScreen(this);
    show();
    raise();
    QEventLoop loop;
    QTimer::singleShot(std::max(milliseconds, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace kivspc::gui
