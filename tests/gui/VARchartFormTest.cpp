// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart window driven as a user would: the chart list, the display options and
// their menu rules, the sizing slider, hovering, clicking points and the title, zooming and the
// window's life when the table changes.
#include "GuiFixture.h"

#include "ChartFixture.h"

#include "app/Help.h"
#include "app/Platform.h"
#include "charts/ChartScene.h"
#include "charts/ChartView.h"
#include "charts/VARchart.h"
#include "charts/VARchartForm.h"
#include "charts/VARchartScene.h"
#include "data/DataFile.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"
#include "data/Transfrm.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class VARchartFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        VarChartSettings = TVarChartSettings{};
        ResetVarChart();
        ChartsBlackAndWhite = false;
    }
    void TearDown() override {
        form.reset();
        ChartsBlackAndWhite = false;
        GuiTest::TearDown();
    }
    // The example file as means and ranges of the five diameters of a row, labelled by day.
    void MeansAndRanges() { ASSERT_TRUE(BearingMeansAndRanges()); }
    TVARchart_Form& Open() {
        BuildChartList();
        form = std::make_unique<TVARchart_Form>(nullptr, nullptr);
        form->resize(1000, 700);
        form->Reload();
        form->show();
        QApplication::processEvents();
        form->Chart()->replot();
        return *form;
    }
    QAction* Item(const char* name) { return Child<QAction>(form.get(), name); }
    // Opens the View menu as the user does, so that its rules are applied.
    void OpenViewMenu() { form->UpdateViewMenu(); }
    const TChartScene& Scene() { return form->Chart()->Scene(); }
    // The widget position of a statistic point.
    QPoint PointPosition(const char* series, int index) {
        const TPointSeries* s = Scene().FindPoints(series);
        EXPECT_NE(s, nullptr);
        QCPAxisRect* rect = form->Chart()->axisRect(s->Panel);
        return QPointF(rect->axis(QCPAxis::atBottom)->coordToPixel(s->X[static_cast<std::size_t>(index)]),
                       rect->axis(QCPAxis::atLeft)->coordToPixel(s->Y[static_cast<std::size_t>(index)]))
            .toPoint();
    }

    RecordingPlatform recorder;
    std::unique_ptr<TVARchart_Form> form;
};

TEST_F(VARchartFormTest, ActionShowsTheFirstChartWithItsTitleAxesAndCaption) {
    MeansAndRanges();
    Open();
    EXPECT_TRUE(form->windowTitle().startsWith("Variables Chart - "));
    EXPECT_TRUE(form->windowTitle().endsWith("bearing-diameters.kivs"));
    ASSERT_EQ(form->ChartList()->count(), 1);
    EXPECT_EQ(form->ChartList()->item(0)->text(), "Diam1..Diam5");
    TChartView* chart = form->Chart();
    ASSERT_EQ(chart->axisRectCount(), 2);
    EXPECT_EQ(chart->TitleElement()->text(), "Mean and Range Chart: Bearing diameter, part 1 (mm)");
    EXPECT_EQ(chart->axisRect(0)->axis(QCPAxis::atLeft)->label(), "Mean");
    EXPECT_EQ(chart->axisRect(1)->axis(QCPAxis::atLeft)->label(), "R");
    EXPECT_EQ(chart->axisRect(1)->axis(QCPAxis::atBottom)->label(), "Production day");
    EXPECT_EQ(Scene().XLabels.front(), "1");
    EXPECT_EQ(Scene().XLabels.back(), "15");
    EXPECT_TRUE(Child<QSlider>(form.get(), "TrackBar1")->isVisibleTo(form.get()));
}

