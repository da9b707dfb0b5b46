// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

#include "app/Dkivtool.h"
#include "charts/ChartScene.h"
#include "data/DataFile.h"
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "output/OutputModule.h"
#include "stats/CC_calc.h"
#include "stats/Zizize87.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace kivspc::fuzz {

namespace {

RecordingPlatform recorder;

// Texts on the edges of the cell rules: empty and lone signs or points, the forms the rules
// repair (".5", "5."), exponents, values no 32- or 64-bit integer holds, the missing-value
// code, separators a cell must not contain, words and non-ASCII text.
constexpr const char* kCells[] = {
    "",
    "1",
    "2",
    "3",
    "0",
    "-1",
    "1.5",
    "2.5",
    "x",
    "y",
    ".",
    "..",
    "-",
    "+",
    ".5",
    "-.5",
    "5.",
    "1e3",
    "+2",
    "1,000",
    "5 ",
    " 7",
    "1e19",
    "-1e19",
    "1e300",
    "-1e300",
    "1e999",
    "1e-320",
    "4e18",
    "2147483647",
    "-2147483647",
    "-2147483648",
    "nan",
    "inf",
    "0x10",
    "1E-3",
    "--1",
    "1e",
    "e5",
    "3.0000000000000001",
    "Größe",
    "\t",
    "1\t2",
    "65535",
    "-32768",
    "9007199254740993",
    "0.1",
    "100",
};

} // namespace

RecordingPlatform& ResetCore() {
    InitSharedState();
    NewDataTable();
    ResetMissingWhen();
    ProcessIfOff();
    ResetTransform();
    ResetOutputModule();
    ResetStatisticsState();
    ResetCCCalcState();
    ResetDistributionState();
    SeedRandom(20071215);
    AskBlankCommas = true;
    BlankCommasMissing = false;
    WorkText.clear();
    GroupLabels.clear();
    GroupKeys.clear();
    OnValuesRebuilt = nullptr;
    OnTableReplaced = nullptr;
    OnTableSaved = nullptr;
    SaveAsWithConfiguration = nullptr;
    recorder.Reset();
    SetPlatform(&recorder);
    return recorder;
}

void ScriptAnswers(RecordingPlatform& platform, std::uint8_t script) {
    static constexpr Answer kAnswers[] = {Answer::Yes, Answer::No, Answer::Cancel, Answer::Yes};
    for (int i = 0; i < 4; ++i)
        platform.Answers.push_back(kAnswers[(script >> (2 * i)) & 3]);
}

TempFile::TempFile(std::string_view name) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    path_ = (folder / ("kivspc-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name))).string();
}

TempFile::~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string CellText(FuzzInput& in) {
    const std::uint8_t b = in.Byte();
    if (b < std::size(kCells)) return kCells[b];
    if (b < 128) return std::to_string(static_cast<int>(b) - 80);
    return in.Field();
}

void BuildTable(FuzzInput& in) {
    const int columns = static_cast<int>(in.IntIn(1, 6));
    const int rows = static_cast<int>(in.IntIn(0, 12));
    TDataTable& table = DataTable();
    table.SetColumnCount(columns);
    table.SetRowCount(rows);
    for (int c = 1; c <= columns; ++c) {
        if (in.Bool()) table.SetColumnName(c, CellText(in));
        for (int r = 1; r <= rows; ++r)
            table.SetCell(c, r, CellText(in));
    }
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
    if (in.Bool()) {
        EnsureRowStatisticColumns();
        for (int k = 1; k <= 3; ++k)
            for (int r = 1; r <= rows; ++r)
                Values[static_cast<std::size_t>(columns + k)][static_cast<std::size_t>(r)] = in.AnyDouble();
    }
}

int AnyColumn(FuzzInput& in) {
    const int columns = DataTable().ColumnCount();
    const std::uint8_t b = in.Byte();
    if (b < 200) return b % (columns + 5) - 1; // -1 .. C + 3
    switch (b % 6) {
    case 0: return kMaxColumns;
    case 1: return kMaxColumns + 1;
    case 2: return 32767;
    case 3: return -32768;
    case 4: return std::numeric_limits<int>::max();
    default: return std::numeric_limits<int>::min();
    }
}

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// A text that shows a non-number as "nan" or "inf" instead of saying it in words.
bool ShowsNonNumber(std::string_view text) {
    std::string word;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        if (word == "nan" || word == "inf" || word == "infinity") return true;
        word.clear();
    }
    return false;
}

