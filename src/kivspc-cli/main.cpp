// SPDX-License-Identifier: GPL-3.0-or-later
// kivspc-cli: Kivspc's analyses from the command line, for nightly jobs, servers without a
// display and job runners that fan out one process per file. Exit status: 0 done, 2 bad usage
// or input (with a message on standard error naming what is wrong).
//
//   kivspc-cli capability examples/bearing-diameters.kivs --measures 3-7 --groups 2 --layout rows
//              --distribution normal --format json --output table.json --histogram hist.png
#include "app/Platform.h"
#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "charts/GraphDia.h"
#include "charts/contcalc.h"
#include "data/DataFile.h"
#include "output/OutputDocument.h"
#include "output/ReditU.h"
#include "stats/ChartKind.h"
#include "stats/Fit.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace kivspc;

namespace {

// A refusal of the user's input: exit status 2 with its message.
struct TUsageError {
    std::string Message;
};

// "3-7", "3,5" or "1,3-5" as column numbers.
std::vector<int> ColumnList(const std::string& option, const std::string& text) {
    std::vector<int> columns;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        const std::size_t dash = part.find('-');
        try {
            const int first = std::stoi(part.substr(0, dash));
            const int last = dash == std::string::npos ? first : std::stoi(part.substr(dash + 1));
            if (first < 1 || last < first) throw std::invalid_argument(part);
            for (int c = first; c <= last; ++c)
                columns.push_back(c);
        } catch (const std::exception&) {
            throw TUsageError{option + ": \"" + part + "\" is no column number or range (such as 3 or 3-7)"};
        }
    }
    return columns;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The model of --distribution: its full name or the start of exactly one name.
int DistributionKind(const std::string& name) {
    const int kind = DistKindByName(name);
    if (kind < 0) throw TUsageError{"--distribution: \"" + name + "\" is none of " + DistKindNameList()};
    return kind;
}

const char* KindName(TStatRowKind kind) {
    switch (kind) {
    case TStatRowKind::Separator: return "separator";
    case TStatRowKind::FixedSet: return "fixed";
    case TStatRowKind::TestHeading: return "test";
    case TStatRowKind::TestResult: return "test-result";
    case TStatRowKind::Note: return "note";
    default: return "value";
    }
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

struct TCapabilityCommand {
    std::string File;
    std::string Measures, Groups, Layout = "columns", GroupsAs = "groups", Distribution = "none",
                                  Format = "text";
    std::string Output = "-";
    int SampleColumn = 0, Decimals = 4, Entry = -1;
    bool Performance = false;
    std::string Histogram, Probability, Summary, Size = "1000x700";
};

int RunCapability(const TCapabilityCommand& o) {
    if (!LoadFile(o.File)) throw TUsageError{o.File + ": cannot be read as a data file"};
    TCapabilityChoice choice;
    choice.Measures = ColumnList("--measures", o.Measures);
    if (!o.Groups.empty()) choice.Groups = ColumnList("--groups", o.Groups);
    static const std::map<std::string, int> kLayouts = {{"columns", kLayoutDifferentVariables},
                                                        {"rows", kLayoutSubgroupsInRows},
                                                        {"streams", kLayoutProcessStreams},
                                                        {"repeated", kLayoutRepeatedMeasures}};
    choice.LayoutIndex = kLayouts.at(o.Layout);
    choice.GroupsIndex = o.GroupsAs == "streams" ? kGroupsProcessStreams : kGroupsAnalysisGroups;
    choice.SampleColumn = o.SampleColumn;
    const int kind = DistributionKind(o.Distribution);
    if (!StoreCapabilitySetup(choice))
        throw TUsageError{o.File +
                          ": a column of --measures, --groups or --sample-column is not in the file"};
    TCapabilityAnalysis a;
    a.Options.CapabilityMode = !o.Performance;
    a.Options.Decimals = o.Decimals;
    OpenCapabilityAnalysis(a);
    const std::vector<std::string> entries = a.ListTexts();
    if (entries.empty()) throw TUsageError{o.File + ": the measure columns hold no values"};
    if (o.Entry >= static_cast<int>(entries.size()))
        throw TUsageError{"--entry: the analysis has entries 0 to " + std::to_string(entries.size() - 1)};

    // The table of every entry (or the one asked for).
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        if (o.Entry >= 0 && i != o.Entry) continue;
        a.Selected = i;
        DistKind = kind;
        const std::vector<TStatRow> rows = BuildStatisticsTable(a);
        if (o.Format == "json") {
            nlohmann::json table = nlohmann::json::array();
            for (const TStatRow& r : rows)
                table.push_back({{"label", r.Left},
                                 {"value", r.Right},
                                 {"kind", KindName(r.Kind)},
                                 {"significant", r.Significant}});
            json.push_back({{"analysis", a.AnalysisLabel}, {"rows", table}});
        } else if (o.Format == "csv") {
            if (text.empty()) text = "analysis,label,value,kind\r\n";
            for (const TStatRow& r : rows)
                if (r.Kind != TStatRowKind::Separator)
                    text += CsvField(a.AnalysisLabel) + "," + CsvField(r.Left) + "," + CsvField(r.Right) +
                            "," + KindName(r.Kind) + "\r\n";
        } else {
            text += "Analysis: " + a.AnalysisLabel + "\r\n" + StatisticsTableText(rows) + "\r\n";
        }
    }
    if (o.Format == "json") text = json.dump(2) + "\n";
    if (o.Output == "-") {
        std::cout << text;
    } else {
        std::ofstream out(o.Output, std::ios::binary);
        if (!(out << text)) throw TUsageError{o.Output + ": cannot be written"};
    }

    // The graphs of the entry asked for (the first without --entry).
    int width = 0, height = 0;
    if (std::sscanf(o.Size.c_str(), "%dx%d", &width, &height) != 2 || width < 16 || height < 16)
        throw TUsageError{"--size: \"" + o.Size + "\" is no size such as 1200x800"};
    const auto save = [&](const std::string& file, auto draw) {
        if (file.empty()) return;
        a.Selected = std::max(o.Entry, 0);
        DistKind = kind;
        TChartScene scene;
        draw(scene);
        const gui::TChartPicture picture{
            std::make_shared<const TChartScene>(std::move(scene)), {}, QSize(width, height)};
        if (!gui::SaveChartAs(picture, QString::fromStdString(file)))
            throw TUsageError{file + ": cannot be written"};
    };
    save(o.Histogram, [&](TChartScene& scene) { DrawHistogram(a, {}, scene); });
    save(o.Probability, [&](TChartScene& scene) { DrawProbabilityPlot(a, {}, scene); });
    save(o.Summary, [&](TChartScene& scene) { DrawCapabilitySummary(a, {}, scene); });
    return 0;
}

struct TLimitsCommand {
    std::string Chart;
    int Method = 1;
    std::string Centre = "0", Statistic, N = "0", K = "3";
    int Decimals = 4;
};

// The command-line name of a calculator page: its caption in lower case, "x-bar" as "xbar" and
// "s²" as "s2".
std::string PageName(TChartKind page) {
    std::string name = Lower(ControlLimitPageCaption(page));
    std::erase(name, '-');
    if (name == "s\u00b2" || name == "s²") name = "s2";
    return name;
}

int RunLimits(const TLimitsCommand& o) {
    TControlLimitInput input;
    bool found = false;
    for (TChartKind page : kCalculatorChartKinds)
        if (PageName(page) == Lower(o.Chart)) {
            input.Page = page;
            found = true;
        }
    if (!found) {
        std::string names;
        for (TChartKind page : kCalculatorChartKinds)
            names += (names.empty() ? "" : ", ") + PageName(page);
        throw TUsageError{"--chart: \"" + o.Chart + "\" is none of " + names};
    }
    const std::vector<std::string> methods = ControlLimitMethodItems(input.Page);
    if (o.Method < 1 || o.Method > static_cast<int>(methods.size())) {
        std::string list;
        for (std::size_t i = 0; i < methods.size(); ++i)
            list += (i ? ", " : "") + std::to_string(i + 1) + " " + methods[i];
        throw TUsageError{"--method: the " + ControlLimitPageCaption(input.Page) + " chart takes " + list};
    }
    input.Method = o.Method;
    input.CentreText = o.Centre;
    input.StatisticText = o.Statistic;
    input.NText = o.N;
    input.KText = o.K;
    input.Decimals = o.Decimals;
    std::string problem;
    if (FindControlLimitInputError(input, problem) != ControlLimitInputError::None)
        throw TUsageError{problem};
    TOutputDocument document;
    SetOutputDocument(&document);
    WriteControlLimitReport(input);
    for (std::size_t i = 0; i < document.LineCount(); ++i)
        std::cout << document.Line(i).Text() << "\n";
    SetOutputDocument(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Pictures are painted offscreen: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CLI::App app{"Kivspc's statistical process control analyses from the command line."};
    app.set_version_flag("--version", std::string("kivspc-cli ") + KIVSPC_VERSION);
    app.require_subcommand(1);

    TCapabilityCommand cap;
    CLI::App* capability = app.add_subcommand(
        "capability", "Capability and performance analysis: the statistics table of every group, "
                      "and the histogram, probability plot or one-page summary as images");
    capability->add_option("FILE", cap.File, "Data file (.kivs, tab- or comma-separated text)")->required();
    capability->add_option("--measures", cap.Measures, "Measure columns, such as 3 or 3-7")->required();
    capability->add_option("--groups", cap.Groups, "Group columns, such as 2 or 1,2");
    capability->add_option("--layout", cap.Layout, "How several measures are read")
        ->check(CLI::IsMember({"columns", "rows", "streams", "repeated"}));
    capability->add_option("--groups-as", cap.GroupsAs, "What group columns are")
        ->check(CLI::IsMember({"groups", "streams"}));
    capability->add_option("--sample-column", cap.SampleColumn, "Column of sample (subgroup) numbers");
    capability->add_option(
        "--distribution", cap.Distribution,
        "Fitted model: none, normal, exponential (0), exponential (low), weibull, uniform, "
        "johnson, gamma (0), gamma (low), beta, rayleigh(0), rayleigh(low); the start of a "
        "name that is one model's is enough");
    capability->add_flag("--performance", cap.Performance, "Performance indices instead of capability");
    capability->add_option("--decimals", cap.Decimals, "Decimals of the table's values")
        ->check(CLI::Range(1, 9));
    capability->add_option("--entry", cap.Entry, "Only this entry of the group list (0: the first)")
        ->check(CLI::NonNegativeNumber);
    capability->add_option("--format", cap.Format, "Table format")
        ->check(CLI::IsMember({"text", "csv", "json"}));
    capability->add_option("-o,--output", cap.Output, "Table file, or - for standard output");
    capability->add_option("--histogram", cap.Histogram,
                           "Histogram image (.png .jpg .bmp .svg .pdf .emf .wmf)");
    capability->add_option("--probability", cap.Probability, "Probability plot image");
    capability->add_option("--summary", cap.Summary, "One-page capability summary image");
    capability->add_option("--size", cap.Size, "Image size in pixels, such as 1200x800");

    TLimitsCommand lim;
    CLI::App* limits = app.add_subcommand(
        "limits",
        "The control limit calculator: centerline, sigma and limits of one chart kind from a statistic");
    limits->add_option("--chart", lim.Chart, "xbar, median, x, r, s, s2, p, np, c or u")->required();
    limits->add_option("--method", lim.Method,
                       "The statistic used or the method, numbered as the calculator lists "
                       "them (1 first)");
    limits->add_option("--centre", lim.Centre, "The process mean (xbar, median and x charts)");
    limits
        ->add_option("--statistic", lim.Statistic, "The statistic (a mean range, standard deviation, p ...)")
        ->required();
    limits->add_option("--n", lim.N, "The subgroup size");
    limits->add_option("--k", lim.K, "Standard errors from the centerline to the limits");
    limits->add_option("--decimals", lim.Decimals, "Decimals of the results")->check(CLI::Range(0, 9));

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    QApplication qt(argc, argv);
    try {
        int status = 0;
        if (*capability) status = RunCapability(cap);
        if (*limits) status = RunLimits(lim);
        // What the program would have shown in a message box goes to standard error.
        if (auto* recorder = dynamic_cast<RecordingPlatform*>(&CurrentPlatform()))
            for (const auto& m : recorder->Messages)
                std::cerr << "kivspc-cli: " << m.text << "\n";
        return status;
    } catch (const TUsageError& e) {
        // What the core said about it first (a file's line and field), then the refusal.
        if (auto* recorder = dynamic_cast<RecordingPlatform*>(&CurrentPlatform()))
            for (const auto& m : recorder->Messages)
                std::cerr << "kivspc-cli: " << m.text << "\n";
        std::cerr << "kivspc-cli: " << e.Message << "\n";
        return 2;
    }
}
