// SPDX-License-Identifier: GPL-3.0-or-later
// The chart renderer driven from outside: for each element kind what is drawn where and what the
// mouse finds there, the grid of panels with spans and x links, and pictures drawn from the scene
// with the window's view state.
#include "GuiFixture.h"

#include "charts/ChartScene.h"
#include "charts/ChartView.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

constexpr int kWidth = 500, kHeight = 360;

// One panel over 0..10 both ways, without titles.
TChartScene Panel() {
    TChartScene scene;
    scene.Panels.push_back({.X = {.Min = 0, .Max = 10}, .Y = {.Min = 0, .Max = 10}});
    return scene;
}

class ChartViewTest : public GuiTest {
protected:
    void Show(TChartScene scene) {
        view.resize(kWidth, kHeight);
        view.SetScene(std::move(scene));
        view.replot();
    }
    QImage Picture() {
        return view.toPixmap(kWidth, kHeight).toImage().convertToFormat(QImage::Format_RGB32);
    }
    QPointF At(double x, double y, int panel = 0) const {
        QCPAxisRect* rect = view.RectOf(panel);
        return {rect->axis(QCPAxis::atBottom)->coordToPixel(x), rect->axis(QCPAxis::atLeft)->coordToPixel(y)};
    }
    static TSceneColor ColorAt(const QImage& image, QPointF at) {
        return static_cast<TSceneColor>(image.pixel(at.toPoint()) & 0xFFFFFF);
    }
    // Within `slack` of a colour in every channel (smoothed edges of lines and text).
    static bool Near(QRgb pixel, TSceneColor color, int slack) {
        const QColor a(pixel), b = SceneColor(color);
        return std::abs(a.red() - b.red()) <= slack && std::abs(a.green() - b.green()) <= slack &&
               std::abs(a.blue() - b.blue()) <= slack;
    }
    // Pixels of (nearly) a colour within a rectangle of the picture.
    static int Count(const QImage& image, const QRect& area, TSceneColor color, int slack = 0) {
        int n = 0;
        for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y)
            for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1); ++x)
                n += Near(image.pixel(x, y), color, slack);
        return n;
    }

    TChartView view;
};

TEST_F(ChartViewTest, BarsAreFilledAndFoundByTheirArea) {
    TChartScene scene = Panel();
    scene.Bars.push_back({.X0 = 2,
                          .X1 = 4,
                          .Y0 = 0,
                          .Y1 = 6,
                          .Fill = kZoneGreen,
                          .Outline = kColorBlack,
                          .Hover = "9.5 to 10.0: 6"});
    scene.Bars.push_back({.X0 = 6, .X1 = 8, .Y0 = 0, .Y1 = 3, .Fill = kColorSilver, .Outline = kNoColor});
    Show(scene);
    const QImage image = Picture();
    EXPECT_EQ(ColorAt(image, At(3, 3)), kZoneGreen);
    EXPECT_EQ(ColorAt(image, At(7, 1.5)), kColorSilver);
    EXPECT_NE(ColorAt(image, At(3, 8.3)), kZoneGreen) << "nothing above the bar";

    const auto hit = view.HitAt(At(3, 5));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->What, TChartHit::Kind::Bar);
    EXPECT_EQ(hit->Title, "9.5 to 10.0: 6");
    EXPECT_EQ(hit->Value, 6);
    EXPECT_FALSE(view.HitAt(At(3, 7))) << "above the bar";
    EXPECT_FALSE(view.HitAt(At(7, 1.5))) << "a bar without hover text";
}

