// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilityGraphs.h"

#include "app/NumberFormat.h"
#include "app/TextTools.h"
#include "charts/SceneScales.h"
#include "charts/SceneSteps.h"
#include "data/DataList.h"
#include "data/Extract.h"
#include "stats/Capability.h"
#include "stats/Descriptive.h"
#include "stats/Distributions.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kivspc {

double NiceInterval(double span, double k, bool useGap) {
    const int n = SampleN;
    if (n <= 1 || SampleStats.Range == 0 || !(span > 0) || !(k > 0)) return 1;
    double f = span / k;
    if (useGap) {
        double gap = 1e38;
        for (int i = 2; i <= n; ++i) {
            const double d = SampleX[static_cast<std::size_t>(i)] - SampleX[static_cast<std::size_t>(i) - 1];
            if (d > 0 && d < gap) gap = d;
        }
        if (f < gap) f = gap;
    }
    if (!std::isfinite(f) || !(f > 0)) return 1;
    const double l = static_cast<double>(Log10(f));
    int e = l < 0   ? static_cast<int>(std::trunc(std::fabs(l) + 1))
            : l > 0 ? -static_cast<int>(std::trunc(l))
                    : 0;
    e += 1;
    if (e < -20) e = 0;
    const double scale = std::pow(10.0, e);
    const double m = std::round(f * scale);
    const double base = m < 15 ? 10 : m < 27 ? 20 : m < 42 ? 30 : m < 75 ? 50 : 100;
    return base / scale;
}

double FirstMidpoint(double lo, double w) {
    if (SampleN == 1 || !(w > 0)) return lo;
    const double sign = lo > 0 ? 1 : lo < 0 ? -1 : 0;
    return w * std::trunc((lo + sign * w / 2) / w);
}

