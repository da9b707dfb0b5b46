// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/CCPointInfo.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "output/ReditU.h"
#include "stats/Capability.h"
#include "stats/ConfidenceCorrelation.h"
#include "stats/Distributions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kivspc {

std::uint64_t ChartVersion = 0;
TChartInfoStyle ChartInfoStyle;

namespace {

// Both limits present, and the upper not above the lower: no tolerance, so no index.
bool Inverted(const TSpecLimits& specs) { return specs.TwoSided && !(specs.USL > specs.LSL); }
constexpr const char* kInvertedSpecs = "\tUSL must be greater than LSL";

const char* TypeName(TChartKind kind) { return ChartKindName(kind); }

class TReportWriter {
public:
    TReportWriter()
        : s_(VarChartSettings), p_(VarChart.Points), d_(std::clamp(ChartInfoStyle.Decimals, 0, 9)) {}

    void Write() {
        SetHeadingFont(ChartInfoStyle.HeadingSize);
        WriteOutputLine(ChartReportHeading());
        Body();
        WriteBlankLine();
        FileSection();
        ModificationsSection();
        SpecificationsSection();
        LimitsSection();
        if (VarChart.Count <= 0) return;
        const std::vector<int> sets = Sets();
        const bool several = sets.size() > 1;
        for (int set : sets)
            ControlSection(set, several);
        for (int set : sets)
            CapabilitySection(set, several);
        if (HasLocation() && HasDispersion())
            for (int set : sets)
                CorrelationSection(set, several);
        for (int set : sets)
            AnovaSection(set, several);
    }

private:
    bool HasLocation() const { return s_.LocationChart != kChartNone; }
    bool HasDispersion() const { return s_.DispersionChart != kChartNone; }
    // Every number of the report with decimals has d of them; huge results take an exponent and
    // what is not a finite number is said in words.
    std::string F(Extended x) const { return FormatFixedFinite(d_, x); }
    std::string Percent(Extended x) const { return std::isfinite(x) ? F(x) + "%" : F(x); }

    void Body() { SetBodyFont(ChartInfoStyle.BodySize); }
    void Section(const std::string& title) {
        SetUnderlinedHeadingFont(ChartInfoStyle.SectionSize);
        WriteOutputLine(title);
        Body();
    }
    // A tab, then the text underlined.
    void SubHeading(const std::string& text) {
        Body();
        WriteOutputText("\t");
        SetUnderlineStyle();
        WriteOutputText(text);
        Body();
        WriteOutputLine("");
    }
    static std::string SetSuffix(int set, bool several) {
        return several ? " - Set " + FormatTrimmed(set) : "";
    }

    // The sets with points, lowest first.
    std::vector<int> Sets() const {
        std::vector<int> sets;
        for (int i = 1; i <= VarChart.Count; ++i) {
            const int set = static_cast<int>(p_(kRowSet, i));
            if (std::find(sets.begin(), sets.end(), set) == sets.end()) sets.push_back(set);
        }
        std::sort(sets.begin(), sets.end());
        return sets;
    }
    // A subgroup's standard deviation (0 for a single value); not a number when the subgroup's
    // deviation could not be formed, so that the sums built on it say so.
    Extended SubgroupSD(int i) const {
        const double si = p_(kRowSubgroupSD, i);
        if (PresentFinite(si)) return si;
        return PresentFinite(p_(kRowN, i)) && p_(kRowN, i) > 1 ? std::numeric_limits<Extended>::quiet_NaN()
                                                               : 0;
    }
    // A subgroup's mean; a single value is its own mean.
    double SubgroupMean(int i) const {
        const double m = p_(kRowSubgroupMean, i);
        if (PresentFinite(m)) return m;
        return p_(kRowN, i) == 1 ? p_(kRowLocation, i) : MissingValue;
    }
    std::vector<int> PointsOf(int set) const {
        std::vector<int> points;
        for (int i = 1; i <= VarChart.Count; ++i)
            if (static_cast<int>(p_(kRowSet, i)) == set) points.push_back(i);
        return points;
    }