// A sloped line and a riser are found at their own pixels, not only where a level segment lies.
TEST_F(ChartViewTest, LinesAreFoundByTheirDistanceToEverySegment) {
    TChartScene scene = Panel();
    TLineSeries slope{.Name = "Slope", .Hover = "Fitted line", .Color = kColorRed, .Width = 2};
    slope.RunsX = {{0, 10}};
    slope.RunsY = {{0, 10}};
    TLineSeries step{.Name = "Step", .Hover = "Limit", .Color = kColorBlue, .Width = 2};
    step.RunsX = {{6, 8, 8, 10}};
    step.RunsY = {{1, 1, 3, 3}};
    scene.Lines = {slope, step};
    Show(scene);
    const QImage image = Picture();
    EXPECT_TRUE(Near(image.pixel(At(5, 5).toPoint()), kColorRed, 40));

    auto hit = view.HitAt(At(5, 5) + QPointF(2, -2));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Title, "Fitted line");
    EXPECT_NEAR(hit->Value, 5, 0.2);
    // Halfway up the riser at x = 8: its nearer step's value.
    hit = view.HitAt(At(8, 2.4) + QPointF(3, 0));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Title, "Limit");
    EXPECT_EQ(hit->Value, 3);
    EXPECT_FALSE(view.HitAt(At(2, 8)));
}

TEST_F(ChartViewTest, ReferenceLinesWithTheirLabelsAndHoverTexts) {
    TChartScene scene = Panel();
    scene.References.push_back(
        {.Vertical = true, .Value = 4, .Color = kColorBlue, .Width = 2, .Label = "USL", .Hover = "USL = 4"});
    scene.References.push_back({.Vertical = false,
                                .Value = 7,
                                .Color = kColorRed,
                                .Width = 1,
                                .Style = TLineStyle::Dash,
                                .Label = "Target"});
    Show(scene);
    const QImage image = Picture();
    EXPECT_EQ(ColorAt(image, At(4, 5)), kColorBlue);
    // The label stands right of the line at the top of the panel, in the line's colour.
    const QPointF top = At(4, 10);
    const int labelPixels = Count(image, QRect(top.toPoint() + QPoint(3, 1), QSize(40, 18)), kColorBlue, 90);
    EXPECT_GT(labelPixels, 10);
    const QPointF right = At(10, 7);
    EXPECT_GT(Count(image, QRect(right.toPoint() + QPoint(-60, -20), QSize(58, 19)), kColorRed, 90), 10)
        << "the horizontal line's label above its right end";

    auto hit = view.HitAt(At(4, 2) + QPointF(2, 0));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->What, TChartHit::Kind::Reference);
    EXPECT_EQ(hit->Title, "USL = 4");
    EXPECT_EQ(hit->Value, 4);
    hit = view.HitAt(At(8, 7) + QPointF(0, 2));
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Title, "Target") << "without a hover text the label says what the line is";
}

TEST_F(ChartViewTest, TextBoxesAndLegendsStandAtTheirCornersClearOfEachOther) {
    TChartScene scene = Panel();
    scene.Texts.push_back({.Anchor = TTextAnchor::TopRight, .Lines = {"n=125", "mean=10.0"}, .Frame = true});
    scene.Texts.push_back(
        {.Anchor = TTextAnchor::Point, .X = 2, .Y = 4, .Lines = {"new gauge"}, .Color = kColorBlue});
    TLineSeries curve{
        .Name = "Curve", .Hover = "Curve", .Legend = "Normal fit", .Color = kColorGreen, .Width = 3};
    curve.RunsX = {{0, 10}};
    curve.RunsY = {{1, 1}};
    scene.Lines.push_back(curve);
    Show(scene);
    const QImage image = Picture();
    const QRect area = view.RectOf(0)->rect();
    const QRect topRight(area.right() - 140, area.top(), 140, 90);
    const QRect topLeft(area.left() + 8, area.top() + 8, 140, 90); // clear of the ticks
    EXPECT_GT(Count(image, topRight, kColorBlack), 30) << "the framed text";
    EXPECT_EQ(Count(image, topLeft, kColorBlack), 0);
    // The legend's sample of the curve, below the text box.
    EXPECT_GT(Count(image, topRight, kColorGreen, 40), 10);
    // The box beside a data point stands up and to the right of it.
    const QPoint point = At(2, 4).toPoint();
    EXPECT_GT(Count(image, QRect(point + QPoint(4, -30), QSize(80, 28)), kColorBlue, 90), 10);
    EXPECT_EQ(Count(image, QRect(point + QPoint(-84, 4), QSize(80, 28)), kColorBlue, 90), 0);
    const QPointF line = At(5, 1);
    EXPECT_EQ(ColorAt(image, line), kColorGreen);
}

