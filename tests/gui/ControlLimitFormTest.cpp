// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator driven as a user drives it: typing through the keystroke
// filters, choosing methods, pressing Action and reading the result pane.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "charts/ControlLimitForm.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>
#include <memory>

using kivspc::gui::TControl_Limit_Form;
using kivspc::gui::TOutputRichEdit;

namespace {

// Reports as the pane shows them: one "\n" after every line. The report of every page and method
// is checked as golden text in the core tests; the window's tests need only these two.

const char* const kXBarReport = R"(Control Limit Calculations:  X-Bar Chart

Statistic used: Average Range = 2.326
Standard Errors = 3

       UCL = 11.3417        sigma = 1.0000
Centerline = 10.0000            n = 5
       LCL = 8.6583
)";

const char* const kXBarReportTwoDecimals = R"(Control Limit Calculations:  X-Bar Chart

Statistic used: Average Range = 2.326
Standard Errors = 3

       UCL = 11.34          sigma = 1.00
Centerline = 10.00              n = 5
       LCL = 8.66
)";

QString Unix(std::string text) {
    QString s = QString::fromStdString(text);
    return s.replace("\r\n", "\n");
}

} // namespace

class ControlLimitFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // Messages are recorded instead of shown, so a message the test does not expect fails
        // the test rather than waiting in a modal box.
        kivspc::SetPlatform(&recorder);
        form = std::make_unique<TControl_Limit_Form>(nullptr);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form.reset();
        GuiTest::TearDown();
    }

    template <class T> T* Find(const QString& name) { return Child<T>(form.get(), name); }
    QLineEdit* Edit(int page, int field) { return Find<QLineEdit>(QString("Edit%1%2").arg(page).arg(field)); }
    TOutputRichEdit* Pane(int page) { return Find<TOutputRichEdit>(QString("RichEdit%1").arg(page)); }

    void OpenPage(int page) {
        auto* tabs = Find<QTabWidget>("PageControl_cc");
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page - 1).center());
        ASSERT_EQ(tabs->currentIndex(), page - 1);
    }
    void Type(int page, int field, const QString& text) {
        QLineEdit* edit = Edit(page, field);
        edit->clear();
        QTest::keyClicks(edit, text);
        ASSERT_EQ(edit->text(), text) << "typed into Edit" << page << field;
    }
    void Choose(int page, const QString& item) {
        auto* group = Find<QGroupBox>(QString("RadioGroup%1").arg(page));
        for (QRadioButton* radio : group->findChildren<QRadioButton*>()) {
            if (radio->text() != item) continue;
            // On the indicator, which is inside the click area whatever the label's width.
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
            ASSERT_TRUE(radio->isChecked()) << item.toStdString();
            return;
        }
        FAIL() << "no item " << item.toStdString() << " on page " << page;
    }
    void Action() { QTest::mouseClick(Find<QPushButton>("Button_Action"), Qt::LeftButton); }

    // The report of a page as the box shows it; the document behind the box must say the same.
    QString Report(int page) {
        TOutputRichEdit* pane = Pane(page);
        EXPECT_EQ(pane->toPlainText(), Unix(pane->Document().Text())) << "box and document differ";
        return pane->toPlainText();
    }

    kivspc::RecordingPlatform recorder;
    std::unique_ptr<TControl_Limit_Form> form;
};

