// SPDX-License-Identifier: GPL-3.0-or-later
// kivspc-chart: writes chart images without a window. It draws the variables or attributes chart
// of a data file, or one of the example pages, and saves it in every format the chart windows save (the
// extension of each output file names its format), or prints the chart's scene as text.
//
//   kivspc-chart --data examples/bearing-diameters.kivs --row-subgroups 3-7 --labels 1 out.png out.emf
//   kivspc-chart --data file.kivs --measure 2 [--subgroup 5] [--sets 3] [--zones] [--codes] [--bw]
//   kivspc-chart --data file.kivs --attributes p|np|c|u --count 2 (--sample-size N | --sample-column 3)
//                [--limits exact|normal|average-mr|median-mr|std-dev|centerline] [--sets 4] [--labels 1]
//                [--breaks] [--zones] [--codes] [--bw]
//   kivspc-chart --example six-panel|histogram|probability [--points N] [--bars N] out.pdf
//   kivspc-chart --data file.kivs --capability 3-7 [--groups 2[,1]] [--layout columns|rows|streams|repeated]
//                [--groups-as streams] [--sample-column 1] [--distribution normal|johnson|...]
//                [--performance] [--decimals 4]: prints the statistics table of every group;
//                with --graph histogram|polygon|probability|paper|linear|summary [--entry N]
//                [--process-limits] it draws that graph of list entry N (0: the first) instead
//   common: [--size 1200x800] [--dump] [--show: also open the chart in a window until it is closed]
#include "app/Platform.h"
#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartView.h"
#include "charts/GraphDia.h"
#include "charts/SceneDump.h"
#include "charts/SceneExamples.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataFile.h"
#include "data/DataList.h"
#include "stats/Fit.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

int Fail(const std::string& message) {
    std::cerr << "kivspc-chart: " << message << "\n";
    return 2;
}

// "3" or "3-7".
bool ColumnRange(const std::string& text, int& first, int& last) {
    const std::size_t dash = text.find('-');
    try {
        first = std::stoi(text.substr(0, dash));
        last = dash == std::string::npos ? first : std::stoi(text.substr(dash + 1));
    } catch (...) {
        return false;
    }
    return first >= 1 && last >= first;
}

struct TOptions {
    std::string Data, Example;
    std::string Measure, RowSubgroups;
    std::string Attributes, Limits = "exact", SampleSize;
    int Count = 0, SampleColumn = 0;
    bool Breaks = false;
    int Subgroup = 1, Labels = 0, Sets = 0, Points = 30, Bars = 20;
    bool Zones = false, Codes = false, BlackAndWhite = false, Dump = false, Show = false;
    int Width = 1000, Height = 700;
    std::vector<std::string> Outputs;
    std::string Capability, Groups, Layout = "columns", GroupsAs, Distribution = "none";
    bool Performance = false;
    int Decimals = 4;
    std::string Graph;
    int Entry = 0;
    bool ProcessLimits = false;
};

// "3-7" or "3,5,6" (or both: "1,3-5") as column numbers.
bool ColumnList(const std::string& text, std::vector<int>& columns) {
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        int first = 0, last = 0;
        if (!ColumnRange(part, first, last)) return false;
        for (int c = first; c <= last; ++c)
            columns.push_back(c);
    }
    return !columns.empty();
}

