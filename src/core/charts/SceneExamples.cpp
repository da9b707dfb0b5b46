// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/SceneExamples.h"

#include "app/NumberFormat.h"
#include "charts/SceneScales.h"
#include "charts/SceneSteps.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <string>

namespace kivspc {

namespace {

constexpr double kMean = 10, kSigma = 0.5, kLSL = 8.3, kUSL = 11.8;

double Density(double x) {
    const double z = (x - kMean) / kSigma;
    return std::exp(-z * z / 2) / (kSigma * std::sqrt(2 * std::numbers::pi));
}

// The standard normal quantile of the i-th of n evenly spread proportions: values that look like
// a sample from the process, in increasing order.
std::vector<double> SampleValues(int n) {
    std::vector<double> values(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i)
        values[static_cast<std::size_t>(i)] = kMean + kSigma * NormalScalePosition((i + 0.5) / n);
    return values;
}

// The values in the order they were measured: the sorted sample taken with a stride that
// visits every value once.
std::vector<double> InTimeOrder(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    std::size_t stride = 7;
    while (n > 1 && std::gcd(stride, n) != 1)
        stride += 2;
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = sorted[(i * stride + n / 3) % n];
    return values;
}

void AddHistogram(TChartScene& scene, int panel, int bars, int curveVertices, double total) {
    const double lo = kMean - 4 * kSigma, hi = kMean + 4 * kSigma;
    const double width = (hi - lo) / bars;
    double top = 0;
    for (int b = 0; b < bars; ++b) {
        const double x0 = lo + b * width, x1 = x0 + width;
        const double count = std::round(total * width * Density((x0 + x1) / 2));
        top = std::max(top, count);
        scene.Bars.push_back(
            {.Panel = panel,
             .X0 = x0,
             .X1 = x1,
             .Y0 = 0,
             .Y1 = count,
             .Fill = kColorSilver,
             .Outline = kColorBlack,
             .Hover = FormatFixed(3, x0) + " to " + FormatFixed(3, x1) + ": " + FormatTrimmed(count)});
    }
    TLineSeries curve{.Panel = panel,
                      .Name = "Curve",
                      .Hover = "Normal Curve",
                      .Legend = "Normal fit",
                      .Color = kColorBlue,
                      .Width = 2};
    curve.RunsX.emplace_back();
    curve.RunsY.emplace_back();
    for (int i = 0; i < curveVertices; ++i) {
        const double x = lo + (hi - lo) * i / std::max(curveVertices - 1, 1);
        curve.RunsX.back().push_back(x);
        curve.RunsY.back().push_back(total * width * Density(x));
        top = std::max(top, curve.RunsY.back().back());
    }
    scene.Lines.push_back(std::move(curve));
    const auto limit = [&](double at, const char* label, TSceneColor color, TLineStyle style) {
        scene.References.push_back({.Panel = panel,
                                    .Vertical = true,
                                    .Value = at,
                                    .Color = color,
                                    .Width = 2,
                                    .Style = style,
                                    .Label = label,
                                    .Hover = std::string(label) + " = " + FormatTrimmed(at)});
    };
    limit(kLSL, "LSL", kColorRed, TLineStyle::Solid);
    limit(kUSL, "USL", kColorRed, TLineStyle::Solid);
    limit(kMean - 3 * kSigma, "LPL", kColorGreen, TLineStyle::Dash);
    limit(kMean + 3 * kSigma, "UPL", kColorGreen, TLineStyle::Dash);
    scene.Texts.push_back({.Panel = panel,
                           .Anchor = TTextAnchor::TopLeft,
                           .Lines = {"n=" + FormatTrimmed(total)},
                           .Frame = true});
    TScenePanel& p = scene.Panels[static_cast<std::size_t>(panel)];
    p.X = {.Title = "Diameter", .Min = std::min(lo, kLSL) - width, .Max = std::max(hi, kUSL) + width};
    p.Y = {.Title = "Frequency", .Min = 0, .Max = top * 1.15};
}

void AddProbabilityPlot(TChartScene& scene, int panel, int points) {
    const std::vector<double> values = SampleValues(points);
    TPointSeries series{.Panel = panel, .Name = "Values", .Hover = "Value", .Legend = "Data"};
    const bool hovers = points <= 1000;
    for (int i = 0; i < points; ++i) {
        const double p = (i + 1 - 0.375) / (points + 0.25);
        series.X.push_back(values[static_cast<std::size_t>(i)]);
        series.Y.push_back(NormalScalePosition(p));
        if (hovers)
            series.Hovers.push_back(FormatFixed(4, values[static_cast<std::size_t>(i)]) + " at " +
                                    FormatFixed(2, 100 * p) + " %");
    }
    series.Colors.assign(series.X.size(), kColorBlue);
    series.Size = 2;
    // Values of one probability plot come sorted: their x never decreases.
    scene.Points.push_back(std::move(series));
    const double low = NormalScalePosition(0.0005), high = NormalScalePosition(0.9995);
    TLineSeries fit{.Panel = panel, .Name = "Fit", .Hover = "Fitted Normal", .Color = kColorRed, .Width = 2};
    fit.RunsX.push_back({kMean + kSigma * low, kMean + kSigma * high});
    fit.RunsY.push_back({low, high});
    scene.Lines.push_back(std::move(fit));
    TScenePanel& p = scene.Panels[static_cast<std::size_t>(panel)];
    p.X = {.Title = "Diameter", .Min = kMean + kSigma * low, .Max = kMean + kSigma * high};
    p.Y = {.Title = "Percent", .Min = low, .Max = high, .Ticks = ProbabilityPaperTicks(low, high)};
}

} // namespace

TChartScene HistogramExample(int bars, int curveVertices) {
    TChartScene scene;
    scene.TitleLines = {"Histogram: Diameter"};
    scene.Panels.resize(1);
    AddHistogram(scene, 0, std::max(bars, 1), std::max(curveVertices, 2), 1000);
    return scene;
}

TChartScene ProbabilityExample(int points) {
    TChartScene scene;
    scene.TitleLines = {"Normal Probability Plot: Diameter"};
    scene.Panels.resize(1);
    AddProbabilityPlot(scene, 0, std::max(points, 2));
    return scene;
}

TChartScene SixPanelExample(int points) {
    TChartScene scene;
    scene.TitleLines = {"Capability Summary: Diameter"};
    scene.RowWeights = {0.4, 0.3, 0.3};
    scene.ColumnWeights = {0.55, 0.45};
    scene.PanelSpacing = 8;
    const int n = std::max(points, 2);
    const std::vector<double> values = InTimeOrder(SampleValues(n));

    // The control charts: individual values and moving ranges, linked along the positions.
    const TPositions positions = PositionsWithBreaks(n, [](int) { return false; });
    std::vector<std::string> labels;
    for (int i = 1; i <= n; ++i)
        labels.push_back(std::to_string(i));
    TSceneAxis x = PositionAxis(positions, labels, "", 0);
    scene.Panels.push_back({.X = x, .Y = {.Title = "X"}, .Row = 0, .Column = 0, .XLink = 0});
    x.Title = "Point";
    scene.Panels.push_back({.X = x, .Y = {.Title = "MR"}, .Row = 1, .Column = 0, .XLink = 0});
    const double mr = 1.128 * kSigma;
    const auto constant = [&](double v) { return std::vector<double>(static_cast<std::size_t>(n), v); };
    const TControlPens pens = ControlPens(false, 1);
    const std::vector<double> mean = constant(kMean), sigma = constant(kSigma),
                              lcl = constant(kMean - 3 * kSigma), ucl = constant(kMean + 3 * kSigma),
                              mrCentre = constant(mr), mrSigma = constant(0.853 * kSigma),
                              none = constant(kGap), mrUcl = constant(3.267 * mr);
    const TControlHalf individuals{mean, sigma, lcl, ucl};
    const TControlHalf ranges{mrCentre, mrSigma, none, mrUcl};
    AddZones(scene, 0, positions, individuals, false);
    AddLimitLines(
        scene, 0, positions, individuals, pens,
        {"Series_LCL", "Series_CL", "Series_UCL", "Location LCL", "Location Centerline", "Location UCL"});
    AddLimitLines(scene, 1, positions, ranges, pens,
                  {"Series_DLCL", "Series_DCL", "Series_DUCL", "Dispersion LCL", "Dispersion Centerline",
                   "Dispersion UCL"});
    TPointSeries loc{.Panel = 0,
                     .Name = "Series_Loc",
                     .Hover = "Location Statistic",
                     .Role = TSceneRole::LocationStatistic,
                     .X = positions.X,
                     .Y = values};
    TPointSeries disp{.Panel = 1,
                      .Name = "Series_Disp",
                      .Hover = "Dispersion Statistic",
                      .Role = TSceneRole::DispersionStatistic,
                      .X = positions.X};
    disp.Y.push_back(kGap);
    for (int i = 1; i < n; ++i)
        disp.Y.push_back(
            std::fabs(values[static_cast<std::size_t>(i)] - values[static_cast<std::size_t>(i) - 1]));
    for (TPointSeries* s : {&loc, &disp}) {
        s->Colors.assign(static_cast<std::size_t>(n), kColorBlue);
        s->JoinPrevious.assign(static_cast<std::size_t>(n), 1);
        s->JoinPrevious[0] = 0;
        scene.Points.push_back(std::move(*s));
    }
    scene.Panels[0].Y.Min = kMean - 4 * kSigma;
    scene.Panels[0].Y.Max = kMean + 4 * kSigma;
    scene.Panels[1].Y.Min = 0;
    scene.Panels[1].Y.Max = 3.6 * mr;

    // The histogram and the probability plot beside them, each zooming on its own.
    scene.Panels.push_back({.Row = 0, .Column = 1});
    AddHistogram(scene, 2, 12, 120, n);
    scene.Panels.push_back({.Row = 1, .Column = 1});
    AddProbabilityPlot(scene, 3, n);

    // The indices as text, and the capability panel: the process spread against the specifications.
    const auto hidden = [](TSceneAxis axis) {
        axis.Visible = false;
        return axis;
    };
    scene.Panels.push_back({.X = hidden({}), .Y = hidden({}), .Row = 2, .Column = 0});
    // The same sigma within and overall in this example, so the indices agree.
    const double cp = (kUSL - kLSL) / (6 * kSigma);
    const double cpk = std::min(kUSL - kMean, kMean - kLSL) / (3 * kSigma);
    const auto below = [](double z) { return 0.5 * std::erfc(-z / std::numbers::sqrt2); };
    const double ppm = 1e6 * (below((kLSL - kMean) / kSigma) + below((kMean - kUSL) / kSigma));
    const auto row = [](const char* name, const std::string& within, const std::string& overall) {
        std::string line = name;
        line.resize(5, ' ');
        line += within;
        line.resize(14, ' ');
        return line + overall;
    };
    scene.Texts.push_back(
        {.Panel = 4,
         .Anchor = TTextAnchor::TopLeft,
         .Lines = {"     Within   Overall", row("Cp", FormatFixed(2, cp), "Pp  " + FormatFixed(2, cp)),
                   row("Cpk", FormatFixed(2, cpk), "Ppk " + FormatFixed(2, cpk)),
                   row("ppm", FormatFixed(0, ppm), "ppm " + FormatFixed(0, ppm))},
         .Font = TFontRole::Fixed,
         .Frame = true});
    scene.Panels.push_back({.X = {.Title = "Diameter", .Min = kLSL - 0.5, .Max = kUSL + 0.5},
                            .Y = hidden({.Min = 0, .Max = 3}),
                            .Row = 2,
                            .Column = 1});
    scene.Bars.push_back({.Panel = 5,
                          .X0 = kMean - 3 * kSigma,
                          .X1 = kMean + 3 * kSigma,
                          .Y0 = 1.8,
                          .Y1 = 2.4,
                          .Fill = kZoneGreen,
                          .Hover = "Within: mean ± 3 sigma"});
    scene.Bars.push_back({.Panel = 5,
                          .X0 = kMean - 3.2 * kSigma,
                          .X1 = kMean + 3.2 * kSigma,
                          .Y0 = 0.6,
                          .Y1 = 1.2,
                          .Fill = kZoneYellow,
                          .Hover = "Overall: mean ± 3 sigma"});
    scene.References.push_back(
        {.Panel = 5, .Vertical = true, .Value = kLSL, .Color = kColorRed, .Width = 2, .Label = "LSL"});
    scene.References.push_back(
        {.Panel = 5, .Vertical = true, .Value = kUSL, .Color = kColorRed, .Width = 2, .Label = "USL"});
    return scene;
}

} // namespace kivspc
