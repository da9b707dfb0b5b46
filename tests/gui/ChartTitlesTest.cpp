// SPDX-License-Identifier: GPL-3.0-or-later
// The chart tools' dialogs: titles and sizes applied at once and put back by Cancel, the last
// texts, the second axis box, and the point text dialog's place and answers.
#include "GuiFixture.h"

#include "charts/ChartScene.h"
#include "charts/ChartTexts.h"
#include "charts/ChartTitles.h"
#include "charts/ChartView.h"
#include "charts/LabelTextInput.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// A chart with one or two panels, as the chart windows build them.
TChartScene TwoPanels(bool second) {
    TChartScene scene;
    scene.TitleLines = {"Mean and Range Chart: Diam1"};
    const TSceneAxis x{.Kind = TAxisKind::Positions, .Title = "Point", .Min = -0.5, .Max = 5.5};
    TSceneAxis top = x;
    if (second) top.Title.clear();
    scene.Panels.push_back({.X = top, .Y = {.Title = "Mean"}, .XLink = 0});
    if (second) {
        scene.Panels.push_back({.X = x, .Y = {.Title = "R"}, .Row = 1, .XLink = 0});
        scene.RowWeights = {0.6, 0.4};
    }
    return scene;
}

struct TSnapshot {
    QString title, y, x, y2;
    double titleSize, ySize, xSize, yLabels, xLabels, y2Size, y2Labels, topBottomLabels;
    bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(TChartView& chart) {
    QCPAxis* left = chart.axisRect(0)->axis(QCPAxis::atLeft);
    QCPAxis* bottom = chart.axisRect(chart.axisRectCount() - 1)->axis(QCPAxis::atBottom);
    QCPAxis* extra = chart.axisRectCount() > 1 ? chart.axisRect(1)->axis(QCPAxis::atLeft) : left;
    return {chart.TitleElement()->text(),
            left->label(),
            bottom->label(),
            extra->label(),
            chart.TitleElement()->font().pointSizeF(),
            left->labelFont().pointSizeF(),
            bottom->labelFont().pointSizeF(),
            left->tickLabelFont().pointSizeF(),
            bottom->tickLabelFont().pointSizeF(),
            extra->labelFont().pointSizeF(),
            extra->tickLabelFont().pointSizeF(),
            chart.axisRect(0)->axis(QCPAxis::atBottom)->tickLabelFont().pointSizeF()};
}

class ChartTitlesTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ChartTextMemory = TChartTextMemory{};
    }
    void TearDown() override {
        ChartTextMemory = TChartTextMemory{};
        GuiTest::TearDown();
    }
};

TEST_F(ChartTitlesTest, EditsApplyAtOnceAndCancelPutsEverythingBack) {
    TChartView chart;
    chart.SetScene(TwoPanels(true));
    const TSnapshot before = Snap(chart);
    TForm_ChartTitles dialog(&chart);
    EXPECT_EQ(Child<QPlainTextEdit>(&dialog, "Memo_Title")->toPlainText(), "Mean and Range Chart: Diam1");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Edit_Y")->text(), "Mean");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Edit_X")->text(), "Point");
    EXPECT_TRUE(Child<QLineEdit>(&dialog, "Edit_Y2")->isVisibleTo(&dialog));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Edit_Y2")->text(), "R");

    Child<QPlainTextEdit>(&dialog, "Memo_Title")->setPlainText("Line 1\nLine 2");
    Child<QLineEdit>(&dialog, "Edit_Y")->setText("Diameter");
    Child<QLineEdit>(&dialog, "Edit_X")->setText("Day");
    Child<QLineEdit>(&dialog, "Edit_Y2")->setText("Range");
    for (const char* box : {"ComboBox_TitleSize", "ComboBox_YTitleSize", "ComboBox_XTitleSize",
                            "ComboBox_YLabelSize", "ComboBox_XLabelSize"})
        Child<QComboBox>(&dialog, box)->setEditText("20");
    // Applied as typed: the new texts and sizes are on the chart already.
    const TSnapshot edited = Snap(chart);
    EXPECT_EQ(edited.title, "Line 1\nLine 2");
    EXPECT_EQ(edited.y, "Diameter");
    EXPECT_EQ(edited.x, "Day");
    EXPECT_EQ(edited.y2, "Range");
    EXPECT_EQ(edited.titleSize, 20);
    EXPECT_EQ(edited.ySize, 20);
    EXPECT_EQ(edited.y2Size, 20);
    EXPECT_EQ(edited.xLabels, 20);
    EXPECT_EQ(edited.y2Labels, 20);
    EXPECT_EQ(edited.topBottomLabels, 20) << "the X label size applies to every bottom axis";
    // An emptied size box leaves its size alone.
    Child<QComboBox>(&dialog, "ComboBox_TitleSize")->setEditText("");
    EXPECT_EQ(Snap(chart).titleSize, 20);

    dialog.reject();
    EXPECT_EQ(Snap(chart), before);
    EXPECT_TRUE(ChartTextMemory.Title.empty()) << "Cancel remembers nothing";
}

