// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiFixture.h"

#include "app/Kivspc_Main.h"
#include "app/MRUFilesUnit.h"
#include "app/Settings.h"
#include "app/SharedState.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using kivspc::gui::TMainForm_KIVSPC;

TEST_F(GuiTest, MainWindowHasItsButtonsAndStoresItsPositionOnClose) {
    {
        TMainForm_KIVSPC main;
        for (const char* name : {"Button_DataEditor", "Button_Variables", "Button_Attributes",
                                 "Button_CLCalc", "Button_Capability", "Button_Help"}) {
            auto* button = main.findChild<QPushButton*>(name);
            ASSERT_NE(button, nullptr) << name;
            EXPECT_FALSE(button->text().isEmpty()) << name;
        }
        EXPECT_EQ(Child<QPushButton>(&main, "Button_Capability")->text(), "&Capability/Performance");
        // A first start creates both values with the designed position.
        EXPECT_EQ(main.pos(), QPoint(3, 2));

        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        QTRY_VERIFY(main.FirstActivationDone());
        EXPECT_EQ(main.windowTitle(), "Kivspc");
        EXPECT_EQ(main.y(), 0);
        main.move(40, 0);
        EXPECT_TRUE(main.close());
    }
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Settings/MainTop").toInt(), 0);
    EXPECT_EQ(settings.value("Settings/MainLeft").toInt(), 40);
}

TEST_F(GuiTest, StoredPositionIsRestored) {
    kivspc::WriteSettingInteger(kivspc::SettingsKey, "MainTop", 120);
    kivspc::WriteSettingInteger(kivspc::SettingsKey, "MainLeft", 250);
    TMainForm_KIVSPC main;
    EXPECT_EQ(main.pos(), QPoint(250, 120));
}

TEST_F(GuiTest, SettingsStoreSemanticsOverQSettings) {
    using namespace kivspc;
    EXPECT_EQ(ReadSettingString(SettingsKey, "StdControlTestCheck"), "");
    EXPECT_EQ(StatErrorCode, 1) << "the key does not exist yet";
    EXPECT_EQ(ReadSettingInteger(SettingsKey, "MainTop", 2), 2);
    EXPECT_EQ(StatErrorCode, 0);
    EXPECT_EQ(ReadSettingString(SettingsKey, "MainTop"), "2") << "the default was written";
    EXPECT_EQ(ReadSettingString(SettingsKey, "Absent"), "");
    EXPECT_EQ(StatErrorCode, 0);
    WriteSettingString(MRUKey, "File1", "/data/a b.kivs");
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(settings.value("MRU Files/File1").toString(), "/data/a b.kivs");
}

TEST_F(GuiTest, CommandLineIsOnePathAndAtLastOpensTheMostRecentFile) {
    EXPECT_EQ(TMainForm_KIVSPC::CommandLinePath({"kivspc", "/tmp/My", "Data", "File.kivs "}),
              "/tmp/My Data File.kivs");
    EXPECT_EQ(TMainForm_KIVSPC::CommandLinePath({"kivspc"}), "");

    QTemporaryDir dir;
    const QString file = dir.filePath("with blanks.kivs");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("A\tB\r\n1\t2\r\n");
    f.close();
    kivspc::MRUFiles().Add(file.toStdString());

    struct Case {
        QString argument;
        bool opens;
    };
    for (const Case& c : {Case{"@last", true}, Case{"@LaSt", true}, Case{file, true},
                          Case{dir.filePath("missing.kivs"), false}, Case{"", false}}) {
        TMainForm_KIVSPC main;
        main.SetCommandLinePath(c.argument);
        QSignalSpy spy(&main, &TMainForm_KIVSPC::DataFileRequested);
        main.show();
        QTRY_VERIFY(main.FirstActivationDone());
        ASSERT_EQ(spy.count(), c.opens ? 1 : 0) << c.argument.toStdString();
        if (c.opens) {
            EXPECT_EQ(spy.at(0).at(0).toString(), file);
        }
        main.close();
    }
}

TEST_F(GuiTest, AtLastWithAnEmptyListOpensNothing) {
    TMainForm_KIVSPC main;
    main.SetCommandLinePath("@LAST");
    QSignalSpy spy(&main, &TMainForm_KIVSPC::DataFileRequested);
    main.show();
    QTRY_VERIFY(main.FirstActivationDone());
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(GuiTest, RecentFilesAppearInTheFileMenu) {
    kivspc::MRUFiles().Add("/data/first.kivs");
    kivspc::MRUFiles().Add("/data/second.kivs");
    TMainForm_KIVSPC main;
    EXPECT_TRUE(Child<QAction>(&main, "MenuLineMRU")->isVisible());
    EXPECT_EQ(Child<QAction>(&main, "MRFile1")->text(), "&1  /data/second.kivs");
    EXPECT_EQ(Child<QAction>(&main, "MRFile2")->text(), "&2  /data/first.kivs");
    EXPECT_FALSE(Child<QAction>(&main, "MRFile3")->isVisible());
}