std::string ShortNumber(double x) {
    if (!std::isfinite(x)) return std::string(kNotComputable);
    if (std::fabs(x) >= 1e15) return FormatTrimmedFinite(x);
    std::string text = FormatFixed(9, x);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

namespace {

struct TColors {
    TSceneColor Bars, Polygon, Curve, Specs, Limits, Title, Points;
};

TColors Colors(bool bw) {
    if (bw)
        return {kColorSilver, kColorBlack, kColorBlack, kColorBlack, kColorBlack, kColorBlack, kColorBlack};
    return {kColorLime, kColorLime, kColorRed, kColorRed, kColorBlack, kColorBlue, kColorBlue};
}

bool FitUsable() { return DistKind > kDistNone && FitState.FitFailed == kFitUsable; }

// The table and a sorted sample with its statistics, as both graphs start.
bool Prepare(TCapabilityAnalysis& a, TGraphResult& r) {
    if (a.Groups.empty()) return false;
    r.Table = BuildStatisticsTable(a);
    if (SampleN <= 0) return false;
    OrderStatistics();
    MeanAndStdDev();
    return true;
}

std::string MeasureTitle(const TCapabilityAnalysis& a) {
    if (a.Config.MeasureCount == 1 && !a.Config.MeasureColumns.empty())
        return ColumnLabel(a.Config.MeasureColumns.front());
    return a.Run.MeasureLabel.empty() ? std::string("Value") : a.Run.MeasureLabel;
}

void Footer(const TGraphOptions& o, TChartScene& scene) {
    if (!o.AddModifications) return;
    TSelectionSummary summary;
    if (!SelectionSummary(summary) || summary.Inline.empty()) return;
    std::string text = summary.Inline;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    scene.FooterLines.push_back(text);
}

void Reference(TChartScene& scene, double at, const std::string& label, TSceneColor color, TLineStyle style,
               int panel = 0) {
    if (!std::isfinite(at)) return;
    scene.References.push_back({.Panel = panel,
                                .Vertical = true,
                                .Value = at,
                                .Color = color,
                                .Width = 2,
                                .Style = style,
                                .Label = label,
                                .Hover = label + " = " + FormatTrimmedFinite(at)});
}

// The tolerance lines (each limit present) and the process limits (the mean, and LPL and UPL
// of a usable fit); lo and hi widened to hold the lines drawn.
void LimitLines(const TGraphOptions& o, const TColors& c, TChartScene& scene, double& lo, double& hi) {
    const auto widen = [&](double x) {
        if (!std::isfinite(x)) return;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    };
    const TSpecLimits& spec = SpecLimits;
    if (o.Specifications) {
        if (spec.HasLSL) Reference(scene, spec.LSL, "LSL", c.Specs, TLineStyle::Solid);
        if (spec.HasUSL) Reference(scene, spec.USL, "USL", c.Specs, TLineStyle::Solid);
        if (spec.HasTarget) Reference(scene, spec.Target, "Target", c.Specs, TLineStyle::Dot);
        if (spec.HasLSL) widen(spec.LSL);
        if (spec.HasUSL) widen(spec.USL);
        if (spec.HasTarget) widen(spec.Target);
    }
    if (o.ProcessLimits) {
        Reference(scene, static_cast<double>(SampleStats.Mean), "Mean", c.Limits, TLineStyle::Dash);
        if (FitUsable()) {
            Reference(scene, FitState.LPL, "LPL", c.Limits, TLineStyle::Dash);
            Reference(scene, FitState.UPL, "UPL", c.Limits, TLineStyle::Dash);
            widen(FitState.LPL);
            widen(FitState.UPL);
        }
    }
}

// The runs of a line cut to y in [lo, hi]: a segment that leaves the range ends at the crossing
// and one that comes back starts there, so a curve reaches the panel's edge and no further
// whatever the output clips (some vector formats clip nothing).
void ClipToY(TLineSeries& line, double lo, double hi) {
    std::vector<std::vector<double>> runsX, runsY;
    const auto inside = [&](double y) { return y >= lo && y <= hi; };
    for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
        const auto& xs = line.RunsX[r];
        const auto& ys = line.RunsY[r];
        bool open = false;
        for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
            const double x = xs[i], y = ys[i];
            const bool in = inside(y);
            if (i > 0 && !IsGap(y) && !IsGap(ys[i - 1]) && in != inside(ys[i - 1])) {
                // The crossing of the edge between the previous vertex and this one.
                const double y0 = ys[i - 1], edge = (in ? y0 : y) > hi ? hi : lo;
                const double t = (edge - y0) / (y - y0);
                const double cx = xs[i - 1] + t * (x - xs[i - 1]);
                if (!open) {
                    runsX.emplace_back();
                    runsY.emplace_back();
                    open = true;
                }
                runsX.back().push_back(cx);
                runsY.back().push_back(edge);
                if (!in) open = false;
            }
            if (!in) {
                open = false;
                continue;
            }
            if (!open) {
                runsX.emplace_back();
                runsY.emplace_back();
                open = true;
            }
            runsX.back().push_back(x);
            runsY.back().push_back(y);
        }
    }
    for (std::size_t r = runsX.size(); r-- > 0;)
        if (runsX[r].size() < 2) {
            runsX.erase(runsX.begin() + static_cast<std::ptrdiff_t>(r));
            runsY.erase(runsY.begin() + static_cast<std::ptrdiff_t>(r));
        }
    line.RunsX = std::move(runsX);
    line.RunsY = std::move(runsY);
}

// A typed number of an edit box: empty when the text is not one.
bool TypedNumber(const std::string& text, double& value) {
    const std::string trimmed = TrimBlanks(text);
    return !trimmed.empty() && ConvertNumber(trimmed, value) && std::isfinite(value);
}

// The bounds where the fitted density jumps from 0 (a vertical rise is drawn there).
void DensityJumps(std::vector<double>& rises, std::vector<double>& drops) {
    switch (DistKind) {
    case kDistExponential0:
    case kDistExponentialLow: rises.push_back(static_cast<double>(FitState.Threshold)); break;
    case kDistWeibull:
        if (FitState.WeibullMode == 0) rises.push_back(0);
        break;
    case kDistUniform:
        rises.push_back(static_cast<double>(FitState.Threshold));
        drops.push_back(static_cast<double>(FitState.FitMax));
        break;
    default: break;
    }
}

} // namespace

TGraphResult DrawHistogram(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene) {
    scene = TChartScene{};
    TGraphResult r;
    if (Prepare(a, r)) DescribeHistogram(a, o, scene, r);
    return r;
}