    void FileSection() {
        const std::string& file = DataTable().FileName;
        if (file.empty()) return;
        Section("Data File");
        WriteOutputLine("\t" + file);
        WriteBlankLine();
    }

    void ModificationsSection() {
        TSelectionSummary summary;
        if (!SelectionSummary(summary) || summary.TabbedLines.empty()) return;
        Section("File Modifications");
        WriteOutputLine("\t" + summary.TabbedLines);
        WriteBlankLine();
    }

    void SpecificationsSection() {
        const int column = VarChart.Column;
        SetSpecifications(ColumnLSL(column), ColumnTarget(column), ColumnUSL(column));
        const bool inverted = Inverted(SpecLimits);
        if (!inverted && (!SpecLimits.SpecsUsable || !SpecLimits.HasAnySpec)) return;
        Section("Specifications");
        if (SpecLimits.HasUSL) WriteOutputLine("\t   USL = " + F(SpecLimits.USL));
        if (SpecLimits.HasTarget) WriteOutputLine("\tTarget = " + F(SpecLimits.Target));
        if (SpecLimits.HasLSL) WriteOutputLine("\t   LSL = " + F(SpecLimits.LSL));
        if (inverted) WriteOutputLine(kInvertedSpecs);
        WriteBlankLine();
    }

    void LimitsSection() {
        Section("Limit Calculations");
        if (HasLocation()) {
            WriteBlankLine();
            SubHeading(std::string(TypeName(s_.LocationChart)) + " Chart");
            WriteOutputLine(std::string("\t    Limits: ") + LimitMethodNames[s_.LocationMethod]);
            WriteOutputLine("\tCenterline: " + CenterlineName(0));
        }
        if (HasDispersion()) {
            WriteBlankLine();
            SubHeading(std::string(TypeName(s_.DispersionChart)) + " Chart");
            WriteOutputLine("\t    Limits: " +
                            FillLimitName(s_.DispersionMethod, TypeName(s_.DispersionChart)));
            WriteOutputLine("\tCenterline: " + CenterlineName(1));
        }
        WriteBlankLine();
        const std::string sigma = VarChart.SigmaMethod > 0
                                      ? FillLimitName(VarChart.SigmaMethod, TypeName(s_.DispersionChart))
                                      : std::string("None");
        WriteOutputLine("\tSigma Estimate Using: " + sigma);
        // Only a batch caller can hand over a count that is no number; the setup refuses it.
        WriteOutputLine(std::isfinite(s_.StdErrors)
                            ? "\t" + FormatTrimmed(s_.StdErrors) + " Standard Errors Used"
                            : std::string("\tNumber of Standard Errors Not Valid"));
    }

    // Tests 1 and 9 count the points that violate them. The pattern tests count patterns: a test
    // fires at every point that ends a window holding its pattern, so a pattern ends at a point
    // where the test fired and does not fire at the next point of the set. The member marks
    // are left out: two patterns whose windows touch or overlap are still two.
    void ControlSection(int set, bool several) {
        WriteBlankLine();
        Section("Control Analysis" + SetSuffix(set, several));
        WriteBlankLine();
        const std::vector<int> points = PointsOf(set);
        const auto chart = [&](int slot, TChartKind type, int method) {
            SubHeading(std::string(TypeName(type)) + " Chart Analysis");
            WriteBlankLine();
            if (method == kMethodNone) {
                WriteOutputLine("\tNo Control Tests Performed");
            } else {
                bool any = false;
                for (int t = 1; t <= kControlTestCount; ++t) {
                    const char letter = kControlTestLetters[static_cast<std::size_t>(t - 1)];
                    // Own letters only: a member mark is the letter moved up by kMemberMarkOffset.
                    const auto fired = [&](int i) {
                        return RawControlCode(slot, i).find(letter) != std::string_view::npos;
                    };
                    const bool single = t == kTestOutsideLimits || t == kTestMovingRange;
                    int count = 0;
                    for (std::size_t k = 0; k < points.size(); ++k) {
                        const int i = points[k];
                        if (!fired(i)) continue;
                        const bool goesOn = k + 1 < points.size() && points[k + 1] == i + 1 && fired(i + 1);
                        if (single || !goesOn) ++count;
                    }
                    if (count == 0) continue;
                    any = true;
                    WriteOutputLine("\t" + PadLeft(std::to_string(count), 4) +
                                    " Found: " + ControlTestName(t));
                }
                if (!any) WriteOutputLine("\tControl Tests - OK");
            }
            WriteBlankLine();
        };
        if (HasLocation()) chart(0, s_.LocationChart, s_.LocationMethod);
        if (HasDispersion()) chart(1, s_.DispersionChart, s_.DispersionMethod);
    }

