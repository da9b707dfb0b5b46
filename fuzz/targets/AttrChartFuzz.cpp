// SPDX-License-Identifier: GPL-3.0-or-later
// The attributes charts over small tables with setups from the input, columns out of range and
// texts that are no numbers included. A refused setup changes nothing; every listed analysis
// loads with exactly the points of its selected rows with a usable count; every cell of the
// limit rows is a number or missing, limits come in order and proportions stay inside 0..1; the
// limit summary and the chart's scene show no "nan" or "inf", and the scene's range is finite,
// below 0 only for a value below 0 and holds everything drawn.
// Input: scripted answers, the table, an optional Process If, one or two setups, then the
// analyses to load and the display options.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartScene.h"
#include "charts/ChartState.h"
#include "charts/ControlTests.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/DataU.h"
#include "data/Missu.h"
#include "data/Procif.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kivspc::fuzz {

namespace {

// A table of 1-5 columns and 0-40 rows: long enough for sets, breaks and repeated grouping
// values, which the small tables of BuildTable rarely show.
void BuildAttrTable(FuzzInput& in) {
    const int columns = static_cast<int>(in.IntIn(1, 5));
    const int rows = static_cast<int>(in.IntIn(0, 40));
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
}

TAttrSetupEntries ReadEntries(FuzzInput& in) {
    TAttrSetupEntries e;
    e.Type = static_cast<TAttrType>(in.IntIn(0, 3));
    e.Method = static_cast<TAttrMethod>(in.IntIn(0, 7));
    e.CenterlineKind = static_cast<int>(in.IntIn(-1, 3));
    e.KnownParameterText = CellText(in);
    e.StdErrorsText = in.Bool() ? "3" : CellText(in);
    for (std::size_t i = 0; i < 3; ++i) {
        e.UserChecked[i] = in.Bool();
        e.UserTexts[i] = CellText(in);
    }
    e.AxisLabelColumn = AnyColumn(in);
    e.ReferenceLayout = in.Bool();
    e.ConstantSampleSize = in.Bool();
    e.SampleSizeText = CellText(in);
    e.SampleSizeColumn = AnyColumn(in);
    e.SetColumn = AnyColumn(in);
    const auto measures = in.IntIn(0, 4);
    for (long long i = 0; i < measures; ++i)
        e.Measures.push_back(AnyColumn(in));
    e.MeasureColumn = AnyColumn(in);
    const auto grouping = in.IntIn(0, 3);
    for (long long i = 0; i < grouping; ++i)
        e.GroupingColumns.push_back(AnyColumn(in));
    return e;
}

bool SameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool SameSettings(const TAttrChartSettings& a, const TAttrChartSettings& b) {
    return a.ChartType == b.ChartType && a.TypeCaption == b.TypeCaption && a.LimitMethod == b.LimitMethod &&
           a.CenterlineKind == b.CenterlineKind && a.CenterlineCaption == b.CenterlineCaption &&
           a.MedianCenter == b.MedianCenter && a.UseKnownParameter == b.UseKnownParameter &&
           SameNumber(a.KnownParameter, b.KnownParameter) && SameNumber(a.StdErrors, b.StdErrors) &&
           a.StdErrorsText == b.StdErrorsText && SameNumber(a.UserUCL, b.UserUCL) &&
           SameNumber(a.UserCL, b.UserCL) && SameNumber(a.UserLCL, b.UserLCL) &&
           a.ConstantSampleSize == b.ConstantSampleSize && SameNumber(a.SampleSize, b.SampleSize) &&
           a.SampleSizeColumn == b.SampleSizeColumn && a.SetColumn == b.SetColumn &&
           a.AxisLabelColumn == b.AxisLabelColumn && a.RunInfo.RunType == b.RunInfo.RunType &&
           a.RunInfo.FirstGroup == b.RunInfo.FirstGroup && a.RunInfo.LastGroup == b.RunInfo.LastGroup &&
           a.RunInfo.MeasureColumn == b.RunInfo.MeasureColumn &&
           a.RunInfo.GroupColumnCount == b.RunInfo.GroupColumnCount;
}

bool IsDataColumn(int column) {
    return column >= 1 && column <= std::min(DataTable().ColumnCount(), kMaxColumns);
}

bool Reference(const TAttrChartSettings& s) {
    return s.RunInfo.RunType == kRunByCombination || s.RunInfo.RunType == kRunBySingleCombination;
}

// What the chart is taken from, worked out from the setup entries rather than from the stored
// settings: the count columns of the Columns layout, or the measure column of the Reference
// layout.
struct TExpectedRun {
    bool Reference = false;
    std::vector<int> Measures;
    int MeasureColumn = 0;
};

TExpectedRun ExpectedRun(const TAttrSetupEntries& e) {
    TExpectedRun run;
    if (DataTable().ColumnCount() <= 1) {
        run.Measures = {1};
    } else if (e.ReferenceLayout) {
        run.Reference = true;
        run.MeasureColumn = e.MeasureColumn;
    } else {
        for (int column : e.Measures)
            if (IsDataColumn(column)) run.Measures.push_back(column);
    }
    return run;
}

double CacheValue(int column, int row) {
    if (column < 1 || static_cast<std::size_t>(column) >= Values.size()) return MissingValue;
    const auto& cells = Values[static_cast<std::size_t>(column)];
    return row >= 0 && static_cast<std::size_t>(row) < cells.size() ? cells[static_cast<std::size_t>(row)]
                                                                    : MissingValue;
}

bool UsableCount(double x) { return IsValidValue(x) && std::isfinite(x); }

// The selected rows with a usable count in `column`.
int SelectedCounts(int column) {
    int count = 0;
    for (int r = 1; r <= DataTable().RowCount(); ++r)
        count += IsRowSelected(r) && UsableCount(CacheValue(column, r));
    return count;
}

// The points an analysis must have in the Columns layout.
int ExpectedPoints(const TExpectedRun& run, int analysis) {
    if (std::find(run.Measures.begin(), run.Measures.end(), analysis) == run.Measures.end()) return 0;
    return SelectedCounts(analysis);
}

// The point table of the loaded analysis against the settings and the rows it came from.
void CheckPoints(const TAttrChartSettings& s, int countColumn) {
    const TAttrChart& c = AttrChart;
    Check(c.Count == 0 || c.Rows[0].size() >= static_cast<std::size_t>(c.Count) + 1,
          "a cell for every point");
    const TAttrMethod m = s.LimitMethod;
    const bool probability = m == TAttrMethod::Exact || m == TAttrMethod::NormalApproximation;
    double lastRow = 0;
    int breaks = 0;
    for (int i = 1; i <= c.Count; ++i) {
        for (int row : {kAttrStatistic, kAttrLCL, kAttrCL, kAttrUCL, kAttrSE})
            Check(c(row, i) == MissingValue || std::isfinite(c(row, i)),
                  "statistic, limits and standard error a number or missing");
        const auto present = [&](int row) { return c(row, i) != MissingValue; };
        const double lcl = c(kAttrLCL, i), cl = c(kAttrCL, i), ucl = c(kAttrUCL, i),
                     n = c(kAttrSampleSize, i);
        // Exact limits are whole counts less one half: with a fraction of a standard error (k below
        // 0.3) the tail rule may put them on either side of a centre between two counts.
        const bool straddle = m == TAttrMethod::Exact && s.StdErrors < 0.5;
        if (present(kAttrLCL) && present(kAttrCL) && !straddle) Check(lcl <= cl, "LCL <= CL");
        if (present(kAttrCL) && present(kAttrUCL) && !straddle) Check(cl <= ucl, "CL <= UCL");
        if (present(kAttrLCL) && present(kAttrUCL)) Check(lcl <= ucl, "LCL <= UCL");
        if (present(kAttrSE)) Check(c(kAttrSE, i) >= 0, "a standard error is not negative");
        if (probability && present(kAttrLCL)) Check(lcl >= 0, "probability limits: LCL not below 0");
        if (probability && present(kAttrUCL) && s.ChartType == TAttrType::P)
            Check(ucl <= 1, "p chart: UCL not above 1");
        if (probability && present(kAttrUCL) && s.ChartType == TAttrType::NP)
            // The limit routine works with n rounded to a whole number of items (1.5 counts as 2).
            Check(ucl <= std::nearbyint(n) * (1 + 1e-12), "np chart: UCL not above n");
        if (m != TAttrMethod::UserDefined && !present(kAttrStatistic))
            Check(!present(kAttrLCL) && !present(kAttrCL) && !present(kAttrUCL) && !present(kAttrSE),
                  "a point without a statistic has no limits");
        if (m == TAttrMethod::None)
            Check(!present(kAttrLCL) && !present(kAttrCL) && !present(kAttrUCL), "no limits for None");
        if (m == TAttrMethod::CenterlineOnly)
            Check(!present(kAttrLCL) && !present(kAttrUCL) && !present(kAttrSE), "only a centre line");
        if (s.ConstantSampleSize)
            Check(SameNumber(n, s.SampleSize), "the constant sample size on every point");
        // The point's statistic: X / n or X, present exactly when n is a number above 0.
        const bool usableN = n != MissingValue && std::isfinite(n) && n > 0;
        if (!usableN) Check(!present(kAttrStatistic), "no statistic without a sample size above 0");
        // With an axis-label column the label is the row: rows ascend and hold the point's count.
        if (s.AxisLabelColumn > 0) {
            const double row = c(kAttrLabel, i);
            Check(row > lastRow && row <= DataTable().RowCount(), "points in data order");
            lastRow = row;
            const int r = static_cast<int>(row);
            Check(IsRowSelected(r), "a point from a selected row");
            Check(SameNumber(c(kAttrCount, i), CacheValue(countColumn, r)), "the point's count is its row's");
        } else {
            Check(c(kAttrLabel, i) == i, "order numbers label the points");
        }
        Check(c(kAttrBreak, i) == 0 || c(kAttrBreak, i) == 1, "a break flag is 0 or 1");
        breaks += c(kAttrBreak, i) == 1;
    }
    Check(breaks == c.Breaks, "the breaks counted");
    if (c.Count > 0) Check(c(kAttrBreak, c.Count) == 0, "no break after the last point");
    if (!s.ShowBreaks) Check(c.Breaks == 0, "no breaks unless shown");
}

void CheckSummary(const std::vector<std::string>& userTexts) {
    for (const std::string& line : LimitSummary())
        Check(!ShowsNonNumberOfItsOwn(line, userTexts), "no nan or inf in the limit summary");
}

} // namespace