TEST_F(ChartTitlesTest, OkKeepsTheEditsAndRemembersTheLastTexts) {
    TChartView chart;
    chart.SetScene(TwoPanels(false));
    {
        TForm_ChartTitles dialog(&chart);
        EXPECT_FALSE(Child<QLineEdit>(&dialog, "Edit_Y2")->isVisibleTo(&dialog)) << "no second axis";
        EXPECT_FALSE(Child<QLabel>(&dialog, "Label_Y2")->isVisibleTo(&dialog));
        Child<QLineEdit>(&dialog, "Edit_Y")->setText("Weight (g)");
        Child<QPlainTextEdit>(&dialog, "Memo_Title")->setPlainText("Line A");
        dialog.accept();
    }
    EXPECT_EQ(chart.axisRect(0)->axis(QCPAxis::atLeft)->label(), "Weight (g)");
    EXPECT_EQ(ChartTextMemory.YTitle, "Weight (g)");
    EXPECT_EQ(ChartTextMemory.Title, "Line A");
    EXPECT_EQ(ChartTextMemory.XTitle, "Point");

    // The next time the Last Text buttons bring them back, and say so in their hints.
    chart.SetScene(TwoPanels(false));
    TForm_ChartTitles dialog(&chart);
    auto* lastY = Child<QToolButton>(&dialog, "Button_LastY");
    EXPECT_EQ(lastY->toolTip(), "Last Text:\nWeight (g)");
    lastY->click();
    EXPECT_EQ(chart.axisRect(0)->axis(QCPAxis::atLeft)->label(), "Weight (g)");
    Child<QToolButton>(&dialog, "Button_LastTitle")->click();
    EXPECT_EQ(chart.TitleElement()->text(), "Line A");
    dialog.reject();
    EXPECT_EQ(chart.TitleElement()->text(), "Mean and Range Chart: Diam1");
}

TEST_F(ChartTitlesTest, ThePointDialogStaysOnTheScreen) {
    const QRect screen(0, 0, 1280, 800);
    const QSize size(300, 100);
    const struct {
        QPoint mouse;
        QPoint expected;
    } cases[] = {
        {{640, 400}, {490, 280}}, // centred, its bottom 20 pixels above the mouse
        {{10, 30}, {0, 0}},       // near the top-left corner: held at the edges
        {{1270, 790}, {980, 670}},
        {{1279, 50}, {980, 0}}, // the right edge
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointLabelPosition(c.mouse, size, screen), c.expected) << c.mouse.x();
    // A second screen to the left: its own edges count.
    EXPECT_EQ(PointLabelPosition({-1900, 10}, size, QRect(-1920, 0, 1920, 1080)), QPoint(-1920, 0));
}

TEST_F(ChartTitlesTest, ThePointDialogReturnsTheTextOnlyWithOk) {
    ChartTextMemory.PointText = "gauge 2";
    const auto answer = [](bool ok, const QString& typed) {
        QTimer::singleShot(0, [ok, typed] {
            auto* dialog = qobject_cast<TForm_PointLabel*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* last = dialog->findChild<QPushButton*>("Button_LastText");
            ASSERT_NE(last, nullptr);
            EXPECT_EQ(last->toolTip(), "gauge 2");
            if (typed.isEmpty())
                last->click();
            else
                dialog->findChild<QLineEdit*>("Edit_Text")->setText(typed);
            if (ok)
                dialog->accept();
            else
                dialog->reject();
        });
    };
    answer(true, "");
    EXPECT_EQ(EnterPointLabel("old", {100, 300}), std::optional<QString>("gauge 2"));
    answer(false, "changed");
    EXPECT_EQ(EnterPointLabel("old", {100, 300}), std::nullopt);
    answer(true, "new text");
    EXPECT_EQ(EnterPointLabel("old", {100, 300}), std::optional<QString>("new text"));
    EXPECT_EQ(ChartTextMemory.PointText, "new text");
}

} // namespace
