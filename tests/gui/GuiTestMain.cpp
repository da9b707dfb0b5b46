// SPDX-License-Identifier: GPL-3.0-or-later
// GUI tests run offscreen in one QApplication, with the settings store in a temporary folder.
#include "GuiFixture.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

QString GuiTest::configHome;

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    GuiTest::configHome = config.path();
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Kiv Programs");
    QApplication::setApplicationName("Kivspc");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