// The capability statistics table of every entry of the group list, "(All)" first; or with a
// graph asked for, that graph of one entry.
std::string CapabilityReport(const TOptions& o, std::string& report, TChartScene& scene) {
    if (!LoadFile(o.Data)) return "cannot read " + o.Data;
    TCapabilityChoice choice;
    if (!ColumnList(o.Capability, choice.Measures)) return "bad --capability " + o.Capability;
    if (!o.Groups.empty() && !ColumnList(o.Groups, choice.Groups)) return "bad --groups " + o.Groups;
    static const char* const kLayouts[] = {"columns", "rows", "streams", "repeated"};
    const auto layout = std::find(std::begin(kLayouts), std::end(kLayouts), o.Layout);
    if (layout == std::end(kLayouts)) return "--layout takes columns, rows, streams or repeated";
    choice.LayoutIndex = static_cast<int>(layout - std::begin(kLayouts));
    if (!o.GroupsAs.empty() && o.GroupsAs != "streams" && o.GroupsAs != "groups")
        return "--groups-as takes groups or streams";
    choice.GroupsIndex = o.GroupsAs == "streams" ? kGroupsProcessStreams : kGroupsAnalysisGroups;
    choice.SampleColumn = o.SampleColumn;
    const int kind = DistKindByName(o.Distribution);
    if (kind < 0) return "--distribution takes one of: " + DistKindNameList();
    if (o.Decimals < 1 || o.Decimals > 9) return "--decimals takes 1 to 9";
    if (!StoreCapabilitySetup(choice))
        return "a column of --capability, --groups or --sample-column is not in the file";
    TCapabilityAnalysis a;
    a.Options.CapabilityMode = !o.Performance;
    a.Options.Decimals = o.Decimals;
    OpenCapabilityAnalysis(a);
    const std::vector<std::string> entries = a.ListTexts();
    if (entries.empty()) return "the measure columns hold no values";
    if (!o.Graph.empty()) {
        static const char* const kGraphs[] = {"histogram", "polygon", "probability",
                                              "paper",     "linear",  "summary"};
        const auto graph = std::find(std::begin(kGraphs), std::end(kGraphs), o.Graph);
        if (graph == std::end(kGraphs))
            return "--graph takes histogram, polygon, probability, paper, linear or summary";
        if (o.Entry < 0 || o.Entry >= static_cast<int>(entries.size()))
            return "--entry takes 0 to " + std::to_string(entries.size() - 1);
        a.Selected = o.Entry;
        DistKind = kind;
        TGraphOptions g;
        g.ProcessLimits = o.ProcessLimits;
        g.BlackAndWhite = o.BlackAndWhite;
        g.Polygon = o.Graph == "polygon";
        g.ProbabilityPaper = o.Graph == "paper";
        g.Linear = o.Graph == "linear";
        const TGraphResult r = o.Graph == "summary" ? DrawCapabilitySummary(a, g, scene)
                               : o.Graph == "histogram" || o.Graph == "polygon"
                                   ? DrawHistogram(a, g, scene)
                                   : DrawProbabilityPlot(a, g, scene);
        report += "Analysis: " + a.AnalysisLabel + "\r\n" + StatisticsTableText(r.Table);
        return {};
    }
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        a.Selected = i;
        DistKind = kind;
        const auto rows = BuildStatisticsTable(a);
        report += "Analysis: " + a.AnalysisLabel + "\r\n";
        report += rows.empty() ? std::string("no values\r\n") : StatisticsTableText(rows);
        report += "\r\n";
    }
    return {};
}