void DescribeHistogram(const TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene,
                       TGraphResult& r) {
    scene = TChartScene{};
    if (SampleN <= 0) return;
    const TColors c = Colors(o.BlackAndWhite);
    const int n = SampleN;
    const TSampleStats& st = SampleStats;
    const double s = o.Relative ? 1.0 / n : 1.0;
    double lo = o.ConstantX ? a.OverallMin : st.Minimum;
    double hi = o.ConstantX ? a.OverallMax : st.Maximum;
    if (o.Specifications) {
        const TSpecLimits& spec = SpecLimits;
        for (const auto& [has, at] :
             {std::pair{spec.HasLSL, spec.LSL}, std::pair{spec.HasTarget, spec.Target},
              std::pair{spec.HasUSL, spec.USL}})
            if (has && std::isfinite(at)) {
                lo = std::min(lo, at);
                hi = std::max(hi, at);
            }
    }

    // The class width: typed, or a nice one for about ten to twenty classes.
    double w = 0;
    if (o.IntervalChecked) {
        double typed = 0;
        if (!TypedNumber(o.IntervalText, typed) || typed < 0)
            r.Problem = "Interval Size Not Valid!";
        else if (typed > 0 && (hi - lo) / typed > kMaxHistogramClasses)
            r.Problem = "Interval Size Too Small: more than " + FormatFixedGrouped(0, kMaxHistogramClasses) +
                        " classes";
        else if (typed > 0)
            w = typed;
        if (w > 0) r.SizeUsed = "Size Used: (" + TrimBlanks(o.IntervalText) + ")";
    }
    if (!(w > 0)) {
        w = NiceInterval(hi - lo, std::min(20.0, n / 100.0 + 10), true);
        r.SizeUsed = "Size Used: (" + ShortNumber(w) + ")";
    }
    const double eps = w / 10000;

    // The first class's midpoint: typed (moved down by whole classes until its class reaches the
    // lowest value), or the multiple of the width nearest to the lowest value.
    double m0 = FirstMidpoint(lo, w);
    if (o.FirstChecked) {
        double typed = 0;
        if (!TypedNumber(o.FirstText, typed)) {
            r.Problem = "First Midpoint Not Valid!";
        } else {
            if (lo < typed - w / 2 + eps) typed -= std::ceil((typed - w / 2 + eps - lo) / w) * w;
            for (int guard = 0; guard < 4 && lo < typed - w / 2 + eps; ++guard)
                typed -= w;
            if ((hi - typed) / w > kMaxHistogramClasses)
                r.Problem = "First Midpoint Too Far Below the Values";
            else
                m0 = typed;
        }
    }
    r.FirstUsed = "First Used: (" + ShortNumber(m0) + ")";

    // Counting along the sorted values: class i takes every value below its upper boundary.
    const double classes = std::round((hi + w - (m0 - w / 2)) / w) + 1;
    const int k = static_cast<int>(std::clamp(classes, 2.0, kMaxHistogramClasses + 2.0));
    std::vector<int> counts(static_cast<std::size_t>(k), 0);
    int i = 1;
    for (int v = 1; v <= n; ++v) {
        const double x = SampleX[static_cast<std::size_t>(v)];
        while (i < k - 1 && !(x < m0 + (i - 1) * w + w / 2 + eps))
            ++i;
        ++counts[static_cast<std::size_t>(i)];
    }
    int tallest = 1;
    for (int j = 1; j < k; ++j)
        if (counts[static_cast<std::size_t>(j)] > counts[static_cast<std::size_t>(tallest)]) tallest = j;
    double top = counts[static_cast<std::size_t>(tallest)];
    const bool curve = FitUsable() && st.StdDev > 0;
    if (curve) {
        const double expected = static_cast<double>(FittedDensity(m0 + (tallest - 1) * w)) * n * w;
        if (std::isfinite(expected) && top < expected) top = std::round(expected);
    }

    scene.TitleLines = {(o.Polygon ? "Frequency Polygon: " : "Histogram: ") + a.AnalysisLabel};
    scene.TextColor = c.Title;
    Footer(o, scene);
    scene.Panels.resize(1);

    // The classes: bars of the full width, or the vertices of the polygon.
    int drawn = 0;
    TLineSeries polygon{.Panel = 0, .Name = "Polygon", .Hover = "Frequency", .Color = c.Polygon, .Width = 2};
    polygon.RunsX.emplace_back();
    polygon.RunsY.emplace_back();
    if (o.Polygon) {
        polygon.RunsX.back().push_back(m0 - w);
        polygon.RunsY.back().push_back(0);
    }
    for (int j = 1; j < k; ++j) {
        const double x = m0 + (j - 1) * w;
        const double height = counts[static_cast<std::size_t>(j)] * s;
        const std::string hover = ShortNumber(x - w / 2) + " to " + ShortNumber(x + w / 2) + ": " +
                                  std::to_string(counts[static_cast<std::size_t>(j)]);
        if (o.Polygon) {
            polygon.RunsX.back().push_back(x);
            polygon.RunsY.back().push_back(height);
        } else if (height > 0) {
            scene.Bars.push_back({.Panel = 0,
                                  .X0 = x - w / 2,
                                  .X1 = x + w / 2,
                                  .Y0 = 0,
                                  .Y1 = height,
                                  .Fill = c.Bars,
                                  .Hover = hover});
        }
        drawn = j;
        if (!(x + w <= hi + w / 2)) break;
    }
    const double next = m0 + drawn * w;
    if (o.Polygon) {
        polygon.RunsX.back().push_back(next);
        polygon.RunsY.back().push_back(0);
        scene.Lines.push_back(std::move(polygon));
    }
    double axisMin = m0 - w, axisMax = next;

    double yMax = 1.2 * top * s;
    if (curve) {
        // The axis reaches the process limits, by whole classes (at most a hundred on each side).
        for (int step = 0; step < 100 && axisMin > FitState.LPL; ++step)
            axisMin -= w;
        for (int step = 0; step < 100 && axisMax < FitState.UPL; ++step)
            axisMax += w;
        const double sd = static_cast<double>(st.StdDev);
        const double dx = std::max(sd / 100, (axisMax - axisMin) / 5000);
        std::vector<double> rises, drops;
        DensityJumps(rises, drops);
        const double scale = n * w * s;
        TLineSeries fitted{.Panel = 0,
                           .Name = "Curve",
                           .Hover = std::string(DistKindName(DistKind)) + " fit",
                           .Color = c.Curve,
                           .Width = 2};
        std::vector<double> xs, ys;
        const auto add = [&](double x, double y) {
            xs.push_back(x);
            ys.push_back(y);
        };
        double highest = 0;
        const int vertices = static_cast<int>(std::ceil((axisMax - axisMin) / dx));
        for (int step = 0; step <= vertices; ++step) {
            const double x = std::min(axisMin + step * dx, axisMax);
            for (double b : rises)
                if (!xs.empty() && xs.back() < b && b <= x) {
                    add(b, 0);
                    add(b, static_cast<double>(FittedDensity(b + 1e-12 * (1 + std::fabs(b)))) * scale);
                }
            for (double b : drops)
                if (!xs.empty() && xs.back() < b && b < x) {
                    add(b, static_cast<double>(FittedDensity(b)) * scale);
                    add(b, 0);
                }
            add(x, static_cast<double>(FittedDensity(x)) * scale);
        }
        for (double y : ys)
            highest = std::max(highest, y);
        // A pole at the curve's threshold does not flatten the bars: the axis stops at three
        // times their headroom and the curve leaves through the top.
        yMax = std::max(yMax, std::min(1.05 * highest, 3 * yMax));
        fitted.RunsX.push_back(std::move(xs));
        fitted.RunsY.push_back(std::move(ys));
        scene.Lines.push_back(std::move(fitted));
    }
    LimitLines(o, c, scene, axisMin, axisMax);
    scene.Texts.push_back(
        {.Panel = 0, .Anchor = TTextAnchor::TopLeft, .Lines = {"n=" + std::to_string(n)}, .Frame = true});

    TScenePanel& p = scene.Panels[0];
    p.X = {.Title = MeasureTitle(a), .Min = axisMin, .Max = axisMax};
    // Ticks at the class midpoints while they fit; at every second, fifth ... beyond.
    const double count = (axisMax - axisMin) / w;
    if (count <= 400) {
        const int every = count <= 20 ? 1 : count <= 40 ? 2 : count <= 100 ? 5 : 20;
        auto ticks = std::make_shared<TSceneTicks>();
        for (int t = 0; axisMin + t * w <= axisMax + eps; t += every) {
            const double at = axisMin + t * w;
            ticks->At.push_back(at);
            ticks->Labels.push_back(ShortNumber(std::fabs(at) < eps ? 0 : at));
        }
        p.X.Ticks = std::move(ticks);
    }
    p.Y = {.Title = o.Relative ? "Relative Frequency" : "Frequency",
           .Min = 0,
           .Max = yMax > 0 ? yMax : 1,
           .Decimals = o.Relative ? 3 : -1};
    for (TLineSeries& line : scene.Lines)
        ClipToY(line, p.Y.Min, p.Y.Max);
    r.AxisMin = axisMin;
    r.AxisMax = axisMax;
    r.AxisStep = w;
}