    void CapabilitySection(int set, bool several) {
        const std::vector<int> points = PointsOf(set);
        if (points.empty()) return;
        const int first = points.front();
        const double mean = p_(kRowGrandMean, first);
        const double sigma = p_(kRowSigma, first);
        // The total standard deviation from the subgroups' sizes, means and deviations; squares
        // and differences of doubles stay within the range of an Extended.
        Extended n = 0, within = 0, between = 0;
        for (int i : points) {
            const Extended ni = PresentFinite(p_(kRowN, i)) ? p_(kRowN, i) : 0;
            const Extended si = SubgroupSD(i);
            const double mi = SubgroupMean(i);
            n += ni;
            if (ni > 1) within += si * si * (ni - 1);
            if (PresentFinite(mi) && PresentFinite(mean)) {
                const Extended off = static_cast<Extended>(mi) - mean;
                between += ni * off * off;
            }
        }
        const Extended total = n - 1 > 0 ? std::sqrt((within + between) / (n - 1)) : 0;

        WriteBlankLine();
        Section("Capability and Performance Analysis" + SetSuffix(set, several));
        WriteBlankLine();
        const auto line = [&](const char* label, const std::string& value) {
            WriteOutputLine("\t" + PadLeft(label, 16) + value);
        };
        const auto orNone = [&](double v) { return PresentFinite(v) ? F(v) : std::string("None"); };
        line("Mean = ", orNone(mean));
        line("Std Dev = ", F(total));
        line("Std Dev (Est) = ", orNone(sigma));
        line("Total n = ", FormatTrimmedFinite(static_cast<double>(n)));

        const std::vector<double> values = ChartSetValues(set);
        const int column = VarChart.Column;
        SetSpecifications(ColumnLSL(column), ColumnTarget(column), ColumnUSL(column));
        const TSpecLimits specs = SpecLimits;
        if (Inverted(specs)) {
            WriteBlankLine();
            WriteOutputLine(kInvertedSpecs);
            return;
        }
        if (!specs.HasLimit || !specs.SpecsUsable || !PresentFinite(mean)) return;
        const bool estimate = PresentFinite(sigma) && sigma > 0;

        // A set without a sigma estimate has no potential capability; it says so.
        WriteBlankLine();
        SubHeading("Capability Measures (Using Sigma Estimate)");
        if (estimate) {
            line("Cp  = ", F(CapabilityCp(1, sigma, mean)));
            line("Cpk = ", F(CapabilityCpk(1, sigma, mean)));
            if (specs.HasTarget) line("Cpm = ", F(CapabilityCpm(-1, sigma, mean)));
        } else {
            WriteOutputLine("\tNo Sigma Estimate");
        }
        if (estimate) {
            WriteBlankLine();
            SubHeading("Potential Estimated Parts Per Million");
            const auto tail = [&](Extended distance) {
                return static_cast<double>(NormalProbSeries(1, distance / sigma)) * 1e6;
            };
            const double above = specs.HasUSL ? tail(static_cast<Extended>(specs.USL) - mean) : 0;
            const double below = specs.HasLSL ? tail(static_cast<Extended>(mean) - specs.LSL) : 0;
            if (specs.HasUSL)
                WriteOutputLine("\t\tAbove Upper Spec  = " + PadLeft(FormatSignificantGrouped(3, above), 9));
            if (specs.HasLSL)
                WriteOutputLine("\t\tBelow Lower Spec  = " + PadLeft(FormatSignificantGrouped(3, below), 9));
            if (specs.TwoSided)
                WriteOutputLine("\t\tTotal Out of Spec = " +
                                PadLeft(FormatSignificantGrouped(3, above + below), 9));
        }

        WriteBlankLine();
        SubHeading("Performance Measures");
        const int total_n = static_cast<int>(n);
        if (total > 0) {
            line("Pp  = ", F(CapabilityCp(1, total, mean)));
            line("Ppk = ", F(CapabilityCpk(1, total, mean)));
            if (specs.HasTarget) line("Ppm = ", F(CapabilityCpm(total_n, total, mean)));
        } else if (std::isnan(total)) {
            const std::string words(kNotComputable);
            line("Pp  = ", words);
            line("Ppk = ", words);
            if (specs.HasTarget) line("Ppm = ", words);
        } else {
            WriteOutputLine("\tNo Variation Found");
        }
        if (specs.HasTarget && specs.TwoSided)
            line("%Off-Target = ", Percent(std::fabs(static_cast<Extended>(mean) - specs.Target) * 100 /
                                           (static_cast<Extended>(specs.USL) - specs.LSL)));

        WriteBlankLine();
        SubHeading("Actual Observed Nonconforming   Count       ppm");
        const double count = static_cast<double>(values.size());
        const auto counted = [&](const char* label, int k) {
            const double ppm = count > 0 ? k * 1e6 / count : 0;
            WriteOutputLine("\t" + Blanks(7) + label + PadLeft(FormatFixedGrouped(0, k), 10) +
                            PadLeft(FormatSignificantGrouped(3, ppm), 10));
        };
        const auto above = static_cast<int>(
            std::count_if(values.begin(), values.end(), [&](double v) { return v > specs.USL; }));
        const auto below = static_cast<int>(
            std::count_if(values.begin(), values.end(), [&](double v) { return v < specs.LSL; }));
        if (specs.HasUSL) counted("Above Upper Spec  = ", above);
        if (specs.HasLSL) counted("Below Lower Spec  = ", below);
        if (specs.TwoSided) counted("Total Out of Spec = ", above + below);
    }

