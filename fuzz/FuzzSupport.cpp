// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

#include "app/Dkivtool.h"
#include "data/DataFile.h"
#include "data/DataU.h"
#include "data/Extract.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "output/OutputModule.h"
#include "stats/CC_calc.h"
#include "stats/Zizize87.h"

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

} // namespace kivspc::fuzz