// A rising line fills the top right corner: the legend goes to the top left, hiding nothing.
TEST_F(ChartViewTest, ALegendTakesACornerWhereItHidesNothing) {
    TChartScene scene = Panel();
    TLineSeries rise{
        .Name = "Fit", .Hover = "Fit", .Legend = "Fitted normal", .Color = kColorRed, .Width = 2};
    rise.RunsX = {{0, 10}};
    rise.RunsY = {{0, 10}};
    scene.Lines.push_back(rise);
    Show(scene);
    const QImage image = Picture();
    const QRect area = view.RectOf(0)->rect();
    const QRect topLeft(area.left() + 8, area.top() + 8, 120, 40);
    EXPECT_GT(Count(image, topLeft, kColorRed, 40), 10) << "the legend's sample of the line";
    EXPECT_GT(Count(image, topLeft, kColorBlack), 10) << "its frame and entry";
    // The line's top end stays visible.
    EXPECT_TRUE(Near(image.pixel(At(9.5, 9.5).toPoint()), kColorRed, 60));
}

TEST_F(ChartViewTest, GivenTicksAreTheOnlyTicksAndKeepTheirLabels) {
    TChartScene scene = Panel();
    auto ticks = std::make_shared<TSceneTicks>();
    ticks->At = {-1.2816, 0, 1.2816, 20};
    ticks->Labels = {"10 %", "50 %", "90 %", "beyond"};
    scene.Panels[0].Y = {.Title = "Percent", .Min = -3, .Max = 3, .Ticks = ticks};
    Show(scene);
    QCPAxis* y = view.RectOf(0)->axis(QCPAxis::atLeft);
    EXPECT_EQ(y->tickVector(), (QVector<double>{-1.2816, 0, 1.2816}));
    EXPECT_EQ(y->tickVectorLabels(), (QVector<QString>{"10 %", "50 %", "90 %"}));
    EXPECT_EQ(y->label(), "Percent");

    // Angles turn anticlockwise in the scene, clockwise in QCustomPlot: 315 falls to the right,
    // 90 reads upwards.
    for (const auto& [angle, rotation] : {std::pair{315, 45.0}, std::pair{90, -90.0}, std::pair{0, 0.0}}) {
        scene.Panels[0].X.LabelAngle = angle;
        Show(scene);
        EXPECT_EQ(view.RectOf(0)->axis(QCPAxis::atBottom)->tickLabelRotation(), rotation) << angle;
    }
}

