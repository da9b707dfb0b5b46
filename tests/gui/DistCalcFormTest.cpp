// SPDX-License-Identifier: GPL-3.0-or-later
// The distribution calculator and the fixed-parameter window driven from the capability analysis
// window: the questions on their scales, the labels and keystroke filter that follow them, the
// fixed parameters' messages, Set, Cancel, closing by the frame and Reset.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "capability/CapabilityPlotForm.h"
#include "capability/CapabilitySetup.h"
#include "capability/DistCalcForm.h"
#include "capability/FixedDistParamForm.h"
#include "data/DataFile.h"
#include "stats/Fit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Reference values by a second method (Python's statistics.NormalDist on the same ten values):
// mean 5.5, standard deviation 3.0276504.
class DistCalcFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        MakeNamedTable({"X"}, {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}, {"7"}, {"8"}, {"9"}, {"10"}});
        ASSERT_TRUE(StoreCapabilitySetup({{1}}));
        form = std::make_unique<TForm_CapabilityPlot>(nullptr);
        form->ShowCapabilityAnalysis(nullptr, "Capability/Performance Setup Form");
        form->DistributionBox()->setCurrentIndex(kDistNormal);
    }
    void TearDown() override {
        form.reset();
        FitState.FixedKind = 0;
        GuiTest::TearDown();
    }
    // The right cell of the statistics table's row labelled `left`; empty when there is none.
    QString Cell(const QString& left) const {
        QTableWidget* t = form->Table();
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0) && t->item(r, 0)->text() == left) return t->item(r, 1)->text();
        return {};
    }
    TForm_DistCalc* OpenCalculator() {
        form->DistCalcButton()->click();
        return form->DistCalcWindow();
    }
    static void Choose(QWidget* calc, const char* group, int index) {
        Child<QButtonGroup>(Child<QWidget>(calc, group))->button(index)->click();
    }
    void Shot(QWidget* w, const char* name) const {
        QCoreApplication::processEvents();
        if (const char* dir = std::getenv("KIVSPC_SHOTS")) w->grab().save(QString(dir) + "/" + name + ".png");
    }
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const auto& m : recorder.Messages)
            if (m.kind == "error") texts.push_back(m.text);
        return texts;
    }

    RecordingPlatform recorder;
    std::unique_ptr<TForm_CapabilityPlot> form;
};

TEST_F(DistCalcFormTest, ButtonsFollowModeAndDistribution) {
    EXPECT_TRUE(form->DistCalcButton()->isVisibleTo(form.get()));
    EXPECT_TRUE(form->SetParametersButton()->isVisibleTo(form.get()));
    form->DistributionBox()->setCurrentIndex(kDistNone);
    EXPECT_FALSE(form->DistCalcButton()->isVisibleTo(form.get())) << "no model to ask about";
    EXPECT_TRUE(form->SetParametersButton()->isVisibleTo(form.get()));
    form->PerformanceButton()->setChecked(true);
    EXPECT_FALSE(form->DistCalcButton()->isVisibleTo(form.get()));
    EXPECT_FALSE(form->SetParametersButton()->isVisibleTo(form.get()));
}