int FuzzAttrChart(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    ResetChartState();
    ResetControlTests();
    ScriptAnswers(platform, in.Byte());
    BuildAttrTable(in);
    std::vector<std::string> userTexts = UserTableTexts();
    if (in.Bool()) {
        const std::string value = CellText(in);
        userTexts.insert(userTexts.begin(), value);
        const int column = AnyColumn(in);
        const auto relation = static_cast<std::uint8_t>(in.IntIn(0, 8));
        ApplyProcessIf({column, "x", relation, value}, {}, false);
    }

    // One or two setups: the second may be refused over the first one's settings.
    bool stored = false;
    TExpectedRun run;
    const int setups = in.Bool() ? 2 : 1;
    for (int k = 0; k < setups; ++k) {
        const TAttrSetupEntries e = ReadEntries(in);
        const TAttrChartSettings before = AttrChartSettings;
        const auto marksBefore = DataList.Selected;
        const TAttrSetupOutcome outcome = StoreAttrSetup(e);
        const TAttrChartSettings& s = AttrChartSettings;
        if (!outcome.Stored) {
            Check(SameSettings(before, s), "a refused setup changes no setting");
            Check(marksBefore == DataList.Selected, "a refused setup keeps the column marks");
            continue;
        }
        stored = true;
        run = ExpectedRun(e);
        Check(s.ChartType == e.Type && s.LimitMethod == e.Method, "the type and method stored");
        Check(std::isfinite(s.StdErrors) && s.StdErrors > 0, "a usable number of standard errors");
        Check(!s.UseKnownParameter || std::isfinite(s.KnownParameter), "a known parameter is a number");
        Check(!s.ConstantSampleSize || (std::isfinite(s.SampleSize) && s.SampleSize != 0),
              "a constant sample size is a number other than 0");
        Check(s.ConstantSampleSize || IsDataColumn(s.SampleSizeColumn), "a sample-size column in the table");
        Check(s.SetColumn == 0 || IsDataColumn(s.SetColumn), "a set column in the table");
        if (s.SetColumn != 0)
            Check(!s.UseKnownParameter && e.Method != TAttrMethod::None &&
                      e.Method != TAttrMethod::UserDefined,
                  "no sets where they are hidden");
        Check(Reference(s) == run.Reference, "the layout stored");
        if (run.Reference) {
            Check(s.RunInfo.MeasureColumn == e.MeasureColumn, "the measure column stored");
        } else {
            for (int column = 1; column <= kMaxColumns; ++column) {
                const bool measure =
                    std::find(run.Measures.begin(), run.Measures.end(), column) != run.Measures.end();
                Check((DataList.Selected[static_cast<std::size_t>(column)] != 0) == measure,
                      "exactly the measures marked");
            }
        }
    }
    TAttrChartSettings& s = AttrChartSettings;
    s.ShowBreaks = in.Bool();

    if (stored) {
        TAttrChart& c = AttrChart;
        const TRunInfo& info = s.RunInfo;
        BuildAnalysisList();
        Check(c.AnalysisLabels.size() == c.AnalysisNumbers.size(), "a label for every listed analysis");
        Check(std::is_sorted(c.AnalysisNumbers.begin(), c.AnalysisNumbers.end()) &&
                  std::adjacent_find(c.AnalysisNumbers.begin(), c.AnalysisNumbers.end()) ==
                      c.AnalysisNumbers.end(),
              "listed analyses in increasing order");
        Check(c.Analysis == info.FirstGroup - 1, "the run starts over after the list");
        // The listed analyses are exactly those with points, each with the points of its rows.
        int total = 0;
        for (int a : c.AnalysisNumbers) {
            Check(a >= info.FirstGroup && a <= info.LastGroup, "a listed analysis inside the run");
            Check(LoadAnalysis(a) && c.Count > 0, "every listed analysis has a point");
            total += c.Count;
            if (!run.Reference)
                Check(c.Count == ExpectedPoints(run, a), "one point per selected row with a count");
            CheckPoints(s, run.Reference ? run.MeasureColumn : a);
        }
        if (run.Reference) {
            Check(total == SelectedCounts(run.MeasureColumn),
                  "the combinations share out the selected rows with a count");
        } else {
            for (int a = info.FirstGroup; a <= info.LastGroup; ++a)
                Check((ExpectedPoints(run, a) > 0) ==
                          (std::find(c.AnalysisNumbers.begin(), c.AnalysisNumbers.end(), a) !=
                           c.AnalysisNumbers.end()),
                      "every analysis with points listed");
        }
        // The run from the start meets the listed analyses in order.
        c.Analysis = info.FirstGroup - 1;
        for (int a : c.AnalysisNumbers) {
            Check(NextAnalysis() && c.Analysis == a, "the run visits the listed analyses");
            CheckSummary(userTexts);
        }
        Check(!NextAnalysis(), "the run ends after the last listed analysis");
        // Any number, listed or not, loads exactly when it is listed.
        const auto loads = in.IntIn(0, 3);
        for (long long k = 0; k < loads; ++k) {
            const bool listed = !c.AnalysisNumbers.empty() && in.Bool();
            const int a = listed ? c.AnalysisNumbers[static_cast<std::size_t>(
                                       in.IntIn(0, static_cast<long long>(c.AnalysisNumbers.size()) - 1))]
                                 : static_cast<int>(in.IntIn(-2, info.LastGroup + 2));
            s.ShowBreaks = in.Bool();
            const bool isListed =
                std::find(c.AnalysisNumbers.begin(), c.AnalysisNumbers.end(), a) != c.AnalysisNumbers.end();
            Check(LoadAnalysis(a) == isListed, "an analysis loads exactly when it is listed");
            CheckPoints(s, run.Reference ? run.MeasureColumn : a);
            CheckSummary(userTexts);
        }
    }

    // The picture of whatever was loaded last, with any display options.
    TAttrChartDisplay& d = AttrChartDisplay;
    d = TAttrChartDisplay{};
    d.ShowViolations = in.Bool();
    d.ShowCodes = in.Bool();
    d.ShowZones = in.Bool();
    d.Connect = in.Bool();
    d.AddLimitInfo = in.Bool();
    d.AddModifications = in.Bool();
    d.PointSize = static_cast<int>(in.IntIn(1, 25));
    d.LineThickness = static_cast<int>(in.IntIn(1, 10));
    d.AxisDecimals = static_cast<int>(in.IntIn(0, 10)) - 1;
    ClearAttrPointTexts();
    Check(static_cast<int>(d.PointTexts.size()) == AttrPlottedPositions(), "a text slot for every position");
    if (in.Bool() && !d.PointTexts.empty())
        d.PointTexts[static_cast<std::size_t>(in.IntIn(0, static_cast<long long>(d.PointTexts.size()) - 1))] =
            "label";
    ChartsBlackAndWhite = in.Bool();
    TChartScene scene;
    RedrawAttrChart(scene);
    ChartsBlackAndWhite = false;
    CheckScene(scene, userTexts);
    Check(scene.Panels.size() == (AttrChart.Count > 0 ? 1u : 0u), "one panel when there are points");
    for (const TScenePanel& panel : scene.Panels) {
        Check(std::isfinite(panel.Y.Min) && std::isfinite(panel.Y.Max) && panel.Y.Min < panel.Y.Max,
              "the axis has a range");
        // Below 0 only for a value below 0 (a negative count typed into the data).
        bool negative = false;
        for (int i = 1; i <= AttrChart.Count; ++i)
            for (int row : {kAttrStatistic, kAttrLCL, kAttrUCL, kAttrCL})
                negative = negative || (AttrChart(row, i) != MissingValue && AttrChart(row, i) < 0);
        Check(panel.Y.Min >= 0 || negative, "the range goes below 0 only for a value below 0");
    }
    for (const TPointSeries& series : scene.Points)
        Check(series.X.size() == static_cast<std::size_t>(AttrChart.Count) &&
                  series.Colors.size() == series.X.size(),
              "a point and a colour for every point");
    return 0;
}

} // namespace kivspc::fuzz