TGraphResult DrawProbabilityPlot(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene) {
    scene = TChartScene{};
    TGraphResult r;
    if (Prepare(a, r)) DescribeProbabilityPlot(a, o, scene);
    return r;
}

void DescribeProbabilityPlot(const TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene) {
    scene = TChartScene{};
    if (SampleN <= 0) return;
    const TColors c = Colors(o.BlackAndWhite);
    const int n = SampleN;
    const TSampleStats& st = SampleStats;
    const bool usable = FitUsable();
    const bool linear = o.Linear && usable;
    const bool paper = o.ProbabilityPaper && !linear;
    const std::string measure = MeasureTitle(a);

    scene.TitleLines = {"Probability Plot: " + a.AnalysisLabel};
    if (DistKind > kDistNone) scene.TitleLines.push_back(DistKindName(DistKind));
    scene.TextColor = c.Title;
    Footer(o, scene);
    scene.Panels.resize(1);

    double lo = st.Minimum, hi = st.Maximum;
    if (usable) {
        lo = std::min(lo, FitState.LPL);
        hi = std::max(hi, FitState.UPL);
    }
    LimitLines(o, c, scene, lo, hi);

    // The ordered values against their median ranks, or against what the model predicts there.
    const auto rank = [n](int i) { return (i - 0.3) / (n + 0.4); };
    const auto position = [&](double p) -> double {
        if (linear) return static_cast<double>(FittedQuantile(p));
        return paper ? NormalScalePosition(p) : p;
    };
    TPointSeries points{.Panel = 0, .Name = "Values", .Hover = "Value"};
    points.X.reserve(static_cast<std::size_t>(n));
    points.Y.reserve(static_cast<std::size_t>(n));
    const bool hovers = n <= 1000;
    for (int i = 1; i <= n; ++i) {
        const double x = SampleX[static_cast<std::size_t>(i)];
        points.X.push_back(x);
        points.Y.push_back(position(rank(i)));
        if (hovers)
            points.Hovers.push_back(ShortNumber(x) + " at " + FormatFixed(2, 100 * rank(i)) + " %" +
                                    (linear ? ", predicted " + FormatFixedFinite(4, points.Y.back()) : ""));
    }
    points.Colors.assign(points.X.size(), c.Points);
    points.Size = std::clamp(o.PointSize, 1.0, 25.0) / 2;
    scene.Points.push_back(std::move(points));

    if (usable && st.StdDev > 0) {
        TLineSeries fitted{.Panel = 0,
                           .Name = "Curve",
                           .Hover = std::string(DistKindName(DistKind)) + " fit",
                           .Color = c.Curve,
                           .Width = 2};
        std::vector<double> xs, ys;
        if (linear) {
            xs = {lo, hi};
            ys = {lo, hi};
        } else {
            for (int step = 0; step <= 1000; ++step) {
                const double x = lo + step * (hi - lo) / 1000;
                const auto p = static_cast<double>(FittedCDF(x));
                xs.push_back(x);
                ys.push_back(paper ? (p > 0 && p < 1 ? NormalScalePosition(p) : kGap) : p);
            }
        }
        fitted.RunsX.push_back(std::move(xs));
        fitted.RunsY.push_back(std::move(ys));
        scene.Lines.push_back(std::move(fitted));
    }
    scene.Texts.push_back(
        {.Panel = 0, .Anchor = TTextAnchor::TopLeft, .Lines = {"n=" + std::to_string(n)}, .Frame = true});

    TScenePanel& p = scene.Panels[0];
    const double margin = hi > lo ? (hi - lo) / 20 : std::max(std::fabs(lo) / 20, 0.5);
    p.X = {.Title = measure, .Min = lo - margin, .Max = hi + margin};
    if (linear) {
        const double first = std::min(lo, static_cast<double>(FittedQuantile(rank(1))));
        const double last = std::max(hi, static_cast<double>(FittedQuantile(rank(n))));
        const double pad = last > first ? (last - first) / 20 : 0.5;
        p.Y = {.Title = "Predicted " + measure, .Min = first - pad, .Max = last + pad};
    } else if (paper) {
        const double low = NormalScalePosition(std::min(rank(1), 0.001)) - 0.1;
        const double high = NormalScalePosition(std::max(rank(n), 0.999)) + 0.1;
        p.Y = {.Title = "Percent", .Min = low, .Max = high, .Ticks = ProbabilityPaperTicks(low, high)};
    } else {
        p.Y = {.Title = "Proportion", .Min = 0, .Max = 1.05, .Decimals = 2};
    }
    for (TLineSeries& line : scene.Lines)
        ClipToY(line, p.Y.Min, p.Y.Max);
}