TEST_F(ControlLimitFormTest, StartsWithDefaultsOnEveryPage) {
    EXPECT_EQ(form->windowTitle(), "Control Limit Calculations");
    auto* tabs = Find<QTabWidget>("PageControl_cc");
    const QStringList captions = {"X-Bar", "Median", "X", "R", "s", "s\u00B2", "p", "np", "c", "u"};
    ASSERT_EQ(tabs->count(), 10);
    for (int page = 1; page <= 10; ++page) {
        EXPECT_EQ(tabs->tabText(page - 1), captions[page - 1]);
        EXPECT_EQ(form->findChild<QLineEdit*>(QString("Edit%1").arg(page) + "1") != nullptr, page <= 3)
            << page;
        EXPECT_EQ(form->findChild<QLineEdit*>(QString("Edit%1").arg(page) + "3") != nullptr, page != 9)
            << page;
        EXPECT_EQ(Edit(page, 2)->text(), "0");
        EXPECT_EQ(Edit(page, 4)->text(), "3");
        auto radios = Find<QGroupBox>(QString("RadioGroup%1").arg(page))->findChildren<QRadioButton*>();
        ASSERT_FALSE(radios.isEmpty());
        EXPECT_TRUE(radios.first()->isChecked()) << page;
        EXPECT_TRUE(Pane(page)->toPlainText().isEmpty());
    }
    EXPECT_EQ(Find<QSpinBox>("DecimalSpinEdit1")->value(), 4);
    EXPECT_EQ(kivspc::CurrentOutputDocument(), &Pane(1)->Document());
}

TEST_F(ControlLimitFormTest, XBarReportAndItsFonts) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    EXPECT_EQ(Report(1), kXBarReport);
    EXPECT_TRUE(recorder.Messages.empty());

    // Heading in bold underlined Arial 10, body in Courier New 8, in the document and the box.
    const kivspc::TOutputDocument& doc = Pane(1)->Document();
    const kivspc::TOutputFont heading = doc.Line(0).FirstFont();
    EXPECT_EQ(heading.Name, "Arial");
    EXPECT_EQ(heading.Size, 10);
    EXPECT_TRUE(heading.Bold && heading.Underline);
    const kivspc::TOutputFont body = doc.Line(5).FirstFont();
    EXPECT_EQ(body.Name, "Courier New");
    EXPECT_EQ(body.Size, 8);
    EXPECT_FALSE(body.Bold || body.Underline);
    QTextDocument* shown = Pane(1)->document();
    const QFont shownHeading = shown->firstBlock().begin().fragment().charFormat().font();
    EXPECT_TRUE(shownHeading.bold() && shownHeading.underline());
    EXPECT_EQ(shownHeading.pointSizeF(), 10);
    EXPECT_EQ(shown->findBlockByNumber(5).begin().fragment().charFormat().font().pointSizeF(), 8);
}

TEST_F(ControlLimitFormTest, ChangingTheDecimalsRepeatsTheAction) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    ASSERT_EQ(Report(1), kXBarReport);

    auto* spinEdit = Find<QSpinBox>("DecimalSpinEdit1")->findChild<QLineEdit*>();
    ASSERT_NE(spinEdit, nullptr);
    spinEdit->clear();
    QTest::keyClicks(spinEdit, "2");
    EXPECT_EQ(Report(1), kXBarReportTwoDecimals);
    EXPECT_TRUE(recorder.Messages.empty());
}

// A computation that fails is a status line in the pane with a beep, never a message box.
TEST_F(ControlLimitFormTest, ZeroStandardErrorsReportsStatisticZero) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Type(1, 4, "0");
    Action();
    EXPECT_TRUE(Report(1).endsWith("\n\nStatistic = 0\n")) << Report(1).toStdString();
    EXPECT_GE(recorder.Beeps, 1) << "a failed computation beeps";
    EXPECT_TRUE(recorder.Messages.empty()) << "a status line, not a message box";
}

TEST_F(ControlLimitFormTest, IndividualsPageLabelsFollowTheMethodAndKnownSigmaIgnoresN) {
    OpenPage(3);
    QLabel* nLabel = nullptr;
    for (QLabel* label : Find<QWidget>("TabSheet3")->findChildren<QLabel*>())
        if (label->buddy() == Edit(3, 3)) nLabel = label;
    ASSERT_NE(nLabel, nullptr);
    EXPECT_EQ(nLabel->text(), "&n (range):");
    Choose(3, "Std Dev (k values)");
    EXPECT_EQ(nLabel->text(), "&k (values):");
    Choose(3, "Median MR");
    EXPECT_EQ(nLabel->text(), "&n (range):");

    Type(3, 3, "1");
    Choose(3, "Known Std Dev");
    EXPECT_FALSE(nLabel->isVisible());
    EXPECT_FALSE(Edit(3, 3)->isVisible());
    Type(3, 1, "10");
    Type(3, 2, "2");
    // Even an n of 1 or 0, which stops every other method, is not looked at.
    for (const char* n : {"1", "0"}) {
        Edit(3, 3)->setText(n);
        Action();
        EXPECT_TRUE(recorder.Messages.empty()) << n;
        const QStringList lines = Report(3).split('\n');
        ASSERT_GE(lines.size(), 8) << n;
        EXPECT_EQ(lines[5], "       UCL = 16.0000        sigma = 2.0000") << n;
        EXPECT_EQ(lines[7], "       LCL = 4.0000") << n;
    }

    Choose(3, "Average MR");
    EXPECT_TRUE(nLabel->isVisible());
    EXPECT_TRUE(Edit(3, 3)->isVisible());
    EXPECT_EQ(nLabel->text(), "&n (range):");
}