TEST_F(VARchartFormTest, DisplayOptionsRedrawAndFollowTheMenuRules) {
    MeansAndRanges();
    Open();
    OpenViewMenu();
    EXPECT_TRUE(Item("ShowAllPoints1")->isEnabled());
    EXPECT_FALSE(Item("ShowSigmaLines1")->isEnabled());
    EXPECT_FALSE(Item("RemovePlotofLocationStatistics1")->isEnabled());
    EXPECT_TRUE(Item("DisplayZones1")->isEnabled());
    EXPECT_FALSE(Item("ClearPointText1")->isEnabled());

    Item("DisplayZones1")->trigger();
    EXPECT_FALSE(Scene().Zones.empty());
    Item("AddLimitInformationtoChart1")->trigger();
    ASSERT_EQ(Scene().FooterLines.size(), 4u);
    EXPECT_EQ(form->Chart()->FooterElement()->text().split('\n').last(),
              "Mean Chart Control Limits [25.024, 24.986] from Average Range");

    // All points brings the individual values and the options that need them.
    Item("ShowAllPoints1")->trigger();
    ASSERT_NE(Scene().FindPoints("Series_AllPoints"), nullptr);
    EXPECT_EQ(Scene().FindPoints("Series_AllPoints")->X.size(), 150u);
    OpenViewMenu();
    EXPECT_TRUE(Item("ShowSigmaLines1")->isEnabled());
    Item("ShowSpecifications1")->trigger();
    Item("ShowSigmaLines1")->trigger();
    EXPECT_NE(Scene().FindLine("Series_USL"), nullptr);
    EXPECT_NE(Scene().FindLine("Series_Plus3Sigma"), nullptr);
    // Switching it off takes them along.
    Item("ShowAllPoints1")->trigger();
    OpenViewMenu();
    EXPECT_FALSE(Item("ShowSpecifications1")->isChecked());
    EXPECT_FALSE(Item("ShowSigmaLines1")->isChecked());
    EXPECT_EQ(Scene().FindLine("Series_USL"), nullptr);

    // Violations off also takes the codes off.
    Item("DisplayControlViolationCodes1")->trigger();
    Item("DisplayControlViolations1")->trigger();
    OpenViewMenu();
    EXPECT_FALSE(Item("DisplayControlViolationCodes1")->isEnabled());
    EXPECT_FALSE(Item("DisplayControlViolationCodes1")->isChecked());

    // Black and white from the tool button; the menu shows the mode.
    Child<QAction>(form.get(), "ToolButton_BW")->trigger();
    EXPECT_EQ(Scene().TextColor, kColorBlack);
    OpenViewMenu();
    EXPECT_TRUE(Item("BlackWhite1")->isChecked());

    Item("Decimals2")->trigger();
    EXPECT_EQ(Child<QMenu>(form.get(), "AxisDecimalPlaces1")->title(), "Axis Decimal &Places (2)");
    EXPECT_EQ(form->Chart()->axisRect(0)->axis(QCPAxis::atLeft)->numberPrecision(), 2);
}

TEST_F(VARchartFormTest, TheSliderSharesTheHeightAndItsEndsShowOneChart) {
    MeansAndRanges();
    Open();
    auto* slider = Child<QSlider>(form.get(), "TrackBar1");
    slider->setValue(30);
    EXPECT_EQ(slider->toolTip(), "Location/Dispersion Chart Sizing (30%/70%)");
    EXPECT_EQ(form->Chart()->axisRectCount(), 2);
    EXPECT_DOUBLE_EQ(form->Chart()->plotLayout()->rowStretchFactors()[1], 0.3);
    slider->setValue(10);
    ASSERT_EQ(form->Chart()->axisRectCount(), 1);
    EXPECT_EQ(form->Chart()->axisRect(0)->axis(QCPAxis::atLeft)->label(), "R");
    EXPECT_EQ(Scene().FindLine("Series_DUCL")->Title, "Dispersion UCL");
    slider->setValue(50);
    EXPECT_EQ(form->Chart()->axisRectCount(), 2);
}

TEST_F(VARchartFormTest, HoverClicksAndZoom) {
    MeansAndRanges();
    Open();
    TChartView* chart = form->Chart();
    chart->replot();
    // Hovering a point names its series and value.
    const QPoint at = PointPosition("Series_Loc", 0);
    QMouseEvent move(QEvent::MouseMove, at, chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(chart, &move);
    EXPECT_EQ(Child<QLabel>(form.get(), "Label_LineTitle")->text(), "Location Statistic");
    EXPECT_EQ(Child<QLabel>(form.get(), "Label_PointValue")->text(), "24.99");
    const auto hit = chart->HitAt(at);
    ASSERT_TRUE(hit.has_value());
    EXPECT_TRUE(hit->IsPoint);
    // Over a limit line away from points: the line's title.
    const TLineSeries* ucl = Scene().FindLine("Series_UCL");
    ASSERT_NE(ucl, nullptr);
    const QPointF onLine(chart->axisRect(0)->axis(QCPAxis::atBottom)->coordToPixel(0.3),
                         chart->axisRect(0)->axis(QCPAxis::atLeft)->coordToPixel(ucl->RunsY[0][0]));
    const auto lineHit = chart->HitAt(onLine);
    ASSERT_TRUE(lineHit.has_value());
    EXPECT_EQ(lineHit->Title, "Location UCL");
    EXPECT_TRUE(chart->OverTitle(chart->TitleElement()->outerRect().center()));

    // Dragging a rectangle zooms into it.
    EXPECT_FALSE(Item("ZoomOut1")->isEnabled());
    const auto mouse = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, chart->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(chart, &e);
    };
    const QPoint from = PointPosition("Series_Loc", 3) + QPoint(0, -30),
                 to = PointPosition("Series_Loc", 9) + QPoint(0, 30);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_TRUE(Item("ZoomOut1")->isEnabled());
    EXPECT_NEAR(chart->axisRect(0)->axis(QCPAxis::atBottom)->range().lower, 3, 0.1);
    EXPECT_NEAR(chart->axisRect(1)->axis(QCPAxis::atBottom)->range().upper, 9, 0.1);
    Item("ZoomOut1")->trigger();
    EXPECT_FALSE(Item("ZoomOut1")->isEnabled());
    chart->axisRect(0)->axis(QCPAxis::atBottom)->setRange(2, 8);
    EXPECT_TRUE(Item("ZoomOut1")->isEnabled());
    EXPECT_DOUBLE_EQ(chart->axisRect(1)->axis(QCPAxis::atBottom)->range().lower, 2);
    Item("ZoomOut1")->trigger();
    EXPECT_FALSE(Item("ZoomOut1")->isEnabled());
    EXPECT_DOUBLE_EQ(chart->axisRect(0)->axis(QCPAxis::atBottom)->range().lower, Scene().XMin);
}

