// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutForm.h"

#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "app/SharedState.h"
#include "app/SplashForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kivspc::gui {

TForm_KivspcAbout::TForm_KivspcAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("Form_KivspcAbout");
    setWindowTitle("Kivspc About");
    setModal(true);

    auto* logo = new QLabel(this);
    logo->setPixmap(LogoPixmap(this));

    auto* version = new QLabel("Version: " + ToQt(VersionText), this);
    version->setObjectName("Label_Version");
    version->setAlignment(Qt::AlignCenter);

    auto* web = new QLabel(QString("<a href=\"%1\">%1</a>").arg(ToQt(kWebHost)), this);
    web->setObjectName("Label_WebAddress");
    web->setAlignment(Qt::AlignCenter);
    web->setCursor(Qt::PointingHandCursor);
    web->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(web, &QLabel::linkActivated, this, [](const QString& link) {
        if (!CurrentPlatform().ShellOpen(FromQt(link))) ShowError("WEB Site not accessible");
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logo, 0, Qt::AlignCenter);
    layout->addWidget(version);
    layout->addWidget(web);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kivspc::gui
