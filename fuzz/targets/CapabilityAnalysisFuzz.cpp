// SPDX-License-Identifier: GPL-3.0-or-later
// The capability and performance analysis over small tables with tolerance limits (in order,
// reversed or one-sided), Process If and a transform: setups with columns out of the table are
// refused and change nothing; the list heads with "(All)" exactly for two or more groups; for
// entries in and out of the list, with any model, mode, decimals and check boxes, the statistics
// table shows no "nan" or "inf", draws its separators and tests as the window expects, counts
// the values and the values out of tolerance consistently, keeps percentages within
// 0..100 and the process limits in order; the sigma estimates are missing or finite and not
// negative; the groups of one measure share out the rows of "(All)".
// Input: the table with its limits, an optional Process If and transform, one or two setups,
// then the entries to show with their options.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/MissingValue.h"
#include "app/SharedState.h"
#include "capability/CapabilityPlot.h"
#include "capability/CapabilitySetup.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Procif.h"
#include "data/Transfrm.h"
#include "stats/Capability.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace kivspc::fuzz {

namespace {

// Mostly numbers of a measured kind (small integers and decimals with ties), some empty cells,
// the cell rules' edge texts and a few text levels.
std::string MeasureCell(FuzzInput& in) {
    const std::uint8_t b = in.Byte();
    if (b < 100) return std::to_string(b % 30 - 5);
    if (b < 150) return std::to_string(b - 100) + "." + std::to_string(b % 8);
    if (b < 170) return {};
    if (b < 230) return CellText(in);
    static constexpr const char* kLevels[] = {"a", "b", "c"};
    return kLevels[b % 3];
}

// A limit as typed in a description row: mostly a number or empty, sometimes an edge text.
std::string LimitText(FuzzInput& in) {
    const std::uint8_t b = in.Byte();
    if (b < 80) return {};
    if (b < 200) return std::to_string(b % 40 - 8);
    return CellText(in);
}

// A table of 1-6 columns and 0-40 rows, each column with its limits.
void BuildCapabilityTable(FuzzInput& in) {
    const int columns = static_cast<int>(in.IntIn(1, 6));
    const int rows = static_cast<int>(in.IntIn(0, 40));
    TDataTable& table = DataTable();
    table.SetColumnCount(columns);
    table.SetRowCount(rows);
    for (int c = 1; c <= columns; ++c) {
        if (in.Bool()) {
            table.SetDescription(c, kLSLRow, LimitText(in));
            table.SetDescription(c, kTargetRow, LimitText(in));
            table.SetDescription(c, kUSLRow, LimitText(in));
        }
        for (int r = 1; r <= rows; ++r)
            table.SetCell(c, r, MeasureCell(in));
    }
    DataList.MarkAllRowsChanged();
    DataList.RebuildValues();
}

void PickTransform(FuzzInput& in) {
    TransformRec.Kind = static_cast<std::uint8_t>(in.IntIn(0, 14));
    TransformRec.AText = CellText(in);
    TransformRec.BText = CellText(in);
    TransformRec.CText = CellText(in);
    ConvertTransformConstants();
    if (in.Bool()) {
        TransformRec.A = in.AnyDouble();
        TransformRec.B = in.AnyDouble();
        TransformRec.C = in.AnyDouble();
    }
}

// A column as the setup's lists hold them: mostly one of the table, sometimes anything.
int ChoiceColumn(FuzzInput& in) {
    const int columns = DataTable().ColumnCount();
    const std::uint8_t b = in.Byte();
    if (b < 224) return 1 + b % columns;
    return AnyColumn(in);
}

// A choice as the setup window makes it: measures in data order, each column in one list only.
TCapabilityChoice ReadChoice(FuzzInput& in) {
    TCapabilityChoice choice;
    const auto measures = in.IntIn(0, 4);
    for (long long i = 0; i < measures; ++i)
        choice.Measures.push_back(ChoiceColumn(in));
    std::sort(choice.Measures.begin(), choice.Measures.end());
    choice.Measures.erase(std::unique(choice.Measures.begin(), choice.Measures.end()), choice.Measures.end());
    const auto listed = [&](int c) {
        return std::find(choice.Measures.begin(), choice.Measures.end(), c) != choice.Measures.end() ||
               std::find(choice.Groups.begin(), choice.Groups.end(), c) != choice.Groups.end();
    };
    const auto groups = in.IntIn(0, 3);
    for (long long i = 0; i < groups; ++i) {
        const int c = ChoiceColumn(in);
        if (!listed(c)) choice.Groups.push_back(c);
    }
    if (in.Bool()) {
        const int c = ChoiceColumn(in);
        if (!listed(c)) choice.SampleColumn = c;
    }
    choice.LayoutIndex = static_cast<int>(in.IntIn(0, 3));
    choice.GroupsIndex = static_cast<int>(in.IntIn(0, 1));
    return choice;
}

bool Acceptable(const TCapabilityChoice& choice) {
    const int columns = DataTable().ColumnCount();
    const auto inTable = [columns](int c) { return c >= 1 && c <= columns; };
    return !choice.Measures.empty() && std::all_of(choice.Measures.begin(), choice.Measures.end(), inTable) &&
           std::all_of(choice.Groups.begin(), choice.Groups.end(), inTable) &&
           (choice.SampleColumn == 0 || inTable(choice.SampleColumn));
}

bool SameConfig(const TCapabilityConfig& a, const TCapabilityConfig& b) {
    return a.LayoutIndex == b.LayoutIndex && a.GroupsIndex == b.GroupsIndex &&
           a.MeasureCount == b.MeasureCount && a.GroupColumnTotal == b.GroupColumnTotal &&
           a.GroupsAreStreams == b.GroupsAreStreams && a.MeasuresAreStreams == b.MeasuresAreStreams &&
           a.HasSampleColumn == b.HasSampleColumn && a.SampleColumn == b.SampleColumn &&
           a.MeasureColumns == b.MeasureColumns;
}

bool SameRun(const TRunInfo& a, const TRunInfo& b) {
    return a.RunType == b.RunType && a.FirstGroup == b.FirstGroup && a.LastGroup == b.LastGroup &&
           a.MeasureColumn == b.MeasureColumn && a.GroupColumn == b.GroupColumn &&
           a.FirstMeasure == b.FirstMeasure && a.LastMeasure == b.LastMeasure &&
           a.CurrentMeasure == b.CurrentMeasure && a.GroupColumnCount == b.GroupColumnCount &&
           a.GroupColumns == b.GroupColumns;
}

bool HasWord(const std::string& text, const char* word) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find(word) != std::string::npos;
}