// Two panels side by side zoom together; the one spanning both columns below them stands alone.
TEST_F(ChartViewTest, PanelsFillTheirCellsAndLinkedOnesZoomTogether) {
    TChartScene scene;
    scene.RowWeights = {0.5, 0.5};
    scene.ColumnWeights = {0.5, 0.5};
    scene.Panels.push_back({.X = {.Min = 0, .Max = 10}, .Row = 0, .Column = 0, .XLink = 1});
    scene.Panels.push_back({.X = {.Min = 0, .Max = 10}, .Row = 0, .Column = 1, .XLink = 1});
    scene.Panels.push_back({.X = {.Min = 0, .Max = 10}, .Row = 1, .Column = 0, .ColumnSpan = 2});
    Show(scene);
    const QRect a = view.RectOf(0)->outerRect(), b = view.RectOf(1)->outerRect(),
                c = view.RectOf(2)->outerRect();
    EXPECT_EQ(a.top(), b.top());
    EXPECT_LT(a.right(), b.left());
    EXPECT_EQ(c.left(), a.left());
    EXPECT_EQ(c.right(), b.right());
    EXPECT_GT(c.top(), a.bottom());
    EXPECT_NEAR(a.height(), c.height(), 2);

    QSignalSpy zoomed(&view, &TChartView::zoomChanged);
    view.RectOf(0)->axis(QCPAxis::atBottom)->setRange(2, 4);
    EXPECT_EQ(view.RectOf(1)->axis(QCPAxis::atBottom)->range(), QCPRange(2, 4));
    EXPECT_EQ(view.RectOf(2)->axis(QCPAxis::atBottom)->range(), QCPRange(0, 10));
    EXPECT_TRUE(view.IsZoomed());
    EXPECT_EQ(zoomed.count(), 1);
    view.ZoomOut();
    EXPECT_EQ(view.RectOf(1)->axis(QCPAxis::atBottom)->range(), QCPRange(0, 10));
}

// Each point says its own hover text; a click on a statistic reports its role and position.
TEST_F(ChartViewTest, PointsHoverOneByOneAndClicksFollowTheirRole) {
    TChartScene scene = Panel();
    scene.Points.push_back({.Name = "Ranges",
                            .Hover = "Range",
                            .Hovers = {"", "R = 4 (day 2)", ""},
                            .Role = TSceneRole::DispersionStatistic,
                            .X = {1, 2, 3},
                            .Y = {5, 4, 6},
                            .Colors = {kColorBlue, kColorRed, kColorBlue},
                            .Size = 4});
    scene.Points.push_back({.Name = "Values", .X = {8}, .Y = {8}, .Colors = {kColorBlack}});
    Show(scene);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.replot();
    EXPECT_EQ(ColorAt(Picture(), At(2, 4)), kColorRed);
    ASSERT_TRUE(view.HitAt(At(2, 4)));
    EXPECT_EQ(view.HitAt(At(2, 4))->Title, "R = 4 (day 2)");
    EXPECT_EQ(view.HitAt(At(1, 5))->Title, "Range");
    EXPECT_FALSE(view.HitAt(At(8, 8))) << "a series without hover texts is not found";

    QSignalSpy clicked(&view, &TChartView::pointClicked);
    QTest::mouseClick(&view, Qt::LeftButton, {}, At(3, 6).toPoint());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toBool(), true);
    EXPECT_EQ(clicked[0][1].toDouble(), 3);
}

// A picture drawn from the scene and the view state, by a view that is never shown, is the
// window's picture: zoom, split and edited titles included.
TEST_F(ChartViewTest, PicturesAreDrawnFromTheSceneWithTheViewState) {
    TChartScene scene = Panel();
    scene.TitleLines = {"Scene title"};
    scene.Panels[0].Y.Title = "Y";
    scene.Bars.push_back({.X0 = 2, .X1 = 4, .Y0 = 0, .Y1 = 6, .Fill = kZoneGreen});
    Show(scene);
    view.SetOverrides({.Title = QString("Edited title"), .TitleSize = 16.0});
    view.RectOf(0)->axis(QCPAxis::atBottom)->setRange(1, 5);
    view.replot();

    const TChartPicture picture = PictureOf(view);
    EXPECT_EQ(picture.Scene.get(), &view.Scene()) << "shared, not copied";
    EXPECT_TRUE(picture.View.Zoomed);
    QImage drawn(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::white);
    {
        QCPPainter painter(&drawn);
        RenderScene(picture.Scene, picture.View, painter, QSize(kWidth, kHeight));
    }
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32), Picture());
    EXPECT_EQ(view.TitleElement()->text(), "Edited title");
    // A new scene starts without the old one's titles.
    Show(scene);
    EXPECT_EQ(view.TitleElement()->text(), "Scene title");
}

} // namespace
