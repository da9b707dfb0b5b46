// SPDX-License-Identifier: GPL-3.0-or-later
// kivspc-chart, a program without a window, writes every image format of the chart windows; each
// file is read back by its real reader. Also the variables chart of the example file and the
// program's refusals.
#include "ExternalReaders.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Output, Errors;
};

TRun RunChartProgram(const QStringList& args) {
    QProcess p;
    // Nothing in the environment points it at a display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(KIVSPC_CHART_PROGRAM, args);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ChartBatchTest : public testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(ChartBatchTest, TheSixPanelPageInEveryFormatReadBackByItsReader) {
    QStringList args{"--example", "six-panel", "--size", "1200x900"};
    for (const char* ext : {"emf", "wmf", "bmp", "jpg", "png", "svg", "pdf"})
        args << Path(QString("page.") + ext);
    const TRun run = RunChartProgram(args);
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();

    const auto png = RunReader("identify", {"-format", "%m %w %h", Path("page.png")});
    if (!png) GTEST_SKIP() << "identify is not installed";
    EXPECT_EQ(*png, "PNG 1200 900");
    const auto bmp = RunReader("identify", {"-format", "%m %w %h", Path("page.bmp")});
    EXPECT_TRUE(bmp && bmp->startsWith("BMP") && bmp->endsWith(" 1200 900"));
    const auto jpg = RunReader("djpeg", {"-pnm", Path("page.jpg")});
    ASSERT_TRUE(jpg.has_value());
    EXPECT_TRUE(jpg->startsWith("P6\n1200 900\n"));

    // The vector formats keep the texts of every panel: title, axis titles, labels, the text panel.
    ASSERT_TRUE(RunReader("rsvg-convert", {"-o", Path("svg.png"), Path("page.svg")}).has_value());
    EXPECT_GT(QFile(Path("svg.png")).size(), 1000);
    const QByteArray svg = ReadAll(Path("page.svg"));
    const auto pdf = RunReader("pdftotext", {Path("page.pdf"), "-"});
    ASSERT_TRUE(pdf.has_value());
    ASSERT_TRUE(RunReader("emf2svg-conv", {"-i", Path("page.emf"), "-o", Path("emf.svg")}).has_value());
    ASSERT_TRUE(RunReader("wmf2svg", {"-o", Path("wmf.svg"), Path("page.wmf")}).has_value());
    const QByteArray emf = ReadAll(Path("emf.svg")), wmf = ReadAll(Path("wmf.svg"));
    for (const char* text :
         {"Capability Summary: Diameter", "Frequency", "Percent", "USL", "99.9 %", "Cpk"}) {
        EXPECT_TRUE(svg.contains(text)) << "svg: " << text;
        EXPECT_TRUE(pdf->contains(text)) << "pdf: " << text;
        EXPECT_TRUE(emf.contains(text)) << "emf: " << text;
        EXPECT_TRUE(wmf.contains(text)) << "wmf: " << text;
    }
}

TEST_F(ChartBatchTest, TheVariablesChartOfADataFileAndItsScene) {
    const TRun run =
        RunChartProgram({"--data", KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs", "--row-subgroups", "3-7",
                         "--labels", "1", "--dump", Path("chart.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Output.startsWith("title text=\"Mean and Range Chart: "))
        << run.Output.left(80).toStdString();
    EXPECT_TRUE(run.Output.contains("points \"Series_Loc\" panel=0"));
    EXPECT_TRUE(run.Output.contains("points \"Series_Disp\" panel=1"));
    const auto png = RunReader("identify", {"-format", "%m %w %h", Path("chart.png")});
    if (png) {
        EXPECT_EQ(*png, "PNG 1000 700");
    }
}

// A p chart of lots with their sample sizes in two shifts, written as a PNG and as a scene.
TEST_F(ChartBatchTest, TheAttributesChartOfADataFile) {
    QFile data(Path("lots.txt"));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("Lot\tDefective\tInspected\tShift\r\n");
    for (int lot = 1; lot <= 20; ++lot)
        data.write(QByteArray::number(lot) + '\t' + QByteArray::number(lot == 13 ? 19 : 3 + lot % 4) + '\t' +
                   QByteArray::number(90 + 5 * (lot % 5)) + '\t' + (lot <= 10 ? "1" : "2") + "\r\n");
    data.close();
    const TRun run =
        RunChartProgram({"--data", Path("lots.txt"), "--attributes", "p", "--count", "2", "--sample-column",
                         "3", "--sets", "4", "--labels", "1", "--zones", "--codes", "--dump", Path("p.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Output.startsWith("title text=\"p Chart: Defective\""))
        << run.Output.left(80).toStdString();
    EXPECT_TRUE(run.Output.contains("label=\" Shift=2 \""));
    EXPECT_TRUE(run.Output.contains("code panel=0 x=12"));
    if (const auto png = RunReader("identify", {"-format", "%m %w %h", Path("p.png")})) {
        EXPECT_EQ(*png, "PNG 1000 700");
    }
    const TRun bad = RunChartProgram({"--data", Path("lots.txt"), "--attributes", "p", "--count", "2"});
    EXPECT_NE(bad.ExitCode, 0);
    EXPECT_TRUE(bad.Errors.contains("Sample size not given!")) << bad.Errors.toStdString();
}

TEST_F(ChartBatchTest, TheCapabilityTableOfEveryGroup) {
    // The diameters of a row as subgroups, by shift: "(All)", then each shift.
    const TRun run =
        RunChartProgram({"--data", KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs", "--capability", "3-7",
                         "--groups", "2", "--layout", "rows", "--distribution", "normal"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Output.startsWith("Analysis: (All)\r\nn\t150\r\n")) << run.Output.left(80).toStdString();
    EXPECT_TRUE(run.Output.contains("Analysis: Shift (Early)\r\nn\t75\r\n"));
    EXPECT_TRUE(run.Output.contains("Analysis: Shift (Late)\r\nn\t75\r\n"));
    EXPECT_EQ(run.Output.count("Cp(potential)\t"), 3);
    EXPECT_FALSE(run.Output.contains("nan") || run.Output.contains("inf"));

    const TRun bad = RunChartProgram({"--data", KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs", "--capability",
                                      "3", "--distribution", "lognormal"});
    EXPECT_NE(bad.ExitCode, 0);
    EXPECT_TRUE(bad.Errors.contains("--distribution takes one of: None, Normal")) << bad.Errors.toStdString();
}

TEST_F(ChartBatchTest, BadRequestsAreRefusedWithAReasonAndWriteNothing) {
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--example", "pie"}, "unknown example"},
        {{"--data", Path("missing.kivs"), "--measure", "1"}, "cannot read"},
        {{"--example", "histogram", "--size", "0x0"}, "bad value for --size"},
        {{"--example", "histogram", Path("chart.txt")}, "File Extension Not Valid!"},
    };
    for (const auto& c : cases) {
        const TRun run = RunChartProgram(c.args);
        EXPECT_NE(run.ExitCode, 0) << c.says;
        EXPECT_TRUE(run.Errors.contains(c.says)) << run.Errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("chart.txt")));
}

} // namespace