// The number a cell shows, exponent form included; none for words.
std::optional<double> Number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(x)) return std::nullopt;
    return x;
}

// More than sixteen digits in a row: a huge number written out instead of in exponent form.
bool HasLongDigitRun(const std::string& text) {
    int run = 0;
    for (char c : text) {
        run = std::isdigit(static_cast<unsigned char>(c)) ? run + 1 : 0;
        if (run > 16) return true;
    }
    return false;
}

const TStatRow* Find(const std::vector<TStatRow>& rows, const char* left) {
    for (const TStatRow& row : rows)
        if (row.Kind == TStatRowKind::Value && row.Left == left) return &row;
    return nullptr;
}

std::optional<double> ValueOf(const std::vector<TStatRow>& rows, const char* left) {
    const TStatRow* row = Find(rows, left);
    return row ? Number(row->Right) : std::nullopt;
}

// The rows against the entry's n values as the table left them in the sample.
void CheckRows(const std::vector<TStatRow>& rows, int n, const std::vector<double>& values) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TStatRow& row = rows[i];
        Check(!HasWord(row.Left, "inf") && !HasWord(row.Left, "nan") && !HasWord(row.Right, "inf") &&
                  !HasWord(row.Right, "nan"),
              "no cell of the statistics table shows inf or nan");
        Check(!HasLongDigitRun(row.Right), "huge numbers in exponent form");
        if (row.Kind == TStatRowKind::Separator)
            Check(row.Left.empty() && row.Right.empty(), "a separator row has both cells empty");
        if (row.Kind == TStatRowKind::TestHeading) {
            Check(row.Right == "p-value", "a test heading has p-value on the right");
            Check(i + 1 < rows.size() && rows[i + 1].Kind == TStatRowKind::TestResult,
                  "a test heading is followed by its result");
        }
    }

    if (const auto shown = ValueOf(rows, "n")) Check(*shown == n, "n is the number of values of the entry");
    const auto below = ValueOf(rows, "n Below Spec");
    const auto above = ValueOf(rows, "n Above Spec");
    const auto out = ValueOf(rows, "n Out Spec");
    for (const auto& count : {below, above, out})
        if (count) Check(*count >= 0 && *count <= n, "a count out of tolerance is between 0 and n");
    if (below && above && out) Check(*below + *above == *out, "below and above make up the count out");
    // Counted over the entry's own values, not over a buffer the sigma estimates filled meanwhile.
    // A value within 1e-20 of a limit is on it (a denormal just below 0 is not below an LSL of 0).
    const TSpecLimits& spec = SpecLimits;
    const auto count = [&](auto outside) { return std::count_if(values.begin(), values.end(), outside); };
    if (below)
        Check(*below == count([&](double x) { return x < static_cast<Extended>(spec.LSL) - 1e-20L; }),
              "n Below Spec counts the values below the LSL");
    if (above)
        Check(*above == count([&](double x) { return x > static_cast<Extended>(spec.USL) + 1e-20L; }),
              "n Above Spec counts the values above the USL");
    const auto low = ValueOf(rows, "Low");
    const auto median = ValueOf(rows, "Median");
    const auto high = ValueOf(rows, "High");
    if (low && median && high) Check(*low <= *median && *median <= *high, "Low <= Median <= High");
    for (const char* spread : {"Std Dev", "Range"})
        if (const auto x = ValueOf(rows, spread)) Check(*x >= 0, "a spread is not negative");
    for (const char* percent : {"% Below Spec", "% Above Spec", "% Out Spec", "Est %Below Spec",
                                "Est %Above Spec", "Est %Out Spec"}) {
        if (const TStatRow* row = Find(rows, percent)) {
            const auto p = Number(row->Right);
            Check(p.has_value(), "a percentage is a number");
            // Three decimals: 100 may read 100.000 and 0 may read -0.000.
            Check(*p >= -0.0005 && *p <= 100.0005, "a percentage is within 0..100");
        }
    }
    const auto lpl = ValueOf(rows, "LPL");
    const auto upl = ValueOf(rows, "UPL");
    if (lpl && upl) Check(*lpl <= *upl, "LPL <= UPL");
}

