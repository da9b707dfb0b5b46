// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/SceneSteps.h"

#include "app/MissingValue.h"
#include "app/NumberFormat.h"
#include "app/TextTools.h"

#include <algorithm>
#include <charconv>

namespace kivspc {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
// A value held back to the doubles (infinities and NaN to the largest finite value of their side).
double Finite(Extended v) {
    if (std::isnan(v)) return 0;
    return static_cast<double>(std::clamp<Extended>(v, -kLargest, kLargest));
}

class TZonePainter {
public:
    TZonePainter(TChartScene& scene, int panel, double spacing)
        : scene_(scene), panel_(panel), half_(spacing / 2) {}

    void Add(double x, double cl, double se, double lcl, double ucl, bool joinsPrevious, bool blackAndWhite) {
        previous_.swap(current_);
        current_.clear();
        if (!joinsPrevious) previous_.clear();
        if (!PresentFinite(cl) || !PresentFinite(se) || se <= 0) return;
        // The bands' edges are formed in extended precision and held to the doubles, so that a
        // band reaching past the largest double ends there instead of at infinity.
        const Extended lo = PresentFinite(lcl) ? lcl : -kLargest;
        const Extended hi = PresentFinite(ucl) ? ucl : kLargest;
        const Extended c = cl, e = se;
        const auto band = [&](Extended y0, Extended y1, TSceneColor color) {
            const double a = Finite(std::clamp(y0, lo, hi));
            const double b = Finite(std::clamp(y1, lo, hi));
            if (b > a) Put(x, a, b, color);
        };
        if (blackAndWhite) {
            band(c - 2 * e, c - e, kColorSilver);
            band(c + e, c + 2 * e, kColorSilver);
            return;
        }
        if (PresentFinite(lcl)) band(lcl, c - 2 * e, kZoneRed);
        band(c - 2 * e, c - e, kZoneYellow);
        band(c - e, c + e, kZoneGreen);
        band(c + e, c + 2 * e, kZoneYellow);
        if (PresentFinite(ucl)) band(c + 2 * e, ucl, kZoneRed);
    }

private:
    // Extends the same band of the previous position when nothing separates them.
    void Put(double x, double y0, double y1, TSceneColor color) {
        for (std::size_t i : previous_) {
            TZoneRect& z = scene_.Zones[i];
            if (z.Y0 == y0 && z.Y1 == y1 && z.Color == color) {
                z.X1 = x + half_;
                current_.push_back(i);
                return;
            }
        }
        current_.push_back(scene_.Zones.size());
        scene_.Zones.push_back(
            {.Panel = panel_, .X0 = x - half_, .X1 = x + half_, .Y0 = y0, .Y1 = y1, .Color = color});
    }

    TChartScene& scene_;
    int panel_;
    double half_;
    std::vector<std::size_t> previous_, current_;
};

double SpacingOf(const TChartScene& scene, int panel) {
    return panel >= 0 && panel < static_cast<int>(scene.Panels.size())
               ? scene.Panels[static_cast<std::size_t>(panel)].X.Spacing
               : 1;
}

} // namespace

TPositions PositionsWithBreaks(int count, const std::function<bool(int)>& breakAfter) {
    TPositions positions;
    const auto n = static_cast<std::size_t>(std::max(count, 0));
    positions.X.resize(n);
    positions.BreakBefore.assign(n, 0);
    int extra = 0;
    for (int i = 0; i < count; ++i) {
        positions.X[static_cast<std::size_t>(i)] = i + extra;
        if (i + 1 < count && breakAfter(i)) {
            ++extra;
            positions.BreakBefore[static_cast<std::size_t>(i) + 1] = 1;
        }
    }
    positions.Breaks = extra;
    return positions;
}

TSceneAxis PositionAxis(const TPositions& positions, std::vector<std::string> labels, std::string title,
                        int labelAngle) {
    auto ticks = std::make_shared<TSceneTicks>();
    ticks->At = positions.X;
    ticks->Labels = std::move(labels);
    return {.Kind = TAxisKind::Positions,
            .Title = std::move(title),
            .Min = -0.5,
            .Max = positions.Last() + 0.5,
            .LabelAngle = labelAngle,
            .Ticks = std::move(ticks)};
}

void TValueRange::Add(double v) {
    if (!PresentFinite(v)) return;
    if (!Any) {
        Min = Max = v;
        Any = true;
    } else {
        Min = std::min(Min, v);
        Max = std::max(Max, v);
    }
}