    void CorrelationSection(int set, bool several) {
        WriteBlankLine();
        Section(std::string(TypeName(s_.LocationChart)) + "/" + TypeName(s_.DispersionChart) +
                " Correlation" + SetSuffix(set, several));
        WriteBlankLine();
        TCorr corr;
        corr.Clear();
        for (int i : PointsOf(set))
            if (PresentFinite(p_(kRowDispersion, i)) && PresentFinite(p_(kRowLocation, i)))
                corr.Add(p_(kRowDispersion, i), p_(kRowLocation, i));
        const Extended r = corr.Count >= 3 ? corr.Calculate() : 0;
        if (corr.Count < 3 || corr.CannotCalculate || !std::isfinite(static_cast<double>(r)))
            WriteOutputLine("\tCorrelation Cannot be Calculated!");
        else
            WriteOutputLine("\tr = " + F(r) + "   p = " + F(corr.P));
    }

    void AnovaSection(int set, bool several) {
        WriteBlankLine();
        Section("Oneway ANOVA" + SetSuffix(set, several));
        WriteBlankLine();
        const std::vector<int> points = PointsOf(set);
        // Sums of squares in Extended: the squares of doubles cannot overflow it.
        Extended n = 0, n2 = 0, sum = 0, dfW = 0, ssW = 0;
        int k = 0;
        for (int i : points) {
            const Extended ni = PresentFinite(p_(kRowN, i)) ? p_(kRowN, i) : 0;
            const double mi = SubgroupMean(i);
            if (ni <= 0 || !PresentFinite(mi)) continue;
            ++k;
            n += ni;
            n2 += ni * ni;
            sum += ni * mi;
            const Extended si = SubgroupSD(i);
            dfW += ni - 1;
            ssW += si * si * (ni - 1);
        }
        const Extended dfB = k - 1;
        if (dfW < 1) {
            WriteOutputLine("\tCannot Perform ANOVA - No Within Variation Found!");
            return;
        }
        if (dfB < 1) {
            WriteOutputLine("\tCannot Perform ANOVA - Single or No Groups Found!");
            return;
        }
        // The weighted grand mean of the subgroups.
        const Extended grand = sum / n;
        Extended ssB = 0;
        for (int i : points) {
            const Extended ni = PresentFinite(p_(kRowN, i)) ? p_(kRowN, i) : 0;
            const double mi = SubgroupMean(i);
            if (ni > 0 && PresentFinite(mi)) ssB += ni * (mi - grand) * (mi - grand);
        }
        const Extended msB = ssB / dfB, msW = ssW / dfW;
        const Extended f = msW > 0 ? msB / msW : 0;
        const Extended p = std::isnan(f) ? f : FProb(1, f, dfB, dfW);
        const Extended n0 = (n - n2 / n) / dfB;
        Extended between = 0, totalVar = 0, icc = 0;
        if (n0 > 0) {
            between = std::max((msB - msW) / n0, Extended(0));
            totalVar = msW + between;
            icc = totalVar > 0 ? between / totalVar : 0;
        }
        const std::string axis = VarChartSettings.AxisLabelColumn > 0
                                     ? ColumnLabel(VarChartSettings.AxisLabelColumn)
                                     : std::string("Point");
        WriteOutputLine(ColumnLabel(VarChart.Column) + " by " + axis);
        WriteBlankLine();
        WriteOutputText("");
        SetUnderlineStyle();
        WriteOutputText(PadLeft("Source", 16) + PadLeft("df", 10) + PadLeft("SS", 12) + PadLeft("MS", 12) +
                        PadLeft("F", 10) + PadLeft("p", 10));
        Body();
        WriteOutputLine("");
        // Whole numbers (the degrees of freedom) keep no decimals; p has the report's decimals and
        // no significance mark.
        const auto whole = [](Extended x) { return PadLeft(FormatFixedFinite(0, x), 10); };
        WriteOutputLine(PadLeft("Between Samples", 16) + whole(dfB) + PadLeft(F(ssB), 12) +
                        PadLeft(F(msB), 12) + PadLeft(F(f), 10) + PadLeft(F(p), 10));
        WriteOutputLine(PadLeft("Within Samples", 16) + whole(dfW) + PadLeft(F(ssW), 12) +
                        PadLeft(F(msW), 12));
        WriteOutputLine(PadLeft("Total", 16) + whole(dfB + dfW) + PadLeft(F(ssB + ssW), 12));
        WriteBlankLine();
        SubHeading("Random Effects Analysis:");
        const auto variance = [&](const char* label, Extended v) {
            WriteOutputLine(std::string(label) + PadRight(F(v), 15) + "Std Dev = " + F(std::sqrt(v)));
        };
        variance(" Sample-to-Sample Variance = ", between);
        variance("    Within-Sample Variance = ", msW);
        variance("            Total Variance = ", totalVar);
        WriteOutputLine("    Intraclass Correlation = " + Percent(100 * icc));
    }

    const TVarChartSettings& s_;
    const TChartArray& p_;
    int d_;
};

} // namespace

std::string ChartPointLabel(int point) {
    if (point < 1 || point > VarChart.Count) return {};
    const int column = VarChartSettings.AxisLabelColumn;
    if (column <= 0) return std::to_string(point);
    const double row = VarChart.Points(kRowPosition, point);
    const TDataTable& table = DataTable();
    if (!PresentFinite(row) || row < 1 || row > table.RowCount() || column > table.ColumnCount()) return {};
    return std::string(table.Cell(column, static_cast<int>(row)));
}

std::string ChartReportHeading() {
    return VarChartTitle(VarChartSettings.LocationChart != kChartNone,
                         VarChartSettings.DispersionChart != kChartNone);
}

void BuildChartReport() {
    if (!CurrentOutputDocument()) return;
    TReportWriter().Write();
}

} // namespace kivspc