TEST_F(ControlLimitFormTest, InputErrorsStopBeforeTheReportAndFocusTheEdit) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    ASSERT_EQ(Report(1), kXBarReport);

    Type(1, 2, "");
    Action();
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].kind, "error");
    EXPECT_EQ(recorder.Messages[0].text, "Statistic must be greater than 0!");
    EXPECT_EQ(form->focusWidget(), Edit(1, 2));
    EXPECT_EQ(Report(1), kXBarReport) << "the pane keeps its previous report";

    Type(1, 2, "2.326");
    for (const QString& n : {QString(""), QString("0")}) {
        recorder.Messages.clear();
        Type(1, 3, n);
        Action();
        ASSERT_EQ(recorder.Messages.size(), 1u) << "n = '" << n.toStdString() << "'";
        EXPECT_EQ(recorder.Messages[0].kind, "error");
        EXPECT_EQ(recorder.Messages[0].text, "n must be greater than 0!");
        EXPECT_EQ(form->focusWidget(), Edit(1, 3));
        EXPECT_EQ(Report(1), kXBarReport);
    }
}

TEST_F(ControlLimitFormTest, EachPageKeepsItsInputsAndReport) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    OpenPage(4);
    EXPECT_EQ(kivspc::CurrentOutputDocument(), &Pane(4)->Document());
    Type(4, 2, "2.326");
    Type(4, 3, "5");
    Action();
    const QString rangeReport = Report(4);
    EXPECT_TRUE(rangeReport.startsWith("Control Limit Calculations:  R Chart\n"))
        << rangeReport.toStdString();
    OpenPage(1);
    EXPECT_EQ(kivspc::CurrentOutputDocument(), &Pane(1)->Document());
    EXPECT_EQ(Edit(1, 2)->text(), "2.326");
    EXPECT_EQ(Report(1), kXBarReport);
    EXPECT_EQ(Report(4), rangeReport);
}

TEST_F(ControlLimitFormTest, DecimalsLeftEmptyBecomeFour) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    auto* spin = Find<QSpinBox>("DecimalSpinEdit1");
    auto* spinEdit = spin->findChild<QLineEdit*>();
    ASSERT_NE(spinEdit, nullptr);
    spinEdit->clear();
    QTest::keyClicks(spinEdit, "2");
    ASSERT_EQ(Report(1), kXBarReportTwoDecimals);

    spinEdit->clear();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(spin, &out);
    EXPECT_EQ(spin->value(), 4);
    EXPECT_EQ(spinEdit->text(), "4");
    EXPECT_EQ(Report(1), kXBarReport);
}