void TValueRange::Extend(double divisor) {
    if (!Any) {
        Min = 0;
        Max = 1;
        return;
    }
    Extended pad = (static_cast<Extended>(Max) - Min) / divisor;
    if (!(pad > 0)) pad = Min != 0 ? std::fabs(static_cast<Extended>(Min)) / divisor : 1;
    Min = Finite(Min - pad);
    Max = Finite(Max + pad);
}

void TValueRange::Settle() {
    Min = Finite(Min);
    Max = Finite(Max);
    if (!(Max > Min)) {
        const Extended pad = std::max<Extended>(1, std::fabs(static_cast<Extended>(Min)) / 20);
        Max = Finite(Max + pad);
        if (!(Max > Min)) Min = Finite(Max - pad);
    }
}

double Drawable(double v) { return PresentFinite(v) ? v : kGap; }

double Offset(double centre, double k, double spread) {
    if (!PresentFinite(centre) || !PresentFinite(spread)) return kGap;
    const Extended v = static_cast<Extended>(centre) + static_cast<Extended>(k) * spread;
    return std::fabs(v) <= kLargest ? static_cast<double>(v) : kGap;
}

TControlPens ControlPens(bool blackAndWhite, double lineThickness) {
    return {.Limit = blackAndWhite ? kColorBlack : kColorRed,
            .Center = blackAndWhite ? kColorBlack : kColorLime,
            .ZoneEdge = blackAndWhite ? kColorSilver : kZoneYellow,
            .Width = lineThickness + 1};
}

void AddStepLine(TChartScene& scene, TLineSeries line, const TPositions& positions,
                 std::span<const double> y) {
    // A break ends the line: the step runs get a gap at the empty position.
    std::vector<double> sx, sy;
    const std::size_t n = std::min(y.size(), positions.Count());
    sx.reserve(n + static_cast<std::size_t>(positions.Breaks));
    sy.reserve(sx.capacity());
    for (std::size_t i = 0; i < n; ++i) {
        if (positions.BreakBefore[i]) {
            sy.push_back(kGap);
            sx.push_back(positions.X[i] - 1);
        }
        sy.push_back(Drawable(y[i]));
        sx.push_back(positions.X[i]);
    }
    AddStepRuns(line, sx, sy, SpacingOf(scene, line.Panel));
    scene.Lines.push_back(std::move(line));
}

void AddZones(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
              bool blackAndWhite) {
    TZonePainter painter(scene, panel, SpacingOf(scene, panel));
    const std::size_t n =
        std::min({positions.Count(), half.CL.size(), half.SE.size(), half.LCL.size(), half.UCL.size()});
    for (std::size_t i = 0; i < n; ++i)
        painter.Add(positions.X[i], Drawable(half.CL[i]), Drawable(half.SE[i]), Drawable(half.LCL[i]),
                    Drawable(half.UCL[i]), i > 0 && !positions.BreakBefore[i], blackAndWhite);
}

void AddZoneEdges(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
                  const TControlPens& pens, const char* upperName, const char* upperHover,
                  const char* lowerName, const char* lowerHover) {
    const std::size_t n = std::min(half.CL.size(), half.SE.size());
    std::vector<double> upper(n), lower(n);
    for (std::size_t i = 0; i < n; ++i) {
        upper[i] = Offset(half.CL[i], 1, half.SE[i]);
        lower[i] = Offset(half.CL[i], -1, half.SE[i]);
    }
    AddStepLine(scene, {.Panel = panel, .Name = upperName, .Hover = upperHover, .Color = pens.ZoneEdge},
                positions, upper);
    AddStepLine(scene, {.Panel = panel, .Name = lowerName, .Hover = lowerHover, .Color = pens.ZoneEdge},
                positions, lower);
}

void AddLimitLines(TChartScene& scene, int panel, const TPositions& positions, const TControlHalf& half,
                   const TControlPens& pens, const TControlHalfNames& names) {
    const auto line = [&](const char* name, const char* hover, TSceneColor color) {
        return TLineSeries{.Panel = panel, .Name = name, .Hover = hover, .Color = color, .Width = pens.Width};
    };
    AddStepLine(scene, line(names.LCL, names.LCLHover, pens.Limit), positions, half.LCL);
    AddStepLine(scene, line(names.CL, names.CLHover, pens.Center), positions, half.CL);
    AddStepLine(scene, line(names.UCL, names.UCLHover, pens.Limit), positions, half.UCL);
}

