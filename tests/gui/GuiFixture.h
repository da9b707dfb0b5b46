// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Application.h"
#include "app/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <ostream>

#include <gtest/gtest.h>

// Each test starts with an empty settings store and the Qt platform installed.
class GuiTest : public testing::Test {
protected:
    void SetUp() override {
        QDir(configHome + "/Kiv Programs").removeRecursively();
        kivspc::SetPlatform(&platform);
        kivspc::gui::InitProgramState();
    }
    void TearDown() override { kivspc::SetPlatform(nullptr); }

    static QString SettingsFile() { return configHome + "/Kiv Programs/Kivspc.conf"; }

    kivspc::gui::QtPlatform platform;

public:
    static QString configHome;
};

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