TEST_F(ControlLimitFormTest, FormResizeScalesEveryPanesFontsAndNewReports) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    OpenPage(9);
    Type(9, 2, "4");
    Action();
    const QString countReport = Report(9);
    ASSERT_TRUE(countReport.startsWith("Control Limit Calculations:  c Chart\n"))
        << countReport.toStdString();

    form->FormResizeClick();
    const double s = form->TextScale();
    if (s == 1) GTEST_SKIP() << "the screen leaves no room to enlarge the window";
    EXPECT_EQ(kivspc::CurrentOutputDocument(), &Pane(9)->Document()) << "the current page stays current";
    // Sizes are kept in half points.
    auto scaled = [s](double points) { return std::nearbyint(points * s * 2) / 2; };
    for (int page : {1, 9}) {
        const kivspc::TOutputDocument& doc = Pane(page)->Document();
        EXPECT_EQ(doc.Line(0).FirstFont().Size, scaled(10)) << page;
        EXPECT_EQ(doc.Line(5).FirstFont().Size, scaled(8)) << page;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(Pane(9)->document()->findBlockByNumber(5).begin().fragment().charFormat().font().pointSizeF(),
              scaled(8));
    EXPECT_EQ(Report(9), countReport) << "scaling changes the fonts only";

    // A new report is written in whole points of the new scale.
    Action();
    EXPECT_EQ(Pane(9)->Document().Line(0).FirstFont().Size, std::nearbyint(10 * s));
    EXPECT_EQ(Pane(9)->Document().Line(5).FirstFont().Size, std::nearbyint(8 * s));

    form->FormResizeClick();
    EXPECT_EQ(form->TextScale(), 1);
    Action();
    EXPECT_EQ(Pane(9)->Document().Line(0).FirstFont().Size, 10);
    EXPECT_EQ(Pane(9)->Document().Line(5).FirstFont().Size, 8);
    EXPECT_NEAR(Pane(1)->Document().Line(0).FirstFont().Size, 10, 0.5);
    EXPECT_EQ(Report(1), kXBarReport);
}

TEST_F(ControlLimitFormTest, EditMenuFollowsTheFocusedControl) {
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) GTEST_SKIP() << "the platform does not activate windows";
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    auto* menu = Find<QMenu>("Edit1");
    auto enabled = [&](const char* name) {
        emit menu->aboutToShow();
        return Find<QAction>(name)->isEnabled();
    };
    QApplication::clipboard()->setText("7");

    QLineEdit* statistic = Edit(1, 2);
    statistic->setFocus();
    statistic->deselect();
    EXPECT_FALSE(enabled("Copy1"));
    EXPECT_FALSE(enabled("Cut1"));
    EXPECT_TRUE(enabled("Select1"));
    EXPECT_TRUE(enabled("Paste1"));
    EXPECT_TRUE(enabled("Undo1")) << "the typing can be undone";
    statistic->selectAll();
    EXPECT_TRUE(enabled("Copy1"));
    EXPECT_TRUE(enabled("Cut1"));
    Find<QAction>("Copy1")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "2.326");

    Pane(1)->setFocus();
    EXPECT_FALSE(enabled("Copy1"));
    EXPECT_FALSE(enabled("Undo1")) << "a fresh report has nothing to undo";
    Find<QAction>("Select1")->trigger();
    EXPECT_TRUE(enabled("Copy1"));
    Find<QAction>("Copy1")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString(kXBarReport));

    Find<QPushButton>("Button_Action")->setFocus();
    EXPECT_FALSE(enabled("Select1"));
    EXPECT_FALSE(enabled("Paste1")) << "nothing to paste into";
}

TEST_F(ControlLimitFormTest, DecimalsBoxFiltersItsKeysAndRetypingRepeatsTheAction) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    auto* spin = Find<QSpinBox>("DecimalSpinEdit1");
    spin->setFocus();
    recorder.Beeps = 0;
    QTest::keyClick(spin, Qt::Key_X);
    EXPECT_EQ(recorder.Beeps, 1) << "keys typed into the spin box itself are filtered";
    EXPECT_EQ(spin->value(), 4);

    // Emptying the box and typing the same number again is a change: the report is rewritten.
    Edit(1, 2)->setText("2.3260");
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClick(spin, Qt::Key_4);
    EXPECT_TRUE(Report(1).contains("Average Range = 2.3260"));

    auto* menu = Find<QMenu>("Edit1");
    emit menu->aboutToShow();
    EXPECT_TRUE(Find<QAction>("Select1")->isEnabled()) << "a spin box counts as an edit";
}