void AddLineAcross(TChartScene& scene, TLineSeries line, double value) {
    const TSceneAxis& x = scene.Panels[static_cast<std::size_t>(line.Panel)].X;
    line.RunsX.push_back({x.Min, x.Max});
    line.RunsY.push_back({value, value});
    scene.Lines.push_back(std::move(line));
}

void AddCodeMarks(TChartScene& scene, int panel, const TPositions& positions,
                  const std::function<std::string(int)>& codesOf, double arrow) {
    for (std::size_t i = 0; i < positions.Count(); ++i) {
        std::string text = codesOf(static_cast<int>(i));
        if (!text.empty())
            scene.Codes.push_back({.Panel = panel, .X = positions.X[i], .Y = 0, .Text = std::move(text)});
    }
    scene.CodeArrow = arrow;
}

void AddSetSeparators(TChartScene& scene, const TPositions& positions,
                      const std::function<double(int)>& setOf, const std::function<std::string(int)>& labelOf,
                      double width) {
    const int count = static_cast<int>(positions.Count());
    if (count < 2) return;
    scene.Separators.push_back(
        {.Panel = kAllPanels, .X = scene.Panels.front().X.Min, .Label = labelOf(static_cast<int>(setOf(0)))});
    for (int i = 1; i < count; ++i)
        if (setOf(i) != setOf(i - 1))
            scene.Separators.push_back({.Panel = kAllPanels,
                                        .X = (positions.X[static_cast<std::size_t>(i) - 1] +
                                              positions.X[static_cast<std::size_t>(i)]) /
                                             2,
                                        .Label = labelOf(static_cast<int>(setOf(i)))});
    scene.SeparatorWidth = width;
}

void AddLimitInformation(TChartScene& scene, const TLimitInfo& info, std::size_t titleWidth) {
    auto& footer = scene.FooterLines;
    const int w = static_cast<int>(titleWidth);
    const std::string centre = "Centerline [" + info.CL + "] using " + info.CenterlineName + info.OfSet;
    if (!info.Limits) {
        footer.insert(footer.begin(), PadLeft(info.ChartTitle + " Chart ", w + 11) + centre);
        return;
    }
    footer.insert(footer.begin(), PadLeft(info.ChartTitle + " Chart ", w + info.Pad) + "Control Limits [" +
                                      info.UCL + ", " + info.LCL + "] from " + info.Method + info.OfSet);
    footer.insert(footer.begin(), std::string(titleWidth + 11, ' ') + centre);
}

std::string Significant(double v) {
    if (!PresentFinite(v)) return "None";
    if (std::fabs(v) < 1e15) return FormatSignificant(5, v);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 4);
    return std::string(buf, res.ptr);
}

void KeepInsidePanels(TChartScene& scene) {
    const auto yAxis = [&](int panel) -> const TSceneAxis& {
        return scene.Panels[static_cast<std::size_t>(panel)].Y;
    };
    for (TLineSeries& line : scene.Lines) {
        const TSceneAxis& y = yAxis(line.Panel);
        std::vector<std::vector<double>> runsX, runsY;
        for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
            bool open = false;
            for (std::size_t i = 0; i < line.RunsX[r].size() && i < line.RunsY[r].size(); ++i) {
                const double v = line.RunsY[r][i];
                if (!(v >= y.Min && v <= y.Max)) {
                    open = false;
                    continue;
                }
                if (!open) {
                    runsX.emplace_back();
                    runsY.emplace_back();
                    open = true;
                }
                runsX.back().push_back(line.RunsX[r][i]);
                runsY.back().push_back(v);
            }
        }
        // A lone vertex draws nothing.
        for (std::size_t r = runsX.size(); r-- > 0;)
            if (runsX[r].size() < 2) {
                runsX.erase(runsX.begin() + static_cast<std::ptrdiff_t>(r));
                runsY.erase(runsY.begin() + static_cast<std::ptrdiff_t>(r));
            }
        line.RunsX = std::move(runsX);
        line.RunsY = std::move(runsY);
    }
    std::size_t kept = 0;
    for (TZoneRect z : scene.Zones) {
        const TSceneAxis& y = yAxis(z.Panel);
        z.Y0 = std::clamp(z.Y0, y.Min, y.Max);
        z.Y1 = std::clamp(z.Y1, y.Min, y.Max);
        if (z.Y1 > z.Y0) scene.Zones[kept++] = z;
    }
    scene.Zones.resize(kept);
    for (TTextMark& code : scene.Codes)
        code.Y = yAxis(code.Panel).Max;
}

} // namespace kivspc
