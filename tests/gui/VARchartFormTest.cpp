// SPDX-License-Identifier: GPL-3.0-or-later
// The variables chart window driven as a user would: the chart list, the display options and
// their menu rules, the sizing slider, hovering, clicking points and the title, zooming and the
// window's life when the table changes.
#include "GuiFixture.h"

#include "ChartFixture.h"

#include "app/Help.h"
#include "app/NumberFormat.h"
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

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

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

    // Column 1 ("Diameter") as individual values with moving ranges; column 2 ("Phase") the set
    // of each value when sets are given.
    static void Individuals(const std::vector<double>& values, const std::vector<int>& sets = {}) {
        NewDataTable();
        TDataTable& t = DataTable();
        t.SetColumnCount(sets.empty() ? 1 : 2);
        t.SetRowCount(static_cast<int>(values.size()));
        t.SetColumnName(1, "Diameter");
        if (!sets.empty()) t.SetColumnName(2, "Phase");
        for (std::size_t r = 0; r < values.size(); ++r) {
            t.SetCell(1, static_cast<int>(r) + 1, FormatCellNumber(values[r]));
            if (!sets.empty()) t.SetCell(2, static_cast<int>(r) + 1, std::to_string(sets[r]));
        }
        DataList.MarkAllRowsChanged();
        DataList.RebuildValues();
        TVarChartSettings& s = VarChartSettings;
        s = TVarChartSettings{};
        s.Measures[1] = 1;
        s.RunInfo.FirstMeasure = s.RunInfo.LastMeasure = s.RunInfo.CurrentMeasure = 1;
        s.DataLayout = 1;
        s.LocationChart = kChartX;
        s.DispersionChart = kChartMovingRange;
        s.LocationMethod = s.DispersionMethod = kMethodAverageMR;
        s.LocationCenterline = kCenterAverage;
        s.DispersionCenterline = kCenterDispAverage;
        s.SetColumn = sets.empty() ? 0 : 2;
    }
    // The chart as it shows on the screen.
    QImage Picture() {
        form->Chart()->replot();
        return form->Chart()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static TSceneColor ColorAt(const QImage& image, QPoint at) {
        return static_cast<TSceneColor>(image.pixel(at) & 0xFFFFFF);
    }
    // The position labels of the horizontal axis as drawn.
    QStringList XLabels() {
        form->Chart()->replot();
        QCPAxisRect* rect = form->Chart()->axisRect(form->Chart()->axisRectCount() - 1);
        const QVector<QString> labels = rect->axis(QCPAxis::atBottom)->tickVectorLabels();
        return QStringList(labels.begin(), labels.end());
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
    EXPECT_EQ(Scene().Panels.back().X.Ticks->Labels.front(), "1");
    EXPECT_EQ(Scene().Panels.back().X.Ticks->Labels.back(), "15");
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
    form->Chart()->replot();
    const double top = form->Chart()->axisRect(0)->outerRect().height();
    const double bottom = form->Chart()->axisRect(1)->outerRect().height();
    EXPECT_NEAR(top / (top + bottom), 0.3, 0.02);
    slider->setValue(10);
    ASSERT_EQ(form->Chart()->axisRectCount(), 1);
    EXPECT_EQ(form->Chart()->axisRect(0)->axis(QCPAxis::atLeft)->label(), "R");
    EXPECT_EQ(Scene().FindLine("Series_DUCL")->Hover, "Dispersion UCL");
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
    EXPECT_DOUBLE_EQ(chart->axisRect(0)->axis(QCPAxis::atBottom)->range().lower, Scene().Panels[0].X.Min);
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
    ASSERT_EQ(Scene().PointLabels.size(), 1u);
    EXPECT_EQ(Scene().PointLabels[0].Text, "new tool");
    OpenViewMenu();
    EXPECT_TRUE(Item("ClearPointText1")->isEnabled());
    Item("ClearPointText1")->trigger();
    EXPECT_TRUE(Scene().PointLabels.empty());

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

// Two phases, each opened by a value far above the rest (out of control, hand calculation:
// phase 1 mean 12.1, mean moving range 29/9, UCL 12.1 + 3 (29/9) / 1.128 = 20.67; phase 2 mean
// 41.4, mean moving range 24/9, UCL 48.49). The highest values of the chart stand right under
// the violation codes, the second right after the label of its phase.
TEST_F(VARchartFormTest, CodeMarksAndSetLabelsLeaveEveryPointInSight) {
    Individuals({30, 10, 11, 9, 10, 11, 10, 9, 10, 11, 50, 40, 42, 39, 40, 42, 40, 39, 40, 42},
                {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    Open();
    Item("DisplayControlViolationCodes1")->trigger();
    ASSERT_GE(Scene().Codes.size(), 2u) << "30 and 50 beyond their UCL";
    ASSERT_EQ(Scene().Separators.size(), 2u);
    for (const bool blackAndWhite : {false, true}) {
        SCOPED_TRACE(blackAndWhite ? "black and white" : "colour");
        if (blackAndWhite) Child<QAction>(form.get(), "ToolButton_BW")->trigger();
        const QImage image = Picture();
        // Every point shows its own colour at its centre.
        for (const char* name : {"Series_Loc", "Series_Disp"}) {
            const TPointSeries* series = Scene().FindPoints(name);
            ASSERT_NE(series, nullptr);
            for (std::size_t i = 0; i < series->Y.size(); ++i) {
                if (IsGap(series->Y[i]) || (i < series->Hollow.size() && series->Hollow[i])) continue;
                EXPECT_EQ(ColorAt(image, PointPosition(name, static_cast<int>(i))), series->Colors[i])
                    << name << " point " << i + 1;
            }
        }
        // No code box covers a set label: the label's box holds its black and white only.
        QCPAxisRect* rect = form->Chart()->axisRect(0);
        const QFontMetricsF metrics(rect->axis(QCPAxis::atBottom)->tickLabelFont());
        for (const TSeparator& sep : Scene().Separators) {
            const double left =
                std::max<double>(rect->axis(QCPAxis::atBottom)->coordToPixel(sep.X), rect->rect().left());
            const QRectF label(left, rect->rect().top(),
                               metrics.horizontalAdvance(QString::fromStdString(sep.Label)) + 2,
                               metrics.height() + 2);
            // The label is white on black: any colour inside it comes from something drawn over it.
            int foreign = 0;
            for (int y = static_cast<int>(label.top()) + 1; y < static_cast<int>(label.bottom()) - 1; ++y)
                for (int x = static_cast<int>(label.left()) + 3; x < static_cast<int>(label.right()) - 1;
                     ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    foreign += qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel);
                }
            EXPECT_EQ(foreign, 0) << sep.Label;
        }
    }

    // Zoomed into a rectangle whose top edge grazes the highest value: the marks still go above it.
    Child<QAction>(form.get(), "ToolButton_BW")->trigger();
    TChartView* chart = form->Chart();
    chart->replot();
    QCPAxisRect* rect = chart->axisRect(0);
    const auto pixel = [&](double x, double y) {
        return QPointF(rect->axis(QCPAxis::atBottom)->coordToPixel(x),
                       rect->axis(QCPAxis::atLeft)->coordToPixel(y))
            .toPoint();
    };
    const auto mouse = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, chart->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(chart, &e);
    };
    const QPoint from = pixel(8.5, 50.2), to = pixel(15.5, 38.5);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    ASSERT_TRUE(chart->IsZoomed());
    const QImage zoomed = Picture();
    const TPointSeries* loc = Scene().FindPoints("Series_Loc");
    for (int i = 10; i <= 15; ++i)
        if (static_cast<std::size_t>(i) >= loc->Hollow.size() || !loc->Hollow[static_cast<std::size_t>(i)]) {
            EXPECT_EQ(ColorAt(zoomed, PointPosition("Series_Loc", i)),
                      loc->Colors[static_cast<std::size_t>(i)])
                << "zoomed, point " << i + 1;
        }
}

// "new tool" on the last point, at the right edge: the whole text shows, to the left of it.
TEST_F(VARchartFormTest, PointTextStaysInsideThePlot) {
    Individuals({30, 10, 11, 9, 10, 11, 10, 9, 10, 11, 50, 40, 42, 39, 40, 42, 40, 39, 40, 42});
    Open();
    const QImage before = Picture();
    const QString text = "new tool";
    VarChartDisplay.LocationLabels[19] = text.toStdString();
    // The highest point too: its text may not run into the top of the plot.
    VarChartDisplay.LocationLabels[10] = text.toStdString();
    form->RedrawChart();
    const QImage after = Picture();
    QCPAxisRect* rect = form->Chart()->axisRect(0);
    const QRect area = rect->rect();
    const QFontMetrics metrics(rect->axis(QCPAxis::atBottom)->tickLabelFont());
    // What changed: the ink of the two texts, one at each point.
    for (const int point : {10, 19}) {
        const QPoint at = PointPosition("Series_Loc", point);
        QRect ink;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = std::max(area.left(), at.x() - 150); x <= std::min(area.right(), at.x() + 150); ++x)
                if (before.pixel(x, y) != after.pixel(x, y) && std::abs(y - at.y()) < 3 * metrics.height())
                    ink |= QRect(x, y, 1, 1);
        ASSERT_FALSE(ink.isEmpty()) << point;
        EXPECT_GE(ink.width(), metrics.boundingRect(text).width() - 3)
            << "the whole text shows, point " << point;
        EXPECT_GT(ink.left(), area.left());
        EXPECT_LT(ink.right(), area.right());
        EXPECT_GT(ink.top(), area.top());
    }
}

// 40 points: labels every 5 (or closer) at any width that shows them; a redraw keeps them.
TEST_F(VARchartFormTest, PositionLabelsKeepTheirSpacingAfterEveryRedraw) {
    std::vector<double> values;
    for (int i = 0; i < 40; ++i)
        values.push_back(10 + (i * 7 % 5));
    Individuals(values);
    Open();
    const QStringList labels = XLabels();
    ASSERT_GE(labels.size(), 8) << labels.join(" ").toStdString();
    const auto same = [&](const char* what) { EXPECT_EQ(XLabels(), labels) << what; };
    Item("DisplayZones1")->trigger();
    same("a View option");
    Child<QAction>(form.get(), "ToolButton_BW")->trigger();
    same("black and white");
    Child<QSlider>(form.get(), "TrackBar1")->setValue(40);
    same("the sizing slider");
    VarChartDisplay.LocationLabels[3] = "tool";
    form->RedrawChart();
    same("point text");
}

// 200,000 values: the markers fill the band around the centerline, and the limit and centre
// lines still show over them.
TEST_F(VARchartFormTest, LimitLinesShowOverADenseChart) {
    std::vector<double> values;
    std::uint32_t seed = 12345;
    const auto uniform = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0 + 1e-9;
    };
    for (int i = 0; i < 200000; ++i)
        values.push_back(25 + std::sqrt(-2 * std::log(uniform())) * std::cos(6.283185307179586 * uniform()));
    Individuals(values);
    Open();
    const QImage image = Picture();
    QCPAxisRect* rect = form->Chart()->axisRect(0);
    for (const char* name : {"Series_CL", "Series_UCL", "Series_LCL"}) {
        const TLineSeries* line = Scene().FindLine(name);
        ASSERT_NE(line, nullptr);
        const int y =
            static_cast<int>(std::floor(rect->axis(QCPAxis::atLeft)->coordToPixel(line->RunsY[0][0])));
        for (const double share : {0.2, 0.5, 0.8}) {
            const int x = rect->rect().left() + static_cast<int>(rect->rect().width() * share);
            // The line's own colour, unmixed, within a pixel of where it runs.
            bool shows = false;
            for (int dy = -1; dy <= 2; ++dy)
                shows = shows || ColorAt(image, QPoint(x, y + dy)) == line->Color;
            EXPECT_TRUE(shows) << name << " at " << share;
        }
    }
}