// The variables chart of the options' data: individual values and moving ranges, or means and
// ranges of subgroups.
std::string ComputeDataChart(const TOptions& o, TChartScene& scene) {
    if (!LoadFile(o.Data)) return "cannot read " + o.Data;
    TVarChartSettings& s = VarChartSettings;
    int first = 0, last = 0;
    if (!o.RowSubgroups.empty()) {
        if (!ColumnRange(o.RowSubgroups, first, last)) return "bad --row-subgroups " + o.RowSubgroups;
        s.DataLayout = 2;
        s.LocationChart = kChartMean;
        s.DispersionChart = kChartRange;
        s.LocationMethod = s.DispersionMethod = kMethodAverageRange;
    } else {
        if (!ColumnRange(o.Measure, first, last) || first != last) return "--measure needs one column number";
        const bool subgroups = o.Subgroup > 1;
        s.DataLayout = subgroups ? 4 : 1;
        s.SampleSize = o.Subgroup;
        s.LocationChart = subgroups ? kChartMean : kChartX;
        s.DispersionChart = subgroups ? kChartRange : kChartMovingRange;
        s.LocationMethod = s.DispersionMethod = subgroups ? kMethodAverageRange : kMethodAverageMR;
    }
    for (int c = first; c <= last; ++c)
        s.Measures[static_cast<std::size_t>(c)] = 1;
    s.RunInfo.FirstMeasure = s.RunInfo.CurrentMeasure = first;
    s.RunInfo.LastMeasure = last;
    s.LocationCenterline = kCenterAverage;
    s.DispersionCenterline = kCenterDispAverage;
    s.AxisLabelColumn = o.Labels;
    s.SetColumn = o.Sets;
    ComputeChart(first, 0);
    if (VarChart.Count <= 0) {
        const std::string reason = EmptyChartListReason();
        return reason.empty() ? "the chart has no points" : reason;
    }
    VarChartDisplay.ShowZones = o.Zones;
    VarChartDisplay.ShowCodes = o.Codes;
    ChartsBlackAndWhite = o.BlackAndWhite;
    RedrawChart(scene);
    return {};
}

// The attributes chart of the options' data: the first analysis with points.
std::string ComputeAttributesChart(const TOptions& o, TChartScene& scene) {
    if (!LoadFile(o.Data)) return "cannot read " + o.Data;
    static const char* const kTypes[] = {"p", "np", "c", "u"};
    static const char* const kMethods[] = {"none",      "exact",   "normal",    "average-mr",
                                           "median-mr", "std-dev", "centerline"};
    TAttrSetupEntries e;
    const auto type = std::find(std::begin(kTypes), std::end(kTypes), o.Attributes);
    if (type == std::end(kTypes)) return "--attributes takes p, np, c or u";
    e.Type = static_cast<TAttrType>(type - std::begin(kTypes));
    const auto method = std::find(std::begin(kMethods), std::end(kMethods), o.Limits);
    if (method == std::end(kMethods)) return "unknown --limits " + o.Limits;
    e.Method = static_cast<TAttrMethod>(method - std::begin(kMethods));
    if (o.Count < 1) return "--attributes needs --count COLUMN";
    e.Measures = {o.Count};
    e.ConstantSampleSize = o.SampleColumn == 0;
    e.SampleSizeText = e.Type == TAttrType::C && o.SampleSize.empty() ? "1" : o.SampleSize;
    e.SampleSizeColumn = o.SampleColumn;
    e.SetColumn = o.Sets;
    e.AxisLabelColumn = o.Labels;
    const TAttrSetupOutcome outcome = StoreAttrSetup(e);
    if (!outcome.Stored) return outcome.Message.empty() ? "no such count column" : outcome.Message;
    AttrChartSettings.ShowBreaks = o.Breaks;
    BuildAnalysisList();
    if (!NextAnalysis()) return "the count column has no counts";
    AttrChartDisplay.ShowZones = o.Zones;
    AttrChartDisplay.ShowCodes = o.Codes;
    ChartsBlackAndWhite = o.BlackAndWhite;
    ClearAttrPointTexts();
    RedrawAttrChart(scene);
    return {};
}

} // namespace

