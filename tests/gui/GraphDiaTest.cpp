// SPDX-License-Identifier: GPL-3.0-or-later
// Graph output read back by real clients: EMF through emf2svg-conv, WMF through wmf2svg, JPEG
// through djpeg, BMP and PNG through identify, SVG through rsvg-convert, PDF and the print
// path through pdftotext; refused extensions; the clipboard's formats.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "charts/ChartScene.h"
#include "charts/ChartView.h"
#include "charts/GraphDia.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <optional>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

// Runs a reader program; its standard output, or nothing when it is missing or fails.
std::optional<QByteArray> RunReader(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QByteArray();
    return p.readAllStandardOutput();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A chart of 1,000 points with a red limit line and a title.
TChartScene ThousandPoints() {
    TChartScene scene;
    scene.TitleLines = {"Test Chart Title"};
    scene.Panels.push_back({"Mean", 0, 10, 0, 1, -1});
    scene.XTitle = "Point";
    scene.XMin = -0.5;
    scene.XMax = 999.5;
    TPointSeries points{"Series_Loc", "Location Statistic", 0, {}, {}, {}, {}, {}, 3, 1};
    for (int i = 0; i < 1000; ++i) {
        scene.XLabelAt.push_back(i);
        scene.XLabels.push_back(std::to_string(i + 1));
        points.X.push_back(i);
        points.Y.push_back(5 + 3 * std::sin(i * 0.1));
        points.JoinPrevious.push_back(i > 0);
    }
    points.Colors.assign(1000, kColorBlue);
    scene.Points.push_back(points);
    TLineSeries ucl{"Series_UCL", "Location UCL", 0, kColorRed, 2, TLineStyle::Solid, {}, {}};
    AddStepRuns(ucl, points.X, std::vector<double>(1000, 9), 1);
    scene.Lines.push_back(ucl);
    return scene;
}

class GraphDiaTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        chart.resize(800, 500);
        chart.SetScene(ThousandPoints());
        chart.replot();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    RecordingPlatform recorder;
    TChartView chart;
    QTemporaryDir dir;
};

TEST_F(GraphDiaTest, MetafilesOpenAsVectorPicturesWithTheTitleAndLimitLine) {
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.emf")));
    ASSERT_TRUE(SaveChartAs(&chart, Path("chart.WMF"))) << "extensions in any case";
    const QByteArray emf = ReadAll(Path("chart.emf"));
    ASSERT_GT(emf.size(), 88);
    EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));

    const auto emfSvg = RunReader("emf2svg-conv", {"-i", Path("chart.emf"), "-o", Path("emf.svg")});
    if (!emfSvg) GTEST_SKIP() << "emf2svg-conv is not installed";
    const QByteArray fromEmf = ReadAll(Path("emf.svg"));
    EXPECT_TRUE(fromEmf.contains("Test Chart Title"));
    EXPECT_TRUE(fromEmf.toUpper().contains("#FF0000")) << "the red limit line";

    const auto wmfSvg = RunReader("wmf2svg", {"-o", Path("wmf.svg"), Path("chart.WMF")});
    ASSERT_TRUE(wmfSvg.has_value());
    const QByteArray fromWmf = ReadAll(Path("wmf.svg"));
    EXPECT_TRUE(fromWmf.contains("Test Chart Title"));
    EXPECT_TRUE(fromWmf.contains("stroke:red"));
}

TEST_F(GraphDiaTest, JpegFollowsItsOptions) {
    ASSERT_TRUE(SaveChartAs(&chart, Path("fine.jpg"), {95, false, false}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("coarse.jpg"), {20, false, true}));
    ASSERT_TRUE(SaveChartAs(&chart, Path("gray.jpg"), {95, true, false}));
    EXPECT_GT(QFileInfo(Path("fine.jpg")).size(), QFileInfo(Path("coarse.jpg")).size());
    const auto color = RunReader("djpeg", {"-pnm", Path("fine.jpg")});
    if (!color) GTEST_SKIP() << "djpeg is not installed";
    EXPECT_TRUE(color->startsWith("P6\n800 500\n")) << "colour at the chart's size";
    const auto gray = RunReader("djpeg", {"-pnm", Path("gray.jpg")});
    ASSERT_TRUE(gray.has_value());
    EXPECT_TRUE(gray->startsWith("P5\n800 500\n")) << "one component";
}

TEST_F(GraphDiaTest, ImagesSvgAndPdfAreReadBack) {
    for (const char* name : {"chart.bmp", "chart.png", "chart.svg", "chart.pdf"})
        ASSERT_TRUE(SaveChartAs(&chart, Path(name))) << name;
    const auto bmp = RunReader("identify", {"-format", "%m %w %h", Path("chart.bmp")});
    if (!bmp) GTEST_SKIP() << "identify is not installed";
    EXPECT_TRUE(bmp->startsWith("BMP") && bmp->endsWith(" 800 500")) << bmp->toStdString();
    EXPECT_EQ(*RunReader("identify", {"-format", "%m %w %h", Path("chart.png")}), "PNG 800 500");
    const auto svg = RunReader("rsvg-convert", {"-o", Path("svg.png"), Path("chart.svg")});
    ASSERT_TRUE(svg.has_value());
    // The drawing keeps the chart's size (rsvg may round up a pixel).
    const QList<QByteArray> svgSize =
        RunReader("identify", {"-format", "%w %h", Path("svg.png")})->split(' ');
    ASSERT_EQ(svgSize.size(), 2);
    EXPECT_NEAR(svgSize[0].toInt(), 800, 1);
    EXPECT_NEAR(svgSize[1].toInt(), 500, 1);
    EXPECT_TRUE(ReadAll(Path("chart.svg")).contains("Test Chart Title"));
    const auto pdf = RunReader("pdftotext", {Path("chart.pdf"), "-"});
    ASSERT_TRUE(pdf.has_value());
    EXPECT_TRUE(pdf->contains("Test Chart Title"));

    // The print path: one page within margins, read back from the PDF printer.
    ASSERT_TRUE(PrintChartToPdf(&chart, Path("printed.pdf")));
    const QByteArray printed = *RunReader("pdftotext", {Path("printed.pdf"), "-"});
    EXPECT_TRUE(printed.contains("Test Chart Title")) << printed.left(300).toStdString();
    const auto info = RunReader("pdfinfo", {Path("printed.pdf")});
    if (info) {
        EXPECT_TRUE(info->contains("Pages:           1"));
    }
}

TEST_F(GraphDiaTest, OtherExtensionsAreRefusedAndNothingIsWritten) {
    for (const char* name : {"chart.jpeg", "chart.txt", "chart"}) {
        recorder.Messages.clear();
        EXPECT_FALSE(SaveChartAs(&chart, Path(name))) << name;
        ASSERT_EQ(recorder.Messages.size(), 1u) << name;
        EXPECT_EQ(recorder.Messages[0].text, "File Extension Not Valid!");
        EXPECT_FALSE(QFileInfo::exists(Path(name)));
    }
    // A folder that does not exist: a message, not success.
    recorder.Messages.clear();
    EXPECT_FALSE(SaveChartAs(&chart, Path("missing/chart.png")));
    EXPECT_EQ(recorder.Messages.size(), 1u);
}

TEST_F(GraphDiaTest, CopyPutsAnImageSvgAndEmfOnTheClipboard) {
    CopyChart(&chart);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_TRUE(mime->data("image/svg+xml").contains("Test Chart Title"));
    EXPECT_EQ(mime->data("image/x-emf").mid(40, 4), QByteArray(" EMF"));
}

} // namespace
