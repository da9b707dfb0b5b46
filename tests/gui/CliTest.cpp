// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line program run as a separate process: its capability tables are the ones the
// analysis computes for the same settings, in text, CSV and JSON; images read back by their
// reader; bad usage and bad files end with status 2 and a message naming what is wrong.
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "data/DataFile.h"
#include "stats/Fit.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef KIVSPC_CLI_PROGRAM

namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Output, Errors;
};

TRun RunCli(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    p.setProcessEnvironment(env);
    p.start(KIVSPC_CLI_PROGRAM, args);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

const char* const kExample = KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs";

TEST(CliTest, CapabilityTablesMatchTheAnalysis) {
    const TRun run = RunCli({"capability", kExample, "--measures", "3-7", "--groups", "2", "--layout", "rows",
                             "--distribution", "johnson"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();

    // The same analysis in this process.
    using namespace kivspc;
    ASSERT_TRUE(LoadFile(kExample));
    TCapabilityChoice choice{{3, 4, 5, 6, 7}, {2}};
    choice.LayoutIndex = kLayoutSubgroupsInRows;
    ASSERT_TRUE(StoreCapabilitySetup(choice));
    TCapabilityAnalysis a;
    OpenCapabilityAnalysis(a);
    std::string expected;
    for (int i = 0; i < a.ListCount(); ++i) {
        a.Selected = i;
        DistKind = kDistJohnson;
        expected +=
            "Analysis: " + a.AnalysisLabel + "\r\n" + StatisticsTableText(BuildStatisticsTable(a)) + "\r\n";
    }
    EXPECT_EQ(run.Output.toStdString(), expected);

    // JSON: one object per entry, "(All)" first, with the rows' labels and values.
    const TRun json = RunCli({"capability", kExample, "--measures", "3-7", "--groups", "2", "--layout",
                              "rows", "--format", "json", "--entry", "1"});
    ASSERT_EQ(json.ExitCode, 0) << json.Errors.toStdString();
    const QJsonArray entries = QJsonDocument::fromJson(json.Output).array();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toObject()["analysis"].toString(), "Shift (Early)");
    const QJsonObject first = entries[0].toObject()["rows"].toArray()[0].toObject();
    EXPECT_EQ(first["label"].toString(), "n");
    EXPECT_EQ(first["value"].toString(), "75");
}

TEST(CliTest, ImagesAndRefusals) {
    QTemporaryDir dir;
    const QString png = dir.filePath("summary.png");
    const TRun run =
        RunCli({"capability", kExample, "--measures", "3", "--distribution", "normal", "--summary", png,
                "--size", "1200x900", "--output", dir.filePath("table.csv"), "--format", "csv"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    QFile image(png);
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_TRUE(image.read(8).startsWith("\x89PNG"));
    QFile csv(dir.filePath("table.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("analysis,label,value,kind\r\nDiam1,n,30,value\r\n"));

    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"capability", dir.filePath("missing.kivs"), "--measures", "1"}, "missing.kivs: cannot be read"},
        {{"capability", kExample, "--measures", "x"}, "--measures: \"x\" is no column"},
        {{"capability", kExample, "--measures", "99"}, "is not in the file"},
        {{"capability", kExample, "--measures", "3", "--distribution", "lognormal"},
         "--distribution: \"lognormal\""},
        {{"capability", kExample, "--measures", "3", "--layout", "diagonal"}, "--layout"},
        {{"capability", kExample, "--measures", "3", "--size", "0x0", "--histogram", dir.filePath("h.png")},
         "--size"},
        {{"bogus"}, "subcommand"},
        {{}, "A subcommand is required"},
    };
    for (const auto& c : cases) {
        const TRun bad = RunCli(c.args);
        EXPECT_EQ(bad.ExitCode, 2) << c.says;
        EXPECT_TRUE(bad.Errors.contains(c.says)) << bad.Errors.toStdString();
    }
    EXPECT_EQ(RunCli({"--version"}).Output.trimmed(), "kivspc-cli 0.1.0");
}

TEST(CliTest, ControlLimitCalculator) {
    // X-bar limits from an average range of 0.02 in subgroups of 5: 25 -/+ A2 R-bar with A2 = 0.577
    // (ASTM STP 15D): 24.9885 and 25.0115.
    const TRun run =
        RunCli({"limits", "--chart", "xbar", "--centre", "25", "--statistic", "0.02", "--n", "5"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Output.contains("UCL = 25.0115")) << run.Output.toStdString();
    EXPECT_TRUE(run.Output.contains("LCL = 24.9885"));
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"limits", "--chart", "q", "--statistic", "1"},
         "--chart: \"q\" is none of xbar, median, x, r, s, s2, p, np, c, u"},
        {{"limits", "--chart", "p", "--statistic", "0", "--n", "50"}, "Statistic must be greater than 0!"},
        {{"limits", "--chart", "xbar", "--statistic", "1", "--method", "12", "--n", "5"},
         "--method: the X-Bar chart takes 1 Average Range"},
        {{"limits", "--chart", "x"}, "--statistic is required"},
    };
    for (const auto& c : cases) {
        const TRun bad = RunCli(c.args);
        EXPECT_EQ(bad.ExitCode, 2) << c.says;
        EXPECT_TRUE(bad.Errors.contains(c.says)) << bad.Errors.toStdString();
    }
}

} // namespace

#endif