TEST_F(DistCalcFormTest, QuestionsOnTheirScales) {
    TForm_DistCalc* calc = OpenCalculator();
    EXPECT_TRUE(calc->isVisible());
    EXPECT_EQ(Child<QLabel>(calc, "Label_Distribution")->text(), "Distribution: Normal");
    EXPECT_EQ(Child<QLabel>(calc, "Label_Analysis")->text(), "Analysis: X");
    form->DistributionBox()->setCurrentIndex(kDistWeibull);
    EXPECT_EQ(Child<QLabel>(calc, "Label_Distribution")->text(), "Distribution: Weibull (2 Param)");
    form->DistributionBox()->setCurrentIndex(kDistNormal);

    // The normal model's tail areas are good to about 1e-7 (a polynomial approximation), so the
    // finer scales are checked with fewer decimals.
    struct Case {
        int question, display, decimals;
        const char* input;
        const char* estimated;
        const char* observed;
    };
    const Case cases[] = {
        // Phi((7 - 5.5) / 3.0276504) = 0.6898530; six values lie below 7.
        {0, 0, 4, "7", "68.9853%", "60.0000%"},
        // 1 - 0.6898530 = 0.3101470; three values lie above 7.
        {1, 1, 4, "7", "0.3101", "0.3000"},
        // Above every value: 1 - Phi(1.8165914) = 0.0346399; none observed.
        {1, 2, 1, "11", "34639.9 ppm", "0.0 ppm"},
        // The 25th percentile 5.5 - 0.6744898 x 3.0276504 = 3.4578809; the sample's by the
        // plotting position: rank 10.4 x 0.25 + 0.3 = 2.9, between 2 and 3.
        {3, 0, 4, "25", "3.4579", "2.9000"},
        // The 5th percentile 5.5 - 1.6448536 x 3.0276504 = 0.5199583; rank 0.82 falls on the least value.
        {3, 0, 4, "5", "0.5200", "1.0000"},
        // The upper proportion reads the same point from the other end.
        {2, 2, 4, "950000", "0.5200", "1.0000"},
        // A proportion of 100 % or 0 % is no question.
        {3, 0, 4, "100", "Error", "Error"},
        {2, 3, 4, "0", "Error", "Error"},
    };
    QLineEdit* value = calc->ValueEdit();
    auto* decimals = Child<QSpinBox>(calc, "DecimalSpinEdit1");
    for (const Case& c : cases) {
        decimals->setValue(c.decimals);
        Choose(calc, "WantRadioGroup", c.question);
        Choose(calc, "RadioGroup_Display", c.display);
        value->setText(c.input);
        // Enter in the input box answers.
        QTest::keyClick(value, Qt::Key_Return);
        EXPECT_EQ(calc->EstimatedEdit()->text(), c.estimated)
            << c.question << " " << c.display << " " << c.input;
        EXPECT_EQ(calc->ObservedEdit()->text(), c.observed)
            << c.question << " " << c.display << " " << c.input;
    }

    // Every change of question, scale or decimals answers again.
    Choose(calc, "WantRadioGroup", 0);
    Choose(calc, "RadioGroup_Display", 0);
    value->setText("7");
    decimals->setValue(2);
    EXPECT_EQ(calc->EstimatedEdit()->text(), "68.99%");
    Choose(calc, "RadioGroup_Display", 3);
    EXPECT_EQ(calc->ObservedEdit()->text(), "600000000.00 ppb");
    Choose(calc, "RadioGroup_Display", 0);
    // An emptied decimals box takes the default again.
    Child<QLineEdit>(decimals)->clear();
    decimals->interpretText();
    EXPECT_EQ(decimals->value(), 4);
    EXPECT_EQ(calc->EstimatedEdit()->text(), "68.9853%");
}

TEST_F(DistCalcFormTest, LabelsUnitAndKeyFilterFollowTheQuestion) {
    TForm_DistCalc* calc = OpenCalculator();
    auto* unit = Child<QLabel>(calc, "Label_Unit");
    QLineEdit* value = calc->ValueEdit();
    const auto typed = [&](const char* keys) {
        value->clear();
        QTest::keyClicks(value, keys);
        return value->text();
    };
    Choose(calc, "RadioGroup_Display", 2);
    EXPECT_EQ(unit->text(), "") << "a value question shows no unit";
    EXPECT_EQ(Child<QLabel>(calc, "Label_Value")->text(), "Value:");
    EXPECT_EQ(typed("-1.5"), "-1.5");

    Choose(calc, "WantRadioGroup", 2);
    EXPECT_EQ(unit->text(), "ppm");
    EXPECT_EQ(Child<QLabel>(calc, "Label_Value")->text(), "Proportion Above:");
    EXPECT_EQ(Child<QLabel>(calc, "Label_Estimated")->text(), "Est. Value:");
    EXPECT_EQ(Child<QLabel>(calc, "Label_Observed")->text(), "Actual Value:");
    EXPECT_EQ(typed("-1.5"), "-1.5") << "a count of ppm is typed as a signed number";

    Choose(calc, "RadioGroup_Display", 1);
    EXPECT_EQ(unit->text(), "");
    const int beeps = recorder.Beeps;
    EXPECT_EQ(typed("-1.5"), "0.5") << "a proportion has no sign and lies below 1";
    EXPECT_GT(recorder.Beeps, beeps);

    Choose(calc, "WantRadioGroup", 0);
    EXPECT_EQ(typed("-1.5"), "-1.5");
}