int main(int argc, char** argv) {
    // No display is needed unless the chart is to be shown: the pictures are drawn offscreen.
    const bool show = std::find(argv + 1, argv + argc, std::string("--show")) != argv + argc;
    if (!show && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TOptions o;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : std::string(); };
        const auto number = [&](int& out) {
            try {
                out = std::stoi(value());
                return true;
            } catch (...) {
                return false;
            }
        };
        bool ok = true;
        if (a == "--data")
            o.Data = value();
        else if (a == "--example")
            o.Example = value();
        else if (a == "--measure")
            o.Measure = value();
        else if (a == "--row-subgroups")
            o.RowSubgroups = value();
        else if (a == "--attributes")
            o.Attributes = value();
        else if (a == "--count")
            ok = number(o.Count);
        else if (a == "--sample-size")
            o.SampleSize = value();
        else if (a == "--sample-column")
            ok = number(o.SampleColumn);
        else if (a == "--limits")
            o.Limits = value();
        else if (a == "--breaks")
            o.Breaks = true;
        else if (a == "--subgroup")
            ok = number(o.Subgroup);
        else if (a == "--labels")
            ok = number(o.Labels);
        else if (a == "--sets")
            ok = number(o.Sets);
        else if (a == "--points")
            ok = number(o.Points);
        else if (a == "--bars")
            ok = number(o.Bars);
        else if (a == "--zones")
            o.Zones = true;
        else if (a == "--codes")
            o.Codes = true;
        else if (a == "--bw")
            o.BlackAndWhite = true;
        else if (a == "--capability")
            o.Capability = value();
        else if (a == "--groups")
            o.Groups = value();
        else if (a == "--layout")
            o.Layout = value();
        else if (a == "--groups-as")
            o.GroupsAs = value();
        else if (a == "--distribution")
            o.Distribution = value();
        else if (a == "--graph")
            o.Graph = value();
        else if (a == "--entry")
            ok = number(o.Entry);
        else if (a == "--process-limits")
            o.ProcessLimits = true;
        else if (a == "--performance")
            o.Performance = true;
        else if (a == "--decimals")
            ok = number(o.Decimals);
        else if (a == "--dump")
            o.Dump = true;
        else if (a == "--show")
            o.Show = true;
        else if (a == "--size")
            ok = std::sscanf(value().c_str(), "%dx%d", &o.Width, &o.Height) == 2 && o.Width >= 16 &&
                 o.Height >= 16;
        else if (a.rfind("--", 0) == 0)
            return Fail("unknown option " + a);
        else
            o.Outputs.push_back(a);
        if (!ok) return Fail("bad value for " + a);
    }

    TChartScene scene;
    if (!o.Capability.empty()) {
        if (o.Data.empty()) return Fail("--capability needs --data FILE");
        std::string report;
        if (const std::string problem = CapabilityReport(o, report, scene); !problem.empty())
            return Fail(problem);
        if (o.Graph.empty()) {
            std::cout << report;
            return 0;
        }
    } else if (o.Example == "six-panel")
        scene = SixPanelExample(o.Points);
    else if (o.Example == "histogram")
        scene = HistogramExample(o.Bars, 10 * o.Bars);
    else if (o.Example == "probability")
        scene = ProbabilityExample(o.Points);
    else if (!o.Example.empty())
        return Fail("unknown example " + o.Example + " (six-panel, histogram or probability)");
    else if (o.Data.empty())
        return Fail("give --data FILE with --measure, --row-subgroups or --attributes, or --example NAME");
    else if (const std::string problem =
                 o.Attributes.empty() ? ComputeDataChart(o, scene) : ComputeAttributesChart(o, scene);
             !problem.empty())
        return Fail(problem);

    if (o.Dump) std::cout << DumpScene(scene);
    const gui::TChartPicture picture{
        std::make_shared<const TChartScene>(std::move(scene)), {}, QSize(o.Width, o.Height)};
    int failed = 0;
    for (const std::string& out : o.Outputs)
        if (!gui::SaveChartAs(picture, QString::fromStdString(out))) ++failed;
    // What the program would have shown in a message box.
    if (auto* recorder = dynamic_cast<RecordingPlatform*>(&CurrentPlatform()))
        for (const auto& m : recorder->Messages)
            std::cerr << "kivspc-chart: " << m.text << "\n";
    if (o.Show) {
        gui::TChartView view;
        view.setWindowTitle("kivspc-chart");
        view.resize(o.Width, o.Height);
        view.SetScene(picture.Scene);
        view.show();
        app.exec();
    }
    return failed ? 1 : 0;
}
