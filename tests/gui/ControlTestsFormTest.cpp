// SPDX-License-Identifier: GPL-3.0-or-later
// "Tests for Statistical Control" driven as a user would: check boxes and counts found by name,
// clicked and typed into.
#include "GuiFixture.h"

#include "app/Kivspc_Main.h"
#include "app/Platform.h"
#include "app/Settings.h"
#include "app/SharedState.h"
#include "charts/ControlTests.h"
#include "charts/ControlTestsForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Drives the next modal dialog once it shows; the driver must close it.
void WhenModal(std::function<void(QWidget*)> drive, int triesLeft = 50) {
    QTimer::singleShot(10, [drive, triesLeft] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            drive(dialog);
        else if (triesLeft > 0)
            WhenModal(drive, triesLeft - 1);
        else
            ADD_FAILURE() << "no modal dialog showed";
    });
}

QCheckBox* Check(const QObject* form, int number) {
    return Child<QCheckBox>(form, "CheckBox" + QString::number(number));
}
QSpinBox* Spin(const QObject* form, int number) {
    return Child<QSpinBox>(form, "SpinEdit" + QString::number(number));
}

// Settings that differ from the defaults in every control.
TControlTestSettings Chosen() {
    TControlTestSettings settings = DefaultControlTestSettings();
    settings.StdCheck = {false, true, false, true, false, true, true, false, true};
    settings.MRCheck = {true, true, false, false, true, false, false, true, true};
    settings.Counts[kCountRun] = 9;
    settings.Counts[kCountTrend] = 7;
    settings.Counts[kCountExcessVariability] = 5;
    settings.Counts[kCountLackOfVariability] = 99;
    settings.Counts[kCountAlternating] = 3;
    settings.Counts[kCountZoneRule1K] = 3;
    settings.Counts[kCountZoneRule1M] = 7;
    settings.Counts[kCountZoneRule2K] = 1;
    settings.Counts[kCountZoneRule2M] = 2;
    return settings;
}

class ControlTestsFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        kivspc::SetPlatform(&recorder);
    }
    RecordingPlatform recorder;
};

} // namespace

TEST_F(ControlTestsFormTest, ControlsShowTheSettings) {
    const TControlTestSettings chosen = Chosen();
    ControlTestSettings = chosen;
    TForm_ControlTests form;
    EXPECT_EQ(form.windowTitle(), "Tests for Statistical Control");
    for (int t = 1; t <= 9; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(Check(&form, t)->isChecked(), chosen.StdCheck[static_cast<std::size_t>(t - 1)]);
        if (t <= 8) {
            EXPECT_EQ(Check(&form, 10 + t)->isChecked(), chosen.MRCheck[static_cast<std::size_t>(t - 1)]);
        }
    }
    EXPECT_EQ(form.findChild<QCheckBox*>("CheckBox19"), nullptr) << "test 9 has no Moving Range box";
    const std::pair<int, int> spins[] = {{2, 9}, {3, 7},  {4, 5}, {5, 99}, {6, 3},
                                         {7, 3}, {17, 7}, {8, 1}, {18, 2}};
    for (const auto& [number, value] : spins)
        EXPECT_EQ(Spin(&form, number)->value(), value) << "SpinEdit" << number;
    // Unchanged controls give back exactly what they were shown, the hidden ninth flag included.
    EXPECT_EQ(form.ControlsSettings(), chosen);

    QStringList texts;
    for (const QLabel* label : form.findChildren<QLabel*>())
        texts << label->text();
    for (const char* text : {"Consecutive Points Alternating direction", "&Excess Variability:",
                             "&Lack of Variability:", "Consecutive Points Outside Two Standard Errors",
                             "Excessive &Moving Range between Two Points (3.6864 Standard Errors)"})
        EXPECT_TRUE(texts.contains(text)) << text;
    for (const char* button : {"Button_OK", "Button_Cancel", "Button_Save", "Button_Restore", "Button_Help"})
        EXPECT_NE(form.findChild<QPushButton*>(button), nullptr) << button;
    EXPECT_EQ(Child<QPushButton>(&form, "Button_OK")->text(), "O&K");
    EXPECT_EQ(Child<QPushButton>(&form, "Button_Save")->text(), "&Save as Default");
    EXPECT_EQ(Child<QPushButton>(&form, "Button_Restore")->text(), "Restore &Default");
}