namespace {

// Moves the elements of a one-panel scene into panel `panel` of `page` (its panel settings into
// the page's panel).
void AddAsPanel(TChartScene& page, TChartScene&& part, int panel, int row, int column) {
    TScenePanel p = part.Panels.empty() ? TScenePanel{} : part.Panels.front();
    p.Row = row;
    p.Column = column;
    page.Panels[static_cast<std::size_t>(panel)] = p;
    const auto move = [panel](auto& from, auto& to) {
        for (auto& element : from) {
            element.Panel = panel;
            to.push_back(std::move(element));
        }
    };
    move(part.Bars, page.Bars);
    move(part.Lines, page.Lines);
    move(part.References, page.References);
    move(part.Points, page.Points);
    move(part.Texts, page.Texts);
}

// Expected share beyond the tolerance limits of a normal process of the mean and sigma, in ppm.
std::string ExpectedPpm(double mean, double sigma) {
    const TSpecLimits& spec = SpecLimits;
    if (!(sigma > 0) || !std::isfinite(sigma)) return std::string(kNotComputable);
    const auto below = [](double z) { return 0.5 * std::erfc(-z / std::numbers::sqrt2); };
    double p = 0;
    if (spec.HasLSL) p += below((spec.LSL - mean) / sigma);
    if (spec.HasUSL) p += below((mean - spec.USL) / sigma);
    return FormatFixedFinite(0, 1e6 * p);
}

std::string IndexText(double index, double sigma) {
    return sigma > 0 && std::isfinite(sigma) && std::isfinite(index) ? FormatFixed(2, index)
                                                                     : std::string(kNotComputable);
}

} // namespace

