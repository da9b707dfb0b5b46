// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiFixture.h"

#include "app/KeyFilterInstaller.h"

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