// The report's lines with the user's own texts (cells, names, the Process If value) taken out:
// a cell that reads "nan" is a level of a text column, not a number the report failed to form.
bool ShowsNonNumberOfItsOwn(std::string line, const std::vector<std::string>& userTexts) {
    for (const std::string& text : userTexts) {
        if (text.empty()) continue;
        // On after the blank put in, so that a text of blanks cannot be found again and again.
        for (std::size_t at = 0; (at = line.find(text, at)) != std::string::npos; ++at)
            line.replace(at, text.size(), " ");
    }
    return ShowsNonNumber(line);
}

std::vector<std::string> UserTableTexts() {
    std::vector<std::string> texts;
    const TDataTable& table = DataTable();
    for (int c = 1; c <= table.ColumnCount(); ++c) {
        texts.push_back(table.ColumnName(c));
        for (int r = 1; r <= table.RowCount(); ++r)
            texts.emplace_back(table.Cell(c, r));
    }
    // Longest first, so that a text inside another is not cut out of it first.
    std::sort(texts.begin(), texts.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    return texts;
}

// Every drawn coordinate is finite (gaps aside) and inside its panel's ranges; no text shows a
// non-number.
void CheckScene(const TChartScene& scene, const std::vector<std::string>& userTexts) {
    const auto inside = [&](int panel, double x, double y) {
        if (IsGap(y)) return true;
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (panel < 0 || static_cast<std::size_t>(panel) >= scene.Panels.size()) return false;
        const TScenePanel& p = scene.Panels[static_cast<std::size_t>(panel)];
        const double slackY = 1e-9 * (p.Y.Max - p.Y.Min), slackX = 1e-9 * (p.X.Max - p.X.Min);
        return x >= p.X.Min - slackX && x <= p.X.Max + slackX && y >= p.Y.Min - slackY &&
               y <= p.Y.Max + slackY;
    };
    for (const TLineSeries& line : scene.Lines)
        for (std::size_t r = 0; r < line.RunsX.size(); ++r)
            for (std::size_t k = 0; k < line.RunsX[r].size(); ++k)
                Check(inside(line.Panel, line.RunsX[r][k], line.RunsY[r][k]),
                      "line vertices inside the axes");
    for (const TPointSeries& series : scene.Points)
        for (std::size_t k = 0; k < series.X.size(); ++k)
            Check(inside(series.Panel, series.X[k], series.Y[k]), "points inside the axes");
    for (const TZoneRect& zone : scene.Zones)
        Check(std::isfinite(zone.X0) && std::isfinite(zone.X1) && std::isfinite(zone.Y0) &&
                  std::isfinite(zone.Y1),
              "zones finite");
    std::vector<std::string_view> texts(scene.TitleLines.begin(), scene.TitleLines.end());
    texts.insert(texts.end(), scene.FooterLines.begin(), scene.FooterLines.end());
    for (const TScenePanel& panel : scene.Panels) {
        texts.push_back(panel.Y.Title);
        texts.push_back(panel.X.Title);
        if (panel.X.Ticks)
            texts.insert(texts.end(), panel.X.Ticks->Labels.begin(), panel.X.Ticks->Labels.end());
    }
    for (const TSeparator& separator : scene.Separators)
        texts.push_back(separator.Label);
    for (const TTextMark& mark : scene.PointLabels)
        texts.push_back(mark.Text);
    for (std::string_view text : texts)
        Check(!ShowsNonNumberOfItsOwn(std::string(text), userTexts), "no nan or inf in the chart's texts");
}

} // namespace kivspc::fuzz