TEST_F(VARchartFormTest, ClickingAPointLabelsItAndClickingTheTitleEditsIt) {
    MeansAndRanges();
    Open();
    TChartView* chart = form->Chart();
    chart->replot();
    const auto click = [&](QPoint at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, chart->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(chart, &e);
        }
    };
    // The point dialog opens; its text becomes the label of the clicked position.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Enter Text for Point");
        dialog->findChild<QLineEdit*>("Edit_Text")->setText("new tool");
        qobject_cast<QDialog*>(dialog)->accept();
    });
    click(PointPosition("Series_Loc", 17));
    ASSERT_GT(VarChartDisplay.LocationLabels.size(), 17u);
    EXPECT_EQ(VarChartDisplay.LocationLabels[17], "new tool");
    ASSERT_EQ(Scene().Labels[0].size(), 1u);
    EXPECT_EQ(Scene().Labels[0][0].Text, "new tool");
    OpenViewMenu();
    EXPECT_TRUE(Item("ClearPointText1")->isEnabled());
    Item("ClearPointText1")->trigger();
    EXPECT_TRUE(Scene().Labels[0].empty());

    // The title opens the titles dialog; Cancel leaves the title.
    chart->replot();
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Titles");
        dialog->findChild<QPlainTextEdit*>("Memo_Title")->setPlainText("Changed");
        qobject_cast<QDialog*>(dialog)->reject();
    });
    click(chart->TitleElement()->outerRect().center());
    EXPECT_EQ(chart->TitleElement()->text(), "Mean and Range Chart: Bearing diameter, part 1 (mm)");
}

TEST_F(VARchartFormTest, ChangedColumnsCloseTheWindow) {
    MeansAndRanges();
    Open();
    TTableEdit(edits::InsertColumns{8, 1, {}}).Apply();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->ChartList()->count(), 0);
    EXPECT_EQ(VarChart.Count, 0);
}

TEST_F(VARchartFormTest, HelpOpensTheWindowsTopic) {
    MeansAndRanges();
    Open();
    Child<QAction>(form.get(), "HelponVariablesChartForm1")->trigger();
    ASSERT_FALSE(recorder.HelpShown.empty());
    EXPECT_EQ(recorder.HelpShown.back(), kHelpVarChart);
}

// What the points cannot show is said above the chart: a value the log cannot take is left out.
TEST_F(VARchartFormTest, TheWindowSaysWhichValuesTheChartLeftOut) {
    MeansAndRanges();
    TVARchart_Form& f = Open();
    auto* notes = Child<QLabel>(&f, "Label_ChartNotes");
    EXPECT_FALSE(notes->isVisible());
    ASSERT_TRUE(ApplyTableEdit(TTableEdit::Cell(3, 2, "-5"), "Edit"));
    DataList.RebuildValues();
    TransformRec.Kind = kTransformLog;
    TransformRec.A = 1;
    TransformRec.B = 0;
    TransformRec.AText = "1";
    TransformRec.BText = "0";
    f.Recalculate();
    EXPECT_TRUE(notes->isVisible());
    EXPECT_TRUE(notes->text().startsWith("1 value outside the transform's domain left out"))
        << notes->text().toStdString();
    TransformRec = TTransformRec{};
    f.Recalculate();
    EXPECT_FALSE(notes->isVisible());
}

} // namespace
