// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiFixture.h"

#include "app/KeyFilterInstaller.h"
#include "app/Platform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

using kivspc::gui::InstallKeyFilter;
using kivspc::gui::KeyFilterKind;

TEST_F(GuiTest, KeyFilterShapesWhatIsTypedIntoEachKindOfControl) {
    QLineEdit signedEdit;
    ASSERT_TRUE(InstallKeyFilter(&signedEdit, KeyFilterKind::SignedReal));
    QTest::keyClicks(&signedEdit, "-.5x-e3");
    EXPECT_EQ(signedEdit.text(), "-0.5e3") << "point after a lone minus, letter and inner minus dropped";

    QLineEdit proportion;
    ASSERT_TRUE(InstallKeyFilter(&proportion, KeyFilterKind::Proportion));
    QTest::keyClicks(&proportion, "5.25");
    EXPECT_EQ(proportion.text(), "0.25");
    QTest::keyClick(&proportion, Qt::Key_Backspace);
    QTest::keyClick(&proportion, Qt::Key_Backspace);
    QTest::keyClick(&proportion, Qt::Key_Backspace);
    EXPECT_EQ(proportion.text(), "0.") << "the leading zero and point stay";

    QComboBox combo;
    combo.setEditable(true);
    ASSERT_TRUE(InstallKeyFilter(&combo, KeyFilterKind::UnsignedRealCombo));
    QTest::keyClicks(combo.lineEdit(), "-1.5.");
    EXPECT_EQ(combo.currentText(), "1.5");

    QSpinBox spin;
    spin.setRange(0, 100000);
    ASSERT_TRUE(InstallKeyFilter(&spin, KeyFilterKind::Integer));
    auto* spinEdit = spin.findChild<QLineEdit*>();
    ASSERT_NE(spinEdit, nullptr);
    spinEdit->clear();
    QTest::keyClicks(spinEdit, "1a2.3");
    EXPECT_EQ(spinEdit->text(), "123");
}

TEST_F(GuiTest, CommaIsThePointAndAnExponentKeepsItsMinus) {
    QLineEdit edit;
    ASSERT_TRUE(InstallKeyFilter(&edit, KeyFilterKind::UnsignedReal));
    QTest::keyClicks(&edit, "0,02276");
    EXPECT_EQ(edit.text(), "0.02276");
    edit.clear();
    QTest::keyClicks(&edit, "74,001176");
    EXPECT_EQ(edit.text(), "74.001176");
    QTest::keyClicks(&edit, ",");
    EXPECT_EQ(edit.text(), "74.001176") << "a second point is refused";
    edit.clear();
    QTest::keyClicks(&edit, "2.276e-2");
    EXPECT_EQ(edit.text(), "2.276e-2");
    // The point a comma became is an ordinary edit: undo takes it back.
    edit.clear();
    QTest::keyClicks(&edit, "5,");
    ASSERT_EQ(edit.text(), "5.");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "5");
}

// The standard editing keys insert no character: every filter leaves them to the control.
TEST_F(GuiTest, EditingShortcutsPassEveryFilter) {
    kivspc::RecordingPlatform recorder;
    kivspc::SetPlatform(&recorder);
    const KeyFilterKind kinds[] = {KeyFilterKind::SignedReal, KeyFilterKind::UnsignedReal,
                                   KeyFilterKind::Proportion, KeyFilterKind::Integer};
    for (KeyFilterKind kind : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        QLineEdit edit;
        ASSERT_TRUE(InstallKeyFilter(&edit, kind));
        QTest::keyClicks(&edit, kind == KeyFilterKind::Proportion ? ".25" : "125");
        const QString typed = edit.text();
        ASSERT_EQ(typed.size(), kind == KeyFilterKind::Proportion ? 4 : 3);

        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(edit.selectedText(), typed) << "Ctrl+A selects all";
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_End, Qt::ShiftModifier);
        EXPECT_EQ(edit.selectedText(), typed);
        QTest::keyClick(&edit, Qt::Key_End);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_FALSE(edit.selectedText().isEmpty()) << "Ctrl+Shift+Left selects a word";
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ControlModifier);
        EXPECT_LT(edit.cursorPosition(), typed.size());
        EXPECT_EQ(edit.text(), typed);
        QTest::keyClick(&edit, Qt::Key_End);

        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_NE(edit.text(), typed) << "Ctrl+Z undoes";
        QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(edit.text(), typed) << "Ctrl+Y redoes";
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(edit.text(), typed) << "Ctrl+Shift+Z redoes";
    }
    EXPECT_EQ(recorder.Beeps, 0);

    QSpinBox spin;
    spin.setRange(0, 9);
    spin.setValue(4);
    ASSERT_TRUE(InstallKeyFilter(&spin, KeyFilterKind::Integer));
    QTest::keyClick(&spin, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Child<QLineEdit>(&spin)->selectedText(), "4");
    EXPECT_EQ(recorder.Beeps, 0);
}