void CheckSigma(double sigma, const char* what) {
    Check(sigma == MissingValue || (std::isfinite(sigma) && sigma >= 0), what);
}

bool SplitsRows(int runType) { return runType == kRunByCombination || runType == kRunBySingleCombination; }

} // namespace

int FuzzCapabilityAnalysis(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ResetCapabilitySetup();
    ResetSpecLimits();
    ResetFitState();
    DistKind = kDistNone;
    ScriptAnswers(platform, in.Byte());
    BuildCapabilityTable(in);
    if (in.Bool()) {
        const std::string value = CellText(in);
        const int column = AnyColumn(in);
        const auto relation = static_cast<std::uint8_t>(in.IntIn(0, 8));
        ApplyProcessIf({column, "x", relation, value}, {}, false);
    }
    if (in.Bool()) PickTransform(in);

    // One or two setups: the second may be refused over the first.
    bool stored = false;
    const int setups = in.Bool() ? 2 : 1;
    for (int k = 0; k < setups; ++k) {
        const TCapabilityChoice choice = ReadChoice(in);
        const TCapabilityConfig config = CapabilityConfig;
        const TRunInfo run = CapabilityRun;
        const auto marks = DataList.Selected;
        const bool accepted = StoreCapabilitySetup(choice);
        Check(accepted == Acceptable(choice), "a setup is stored exactly when its columns are in the table");
        if (!accepted) {
            Check(SameConfig(config, CapabilityConfig) && SameRun(run, CapabilityRun),
                  "a refused setup keeps the stored one");
            Check(marks == DataList.Selected, "a refused setup keeps the column marks");
            continue;
        }
        stored = true;
        Check(CapabilityConfig.MeasureColumns == choice.Measures, "the measures stored in list order");
        Check(CapabilityRun.RunType != 0, "a stored setup has a run type");
    }
    if (!stored) return 0;

    TCapabilityAnalysis a;
    OpenCapabilityAnalysis(a);
    Check(a.HasAll == (a.Groups.size() >= 2), "(All) exactly for two or more groups");
    const std::vector<std::string> list = a.ListTexts();
    Check(static_cast<int>(list.size()) == a.ListCount(), "the list counts its entries");
    if (a.HasAll) Check(list.front() == "(All)", "(All) heads the list");

    // The groups of one measure share out the values of (All).
    if (SplitsRows(a.Run.RunType) && a.HasAll) {
        a.Selected = 0;
        SelectCurrentData(a);
        const int all = SampleN;
        int sum = 0;
        for (int i = 1; i < a.ListCount(); ++i) {
            a.Selected = i;
            SelectCurrentData(a);
            sum += SampleN;
        }
        Check(sum == all, "the groups' counts add up to the count of (All)");
    }

    const auto entries = in.IntIn(1, 4);
    for (long long k = 0; k < entries; ++k) {
        a.Selected = static_cast<int>(in.IntIn(-1, a.ListCount() + 1));
        DistKind = static_cast<int>(in.IntIn(0, kDistKinds - 1));
        TCapabilityOptions& o = a.Options;
        o.CapabilityMode = in.Bool();
        o.Decimals = static_cast<int>(in.IntIn(1, 9));
        o.ShowStats = in.Bool();
        o.ShowParameters = in.Bool();
        o.ShowFit = in.Bool();
        o.ShowCapability = in.Bool();
        o.Interpolate = in.Bool();

        SelectCurrentData(a);
        const int n = SampleN;
        const std::vector<TStatRow> rows = BuildStatisticsTable(a);
        Check(SampleN == n, "the table leaves the entry's sample");
        if (n <= 0) {
            Check(rows.empty(), "no table for an entry without values");
        } else {
            const bool shown =
                o.ShowStats ||
                (DistKind > kDistNone && o.CapabilityMode && (o.ShowFit || o.ShowParameters)) ||
                (o.ShowCapability && SpecLimits.HasLimit);
            if (shown) Check(!rows.empty(), "a table for an entry with values");
            if (o.ShowStats) Check(Find(rows, "n") != nullptr, "the count is shown with the statistics");
        }
        const std::vector<double> values =
            n > 0 ? std::vector<double>(SampleX.begin() + 1, SampleX.begin() + 1 + n) : std::vector<double>{};
        CheckRows(rows, n, values);
        CheckSigma(a.PotentialSigma, "the potential sigma is missing or a number >= 0");
        CheckSigma(a.StreamSigma, "the stream sigma is missing or a number >= 0");
        CheckSigma(PotentialSigma(a), "the potential sigma is missing or a number >= 0");
        CheckSigma(StreamSigma(a), "the stream sigma is missing or a number >= 0");
    }
    return 0;
}

} // namespace kivspc::fuzz