TEST_F(DistCalcFormTest, FixedParameterMessages) {
    form->SetParametersButton()->click();
    TForm_FixedDistParam* fixed = form->FixedParamWindow();
    struct Case {
        int type;
        std::array<const char*, 4> boxes;
        const char* message;
    };
    const Case cases[] = {
        {9, {"0", "1", "2", "0"}, "Nu must be greater than Zero!"},
        // Both Weibull rules broken: the last one's message only.
        {3, {"0", "0", "", ""}, "Eta must be greater than Zero!"},
        {1, {"5", "-1", "", ""}, "Standard Deviation cannot be <= to Zero!"},
        {2, {"4", "4", "", ""}, "Mean must be greater than Low!"},
        {10, {"0", "0", "", ""}, "Beta cannot be <= to Zero!"},
    };
    for (const Case& c : cases) {
        recorder.Messages.clear();
        fixed->SetType(c.type);
        for (int i = 0; i < 4; ++i)
            fixed->Box(i)->setText(c.boxes[static_cast<std::size_t>(i)]);
        Child<QPushButton>(fixed, "Button_Action")->click();
        EXPECT_EQ(Errors(), std::vector<std::string>{c.message}) << c.type;
        EXPECT_EQ(FitState.FixedKind, 0);
        EXPECT_TRUE(fixed->isVisible()) << "the window stays for a correction";
    }
    EXPECT_EQ(form->DistributionBox()->currentIndex(), kDistNormal) << "nothing was set";
}

TEST_F(DistCalcFormTest, SetCancelCloseAndReset) {
    form->SetParametersButton()->click();
    TForm_FixedDistParam* fixed = form->FixedParamWindow();
    ASSERT_TRUE(fixed->isVisible());
    // Filled from the fit, in the order of the labels.
    EXPECT_EQ(fixed->TypeBox()->currentText(), "Normal");
    EXPECT_EQ(fixed->BoxLabel(1)->text(), "Std Deviation:");
    EXPECT_EQ(fixed->Box(0)->text(), "5.5");
    EXPECT_FALSE(fixed->Box(2)->isVisibleTo(fixed));

    // An exponential from 0 with mean 4: the list follows, the table heads with the set model and
    // the calculator answers by it: 1 - exp(-7 / 4) = 0.8262261.
    fixed->SetType(2);
    EXPECT_EQ(fixed->BoxLabel(0)->text(), "Low:");
    EXPECT_EQ(fixed->BoxLabel(1)->text(), "Mean:");
    EXPECT_FALSE(fixed->Box(2)->isVisibleTo(fixed));
    fixed->Box(0)->setText("0");
    fixed->Box(1)->setText("4");
    Child<QPushButton>(fixed, "Button_Action")->click();
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(form->DistributionBox()->currentText(), "Exponential (Low)");
    EXPECT_EQ(FitState.FixedKind, 2) << "switching the list must not switch the parameters off";
    EXPECT_EQ(Cell("Exponential (Low)"), "Set");
    EXPECT_TRUE(fixed->isVisible());
    TForm_DistCalc* calc = OpenCalculator();
    calc->ValueEdit()->setText("7");
    calc->Button_ActionClick();
    EXPECT_EQ(calc->EstimatedEdit()->text(), "82.6226%");
    Shot(fixed, "fixeddistparam");

    // Opened again, then a Weibull set and cancelled: the exponential comes back, in the window,
    // the list and the fit.
    form->SetParametersButton()->click();
    fixed->SetType(3);
    EXPECT_EQ(fixed->BoxLabel(0)->text(), "Beta (shape):");
    fixed->Box(0)->setText("2");
    fixed->Box(1)->setText("3");
    Child<QPushButton>(fixed, "Button_Action")->click();
    EXPECT_EQ(form->DistributionBox()->currentText(), "Weibull (2 Param)");
    EXPECT_EQ(FitState.FixedKind, 3);
    Child<QPushButton>(fixed, "Button_Cancel")->click();
    EXPECT_FALSE(fixed->isVisible());
    EXPECT_EQ(fixed->TypeBox()->currentText(), "Exponential");
    EXPECT_EQ(fixed->Box(0)->text(), "0");
    EXPECT_EQ(fixed->Box(1)->text(), "4");
    EXPECT_EQ(form->DistributionBox()->currentText(), "Exponential (Low)");
    EXPECT_EQ(FitState.FixedKind, 2);
    EXPECT_EQ(Cell("Exponential (Low)"), "Set");

    // Closing by the frame does the same.
    form->SetParametersButton()->click();
    fixed->SetType(4);
    fixed->Box(1)->setText("9");
    fixed->close();
    EXPECT_FALSE(fixed->isVisible());
    EXPECT_EQ(fixed->TypeBox()->currentText(), "Exponential");
    EXPECT_EQ(fixed->Box(1)->text(), "4");
    EXPECT_EQ(FitState.FixedKind, 2);

    // A failed Set switches the parameters off; the list stays.
    form->SetParametersButton()->click();
    fixed->SetType(3);
    fixed->Box(0)->setText("0");
    fixed->Box(1)->setText("0");
    Child<QPushButton>(fixed, "Button_Action")->click();
    EXPECT_EQ(Errors(), std::vector<std::string>{"Eta must be greater than Zero!"});
    EXPECT_EQ(FitState.FixedKind, 0);
    EXPECT_EQ(form->DistributionBox()->currentText(), "Exponential (Low)");
    EXPECT_TRUE(Cell("Exponential (Low)").isEmpty()) << "the table no longer shows them as set";

    // Reset empties the window and leaves the analysis alone.
    fixed->Box(0)->setText("2");
    fixed->Box(1)->setText("3");
    Child<QPushButton>(fixed, "Button_Action")->click();
    ASSERT_EQ(FitState.FixedKind, 3);
    Child<QPushButton>(fixed, "Button_Reset")->click();
    EXPECT_EQ(fixed->TypeBox()->currentText(), "None");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(fixed->Box(i)->text(), "0");
    EXPECT_FALSE(fixed->Box(0)->isVisibleTo(fixed));
    EXPECT_EQ(FitState.FixedKind, 3);
    EXPECT_EQ(form->DistributionBox()->currentText(), "Weibull (2 Param)");

    // A new choice in the list hides the window and switches the parameters off.
    form->DistributionBox()->setCurrentIndex(kDistNormal);
    EXPECT_FALSE(fixed->isVisible());
    EXPECT_EQ(FitState.FixedKind, 0);
    EXPECT_TRUE(Cell("Normal").isEmpty());
}