// k stays below m: typing k up to m pushes m on, lowering m to k pulls k back; at the top of the
// range k gives way. Both zone rules, by typing and by the arrows.
TEST_F(ControlTestsFormTest, ZoneCountsStayConsistent) {
    TForm_ControlTests form;
    form.show();
    for (const auto& [k, m] : {std::pair{7, 17}, std::pair{8, 18}}) {
        SCOPED_TRACE(k);
        QSpinBox* least = Spin(&form, k);
        QSpinBox* window = Spin(&form, m);
        least->setValue(2);
        window->setValue(5);

        least->selectAll();
        QTest::keyClicks(least, "5");
        EXPECT_EQ(least->value(), 5);
        EXPECT_EQ(window->value(), 6);

        window->selectAll();
        QTest::keyClicks(window, "3");
        EXPECT_EQ(window->value(), 3);
        EXPECT_EQ(least->value(), 2);

        window->stepDown();
        EXPECT_EQ(window->value(), 2);
        EXPECT_EQ(least->value(), 1);

        least->setValue(99);
        EXPECT_EQ(window->value(), 99);
        EXPECT_EQ(least->value(), 98);

        // Left empty, a count takes its minimum.
        window->findChild<QLineEdit*>()->clear();
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(window, &out);
        EXPECT_EQ(window->value(), 2);
        EXPECT_EQ(least->value(), 1);
    }
}

TEST_F(ControlTestsFormTest, OkKeepsTheControlsAndCancelKeepsTheSettings) {
    const TControlTestSettings before = ControlTestSettings;
    WhenModal([](QWidget* dialog) {
        Check(dialog, 1)->click();
        Spin(dialog, 2)->setValue(12);
        Child<QPushButton>(dialog, "Button_Cancel")->click();
    });
    EXPECT_FALSE(ShowControlTestsDialog());
    EXPECT_EQ(ControlTestSettings, before);

    WhenModal([](QWidget* dialog) {
        Check(dialog, 1)->click();
        Check(dialog, 14)->click();
        Spin(dialog, 2)->setValue(12);
        Spin(dialog, 18)->setValue(4);
        Child<QPushButton>(dialog, "Button_OK")->click();
    });
    EXPECT_TRUE(ShowControlTestsDialog());
    TControlTestSettings expected = before;
    expected.StdCheck[0] = false;
    expected.MRCheck[3] = true;
    expected.Counts[kCountRun] = 12;
    expected.Counts[kCountZoneRule2M] = 4;
    EXPECT_EQ(ControlTestSettings, expected);
    EXPECT_TRUE(recorder.Store.Keys.empty()) << "OK keeps the settings for this run only";
}

TEST_F(ControlTestsFormTest, SaveAsDefaultThenRestore) {
    TForm_ControlTests form;
    // Restoring with nothing stored gives the built-in defaults.
    ControlTestSettings = Chosen();
    form.ShowSettings(ControlTestSettings);
    Child<QPushButton>(&form, "Button_Restore")->click();
    EXPECT_EQ(form.ControlsSettings(), DefaultControlTestSettings());
    EXPECT_EQ(ControlTestSettings, DefaultControlTestSettings());

    form.ShowSettings(Chosen());
    Spin(&form, 7)->setValue(4);
    Spin(&form, 17)->setValue(5);
    Spin(&form, 8)->setValue(2);
    Spin(&form, 18)->setValue(3);
    TControlTestSettings saved = Chosen();
    saved.Counts[kCountZoneRule1K] = 4;
    saved.Counts[kCountZoneRule1M] = 5;
    saved.Counts[kCountZoneRule2K] = 2;
    saved.Counts[kCountZoneRule2M] = 3;
    Child<QPushButton>(&form, "Button_Save")->click();
    EXPECT_EQ(recorder.Beeps, 1);
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].kind, "information");
    EXPECT_EQ(recorder.Messages[0].text, "Settings Saved as Default");
    EXPECT_EQ(ControlTestSettings, saved);
    EXPECT_EQ(ReadSettingString(SettingsKey, kStdControlTestCheck), "010101101");

    form.ShowSettings(DefaultControlTestSettings());
    ControlTestSettings = DefaultControlTestSettings();
    Child<QPushButton>(&form, "Button_Restore")->click();
    EXPECT_EQ(form.ControlsSettings(), saved);
    EXPECT_EQ(Spin(&form, 17)->value(), 5);
    EXPECT_EQ(Spin(&form, 18)->value(), 3);
    EXPECT_EQ(ControlTestSettings, saved);
}

// The real store keeps counts above 63 as characters beyond ASCII; start-up reads them back, and
// the main window's menu item opens the dialog.
TEST_F(ControlTestsFormTest, StartUpLoadsTheStoredDefaultsAndTheMenuOpensTheDialog) {
    kivspc::SetPlatform(&platform);
    ControlTestSettings = Chosen();
    SaveControlTestSettings();
    InitProgramState();
    EXPECT_EQ(ControlTestSettings, Chosen());

    TMainForm_KIVSPC main;
    QAction* item = Child<QAction>(&main, "ControlTestSelection1");
    EXPECT_TRUE(item->isEnabled());
    QString title;
    WhenModal([&title](QWidget* dialog) {
        title = dialog->windowTitle();
        Child<QPushButton>(dialog, "Button_Cancel")->click();
    });
    item->trigger();
    EXPECT_EQ(title, "Tests for Statistical Control");
}