TGraphResult DrawCapabilitySummary(TCapabilityAnalysis& a, const TGraphOptions& o, TChartScene& scene) {
    scene = TChartScene{};
    TGraphResult r;
    if (a.Groups.empty()) return r;
    // The values in data order for the control charts, before the table sorts them.
    SelectCurrentData(a);
    const std::vector<double> ordered(SampleX.begin() + 1, SampleX.begin() + std::max(SampleN, 0) + 1);
    if (!Prepare(a, r)) return r;
    const TColors c = Colors(o.BlackAndWhite);
    const TSampleStats& st = SampleStats;
    const double mean = static_cast<double>(st.Mean), overall = static_cast<double>(st.StdDev);
    const int n = static_cast<int>(ordered.size());

    scene.TitleLines = {"Capability Summary: " + a.AnalysisLabel};
    if (DistKind > kDistNone) scene.TitleLines.push_back(DistKindName(DistKind));
    scene.TextColor = c.Title;
    Footer(o, scene);
    scene.RowWeights = {0.4, 0.33, 0.27};
    scene.ColumnWeights = {0.55, 0.45};
    scene.PanelSpacing = 8;
    scene.Panels.resize(6);

    // Individual values and moving ranges, linked along their positions.
    double mrSum = 0;
    std::vector<double> ranges(static_cast<std::size_t>(n), kGap);
    for (int i = 1; i < n; ++i) {
        ranges[static_cast<std::size_t>(i)] =
            std::fabs(ordered[static_cast<std::size_t>(i)] - ordered[static_cast<std::size_t>(i) - 1]);
        mrSum += ranges[static_cast<std::size_t>(i)];
    }
    const double mrBar = n > 1 ? mrSum / (n - 1) : 0;
    const double within = NotMissing(a.PotentialSigma) ? a.PotentialSigma : mrBar / 1.128;
    const TPositions positions = PositionsWithBreaks(n, [](int) { return false; });
    std::vector<std::string> labels;
    for (int i = 1; i <= n; ++i)
        labels.push_back(std::to_string(i));
    TSceneAxis x = PositionAxis(positions, labels, "", 0);
    const std::string measure = MeasureTitle(a);
    scene.Panels[0] = {.X = x, .Y = {.Title = "Individual Value"}, .Row = 0, .Column = 0, .XLink = 0};
    x.Title = "Observation";
    scene.Panels[1] = {.X = x, .Y = {.Title = "Moving Range"}, .Row = 1, .Column = 0, .XLink = 0};
    const auto constant = [n](double v) { return std::vector<double>(static_cast<std::size_t>(n), v); };
    const double sigmaMR = mrBar / 1.128;
    const std::vector<double> cl = constant(mean), se = constant(sigmaMR), lcl = constant(mean - 3 * sigmaMR),
                              ucl = constant(mean + 3 * sigmaMR), mrCl = constant(mrBar),
                              mrSe = constant(0.853 * sigmaMR), none = constant(kGap),
                              mrUcl = constant(3.267 * mrBar);
    const TControlPens pens = ControlPens(o.BlackAndWhite, 1);
    AddLimitLines(scene, 0, positions, {cl, se, lcl, ucl}, pens,
                  {"Series_LCL", "Series_CL", "Series_UCL", "LCL", "Mean", "UCL"});
    AddLimitLines(scene, 1, positions, {mrCl, mrSe, none, mrUcl}, pens,
                  {"Series_DLCL", "Series_DCL", "Series_DUCL", "LCL", "Average Moving Range", "UCL"});
    TPointSeries values{.Panel = 0, .Name = "Series_Loc", .Hover = "Value", .X = positions.X, .Y = ordered};
    TPointSeries moving{
        .Panel = 1, .Name = "Series_Disp", .Hover = "Moving Range", .X = positions.X, .Y = ranges};
    for (TPointSeries* series : {&values, &moving}) {
        series->Colors.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const double y = series->Y[static_cast<std::size_t>(i)];
            const bool out = series == &values ? (y > ucl[0] || y < lcl[0]) : (!IsGap(y) && y > mrUcl[0]);
            series->Colors[static_cast<std::size_t>(i)] = out && !o.BlackAndWhite ? kColorRed : c.Points;
        }
        series->JoinPrevious.assign(static_cast<std::size_t>(n), n <= 2000 ? 1 : 0);
        if (n > 0) series->JoinPrevious[0] = 0;
        series->Size = n <= 200 ? 3 : 1.5;
        scene.Points.push_back(std::move(*series));
    }
    TValueRange location;
    for (double v : ordered)
        location.Add(v);
    for (double v : {lcl[0], ucl[0]})
        location.Add(v);
    location.Extend(20);
    location.Settle();
    scene.Panels[0].Y.Min = location.Min;
    scene.Panels[0].Y.Max = location.Max;
    double mrTop = n > 1 ? mrUcl[0] : 0;
    for (double v : ranges)
        if (!IsGap(v)) mrTop = std::max(mrTop, v);
    scene.Panels[1].Y.Min = 0;
    scene.Panels[1].Y.Max = 1.1 * mrTop;
    if (!(scene.Panels[1].Y.Max > 0) || !std::isfinite(scene.Panels[1].Y.Max)) scene.Panels[1].Y.Max = 1;

    // The histogram and the probability plot of the same values.
    TGraphOptions graphs = o;
    graphs.Polygon = false;
    graphs.Linear = false;
    graphs.ProbabilityPaper = true;
    graphs.AddModifications = false;
    TChartScene part;
    TGraphResult histogram;
    DescribeHistogram(a, graphs, part, histogram);
    AddAsPanel(scene, std::move(part), 2, 0, 1);
    scene.Panels[2].X.Title = measure;
    TChartScene plot;
    DescribeProbabilityPlot(a, graphs, plot);
    AddAsPanel(scene, std::move(plot), 3, 1, 1);
    r.SizeUsed = histogram.SizeUsed;
    r.FirstUsed = histogram.FirstUsed;

    // The indices, within and overall, as a text panel.
    const auto hidden = [](TSceneAxis axis) {
        axis.Visible = false;
        return axis;
    };
    scene.Panels[4] = {.X = hidden({}), .Y = hidden({}), .Row = 2, .Column = 0};
    const TSpecLimits& spec = SpecLimits;
    std::vector<std::string> lines;
    const auto row = [](const std::string& name, const std::string& w, const std::string& name2,
                        const std::string& v) {
        std::string line = name;
        line.resize(6, ' ');
        line += w;
        line.resize(16, ' ');
        line += name2;
        line.resize(22, ' ');
        return line + v;
    };
    lines.push_back("Sigma within " + FormatFixedFinite(4, within) + "   overall " +
                    FormatFixedFinite(4, overall));
    if (spec.HasLimit) {
        const auto cp = [&](double sigma) { return static_cast<double>(CapabilityCp(1, sigma, mean)); };
        const auto cpk = [&](double sigma) { return static_cast<double>(CapabilityCpk(1, sigma, mean)); };
        lines.push_back(row("Cp", IndexText(cp(within), within), "Pp", IndexText(cp(overall), overall)));
        lines.push_back(row("Cpk", IndexText(cpk(within), within), "Ppk", IndexText(cpk(overall), overall)));
        lines.push_back(row("ppm", ExpectedPpm(mean, within), "ppm", ExpectedPpm(mean, overall)));
    } else {
        lines.push_back("No tolerance limits: no indices");
    }
    scene.Texts.push_back({.Panel = 4,
                           .Anchor = TTextAnchor::TopLeft,
                           .Lines = lines,
                           .Font = TFontRole::Fixed,
                           .Frame = true});

    // The process spreads (mean ± 3 sigma within and overall) against the tolerance limits.
    double lo = mean - 3 * std::max(within, overall), hi = mean + 3 * std::max(within, overall);
    for (const auto& [has, at] : {std::pair{spec.HasLSL, spec.LSL}, std::pair{spec.HasUSL, spec.USL}})
        if (has) {
            lo = std::min(lo, at);
            hi = std::max(hi, at);
        }
    const double pad = hi > lo ? (hi - lo) / 10 : 1;
    scene.Panels[5] = {.X = {.Title = measure, .Min = lo - pad, .Max = hi + pad},
                       .Y = hidden({.Min = 0, .Max = 3.8}),
                       .Row = 2,
                       .Column = 1};
    const auto spread = [&](double sigma, double y0, TSceneColor fill, const std::string& what) {
        if (!(sigma > 0) || !std::isfinite(sigma)) return;
        scene.Bars.push_back({.Panel = 5,
                              .X0 = mean - 3 * sigma,
                              .X1 = mean + 3 * sigma,
                              .Y0 = y0,
                              .Y1 = y0 + 0.6,
                              .Fill = o.BlackAndWhite ? kColorSilver : fill,
                              .Hover = what + ": mean ± 3 sigma, " + ShortNumber(mean - 3 * sigma) + " to " +
                                       ShortNumber(mean + 3 * sigma)});
    };
    spread(within, 1.8, kZoneGreen, "Within");
    spread(overall, 0.6, kZoneYellow, "Overall");
    scene.Texts.push_back({.Panel = 5,
                           .Anchor = TTextAnchor::TopLeft,
                           .Lines = {o.BlackAndWhite ? "Upper bar: within   Lower bar: overall"
                                                     : "Green: within   Yellow: overall"},
                           .Font = TFontRole::Small});
    if (spec.HasLSL) Reference(scene, spec.LSL, "LSL", c.Specs, TLineStyle::Solid, 5);
    if (spec.HasUSL) Reference(scene, spec.USL, "USL", c.Specs, TLineStyle::Solid, 5);
    return r;
}

} // namespace kivspc