// The numbers the help pages quote, on the example file's Diam1 (mean 25.0040333, standard
// deviation 0.0120100); reference values by Python's statistics.NormalDist and by hand.
TEST_F(DistCalcFormTest, HelpExamplesOnBearingDiameters) {
    ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
    ASSERT_TRUE(StoreCapabilitySetup({{3}}));
    form->ShowCapabilityAnalysis(nullptr, "Capability/Performance Setup Form");
    form->DistributionBox()->setCurrentIndex(kDistNormal);
    TForm_DistCalc* calc = OpenCalculator();
    const auto ask = [&](int question, int display, const char* input) {
        Choose(calc, "WantRadioGroup", question);
        Choose(calc, "RadioGroup_Display", display);
        calc->ValueEdit()->setText(input);
        calc->Button_ActionClick();
        return calc->EstimatedEdit()->text() + " | " + calc->ObservedEdit()->text();
    };
    // Phi(-1.16847) = 0.1213086; 24.973 and 24.987 lie below 24.990.
    EXPECT_EQ(ask(0, 0, "24.990"), "12.1309% | 6.6667%");
    // 1 - Phi(2.16209) = 0.0153058; the greatest value is 25.027.
    EXPECT_EQ(ask(1, 0, "25.030"), "1.5306% | 0.0000%");
    // 25.004033 - 1.281552 x 0.012010 = 24.988642; rank 3.34 between two values of 24.991.
    EXPECT_EQ(ask(3, 0, "10"), "24.9886 | 24.9910");
    Shot(calc, "distcalc");

    form->SetParametersButton()->click();
    TForm_FixedDistParam* fixed = form->FixedParamWindow();
    EXPECT_EQ(fixed->Box(0)->text().left(10), "25.0040333");
    EXPECT_EQ(fixed->Box(1)->text().left(9), "0.0120100");
    fixed->Box(0)->setText("25");
    fixed->Box(1)->setText("0.01");
    Child<QPushButton>(fixed, "Button_Action")->click();
    EXPECT_EQ(Cell("Normal"), "Set");
    EXPECT_EQ(Cell("LPL"), "24.9700");
    EXPECT_EQ(Cell("UPL"), "25.0300");
    // 1 - Phi(3) = 0.0013499.
    EXPECT_EQ(ask(1, 0, "25.030"), "0.1350% | 0.0000%");
    Shot(form.get(), "analysis-fixed");
}

} // namespace