TEST_F(ControlLimitFormTest, FormResizeKeepsTheCaretAndEditedLinesKeepTheirFonts) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    TOutputRichEdit* pane = Pane(1);
    QTextCursor caret(pane->document());
    caret.setPosition(60);
    pane->setTextCursor(caret);
    form->FormResizeClick();
    if (form->TextScale() == 1) GTEST_SKIP() << "the screen leaves no room to enlarge the window";
    EXPECT_EQ(pane->textCursor().position(), 60);
    form->FormResizeClick();

    // A user's edit in the box: the blank line under the heading stays in the body font.
    pane->moveCursor(QTextCursor::End);
    QTest::keyClicks(pane, "Z");
    const kivspc::TOutputDocument& doc = pane->SyncedDocument();
    EXPECT_EQ(doc.Line(1).FirstFont().Name, "Courier New");
    EXPECT_EQ(doc.Line(1).FirstFont().Size, 8);
}

// Text that arrives by paste skips the key filters; the action still refuses what is not a usable
// number, names the edit, gives it the focus and keeps the previous report.
TEST_F(ControlLimitFormTest, PastedInputsAreCheckedByTheAction) {
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    Type(1, 3, "5");
    Action();
    ASSERT_EQ(Report(1), kXBarReport);
    struct Case {
        int field;
        const char* pasted;
        const char* message;
    };
    const Case cases[] = {
        {3, "abc", "n is not a number!"},
        {1, "10\t11", "X is not a number!"},
        {2, "-2.326", "Statistic must be greater than 0!"},
        {2, "1e309", "Statistic is beyond the range of numbers!"},
        {4, "-3", "Std Err must be greater than 0!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted);
        QLineEdit* edit = Edit(1, c.field);
        const QString before = edit->text();
        QApplication::clipboard()->setText(c.pasted);
        edit->selectAll();
        edit->paste(); // as the edit's own pop-up menu does
        ASSERT_NE(edit->text(), before);
        recorder.Messages.clear();
        Action();
        ASSERT_EQ(recorder.Messages.size(), 1u);
        EXPECT_EQ(recorder.Messages[0].kind, "error");
        EXPECT_EQ(recorder.Messages[0].text, c.message);
        EXPECT_EQ(form->focusWidget(), edit);
        EXPECT_EQ(Report(1), kXBarReport) << "nothing is computed from a refused input";
        edit->setText(before);
    }
}

// The decimals only restate a report: no error box at every step while an input is being fixed,
// and nothing at all on a page without a report.
TEST_F(ControlLimitFormTest, DecimalsChangeNeverShowsAnErrorBox) {
    auto* spinEdit = Find<QSpinBox>("DecimalSpinEdit1")->findChild<QLineEdit*>();
    ASSERT_NE(spinEdit, nullptr);
    auto setDecimals = [&](const QString& d) {
        spinEdit->clear();
        QTest::keyClicks(spinEdit, d);
    };
    Type(1, 1, "10");
    Type(1, 2, "2.326");
    setDecimals("2");
    EXPECT_TRUE(Report(1).isEmpty()) << "no report yet";
    EXPECT_TRUE(recorder.Messages.empty());

    Type(1, 3, "5");
    setDecimals("4");
    Action();
    ASSERT_EQ(Report(1), kXBarReport);
    Type(1, 3, "");
    for (const QString d : {"2", "3", "5"}) {
        setDecimals(d);
        EXPECT_TRUE(recorder.Messages.empty()) << d.toStdString();
        EXPECT_EQ(Report(1), kXBarReport) << "the last report stays";
    }
    Type(1, 3, "5");
    setDecimals("2");
    EXPECT_EQ(Report(1), kXBarReportTwoDecimals);
    EXPECT_TRUE(recorder.Messages.empty());
}

TEST_F(ControlLimitFormTest, SelectAllWorksInTheNumberBoxes) {
    Type(1, 2, "2.326");
    QLineEdit* statistic = Edit(1, 2);
    statistic->setFocus();
    recorder.Beeps = 0;
    QTest::keyClick(statistic, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(statistic->selectedText(), "2.326");
    QTest::keyClick(statistic, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(statistic->text(), "2.326") << "Ctrl+Z undoes the typing";
    EXPECT_EQ(recorder.Beeps, 0);
}