// The print preview draws the chart on its pages; the window's chart stays as it was meanwhile.
TEST_F(VARchartFormTest, ThePrintPreviewLeavesTheWindowsChartAsItWas) {
    MeansAndRanges();
    Open();
    Item("DisplayControlViolationCodes1")->trigger();
    TChartView* chart = form->Chart();
    const QImage before = Picture();
    const QRect rectBefore = chart->axisRect(0)->rect();
    QImage during;
    QRect rectDuring;
    bool previewShown = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        previewShown = dialog->windowTitle() == "Print Preview";
        QApplication::processEvents();
        rectDuring = chart->axisRect(0)->rect();
        // Whatever makes the chart draw itself again meanwhile.
        chart->replot();
        during = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
        qobject_cast<QDialog*>(dialog)->reject();
    });
    Child<QAction>(form.get(), "Print1")->trigger();
    ASSERT_TRUE(previewShown);
    EXPECT_EQ(rectDuring, rectBefore);
    EXPECT_TRUE(during == before) << "the chart changed while the preview was open";

    // A page of other proportions (a portrait page, a picture saved at another size) is laid out
    // for itself; the window's chart keeps its layout, its ranges and what the mouse finds.
    const QCPRange yBefore = chart->axisRect(0)->axis(QCPAxis::atLeft)->range();
    const QPoint at = PointPosition("Series_Loc", 4);
    const QPixmap page = chart->toPixmap(400, 900);
    EXPECT_EQ(page.size(), QSize(400, 900));
    QApplication::processEvents();
    EXPECT_EQ(chart->axisRect(0)->rect(), rectBefore);
    EXPECT_EQ(chart->axisRect(0)->axis(QCPAxis::atLeft)->range(), yBefore);
    const auto hit = chart->HitAt(at);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->Series, "Series_Loc");
    EXPECT_DOUBLE_EQ(hit->Position, 4);
    EXPECT_TRUE(Picture() == before);
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
