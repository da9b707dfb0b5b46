// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/SceneDump.h"

#include <charconv>
#include <cstdio>

namespace kivspc {

namespace {

class TDump {
public:
    std::string Text;

    TDump& operator<<(const std::string& s) {
        Text += s;
        return *this;
    }
    TDump& operator<<(const char* s) {
        Text += s;
        return *this;
    }
    TDump& Num(double v) {
        if (IsGap(v)) {
            Text += "gap";
            return *this;
        }
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, v);
        Text.append(buf, res.ptr);
        return *this;
    }
    TDump& Int(long long v) { return *this << std::to_string(v); }
    TDump& Quoted(const std::string& s) {
        Text += '"';
        for (char c : s) {
            if (c == '"' || c == '\\') Text += '\\';
            if (c == '\n') {
                Text += "\\n";
                continue;
            }
            Text += c;
        }
        Text += '"';
        return *this;
    }
    TDump& Color(TSceneColor c) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%06x", static_cast<unsigned>(c & 0xFFFFFF));
        Text += buf;
        return *this;
    }
    TDump& Field(const char* name, double v) {
        *this << " " << name << "=";
        return Num(v);
    }
    TDump& Field(const char* name, const std::string& s) {
        *this << " " << name << "=";
        return Quoted(s);
    }
    TDump& ColorField(const char* name, TSceneColor c) {
        *this << " " << name << "=";
        return Color(c);
    }
    TDump& Range(const char* name, double lo, double hi) {
        *this << " " << name << "=[";
        Num(lo) << ", ";
        return Num(hi) << "]";
    }
    void End() { Text += '\n'; }
};

const char* StyleName(TLineStyle style) {
    switch (style) {
    case TLineStyle::Dash: return "dash";
    case TLineStyle::Dot: return "dot";
    default: return "solid";
    }
}

} // namespace

std::string DumpScene(const TChartScene& scene) {
    TDump d;
    for (const std::string& line : scene.TitleLines) {
        d << "title";
        d.Field("text", line).End();
    }
    for (const std::string& line : scene.FooterLines) {
        d << "footer";
        d.Field("text", line).End();
    }
    d << "text";
    d.ColorField("color", scene.TextColor).End();

    // The page's grid: one column of panels, the rows as tall as their shares of the height.
    d << "grid rows=[";
    for (std::size_t p = 0; p < scene.Panels.size(); ++p) {
        if (p) d << ", ";
        d.Num(scene.Panels[p].Bottom - scene.Panels[p].Top);
    }
    d << "] columns=[1]";
    d.End();

    const int panels = static_cast<int>(scene.Panels.size());
    for (int p = 0; p < panels; ++p) {
        const TScenePanel& panel = scene.Panels[static_cast<std::size_t>(p)];
        d << "panel " << std::to_string(p) << " row=" << std::to_string(p)
          << " column=0 rows=1 columns=1 x-link=0";
        d.End();
        d << "  x-axis positions";
        d.Field("title", p == panels - 1 ? scene.XTitle : std::string());
        d.Range("range", scene.XMin, scene.XMax);
        d << " decimals=-1 angle=" << std::to_string(scene.XLabelAngle);
        d.Field("spacing", scene.Spacing);
        d << " ticks=" << std::to_string(scene.XLabelAt.size());
        d.End();
        for (std::size_t i = 0; i < scene.XLabelAt.size(); ++i) {
            d << "    tick";
            d.Field("at", scene.XLabelAt[i]);
            d.Field("label", i < scene.XLabels.size() ? scene.XLabels[i] : std::string()).End();
        }
        d << "  y-axis values";
        d.Field("title", panel.Title);
        d.Range("range", panel.YMin, panel.YMax);
        d << " decimals=" << std::to_string(panel.Decimals) << " angle=0 ticks=auto";
        d.End();
    }

    for (std::size_t i = 0; i < scene.Zones.size(); ++i) {
        const TZoneRect& z = scene.Zones[i];
        d << "zone panel=" << std::to_string(i < scene.ZonePanels.size() ? scene.ZonePanels[i] : 0);
        d.Range("x", z.X0, z.X1);
        d.Range("y", z.Y0, z.Y1);
        d.ColorField("fill", z.Color).End();
    }
    for (const TLineSeries& line : scene.Lines) {
        d << "line ";
        d.Quoted(line.Name) << " panel=" << std::to_string(line.Panel);
        d.Field("hover", line.Title);
        d.ColorField("color", line.Color);
        d.Field("width", line.Width);
        d << " style=" << StyleName(line.Style);
        d.End();
        for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
            d << "  run";
            for (std::size_t i = 0; i < line.RunsX[r].size() && i < line.RunsY[r].size(); ++i) {
                d << " (";
                d.Num(line.RunsX[r][i]) << ", ";
                d.Num(line.RunsY[r][i]) << ")";
            }
            d.End();
        }
    }
    for (const TPointSeries& series : scene.Points) {
        d << "points ";
        d.Quoted(series.Name) << " panel=" << std::to_string(series.Panel);
        d.Field("hover", series.Title);
        const bool clickable = series.Name == "Series_Loc" || series.Name == "Series_Disp";
        d << " role="
          << (series.Name == "Series_Loc"    ? "location"
              : series.Name == "Series_Disp" ? "dispersion"
                                             : "none");
        d << " clickable=" << (clickable ? "yes" : "no");
        d.Field("size", series.Size);
        d.Field("line-width", series.LineWidth);
        d.End();
        const std::size_t n = std::min(series.X.size(), series.Y.size());
        for (std::size_t i = 0; i < n; ++i) {
            d << "  (";
            d.Num(series.X[i]) << ", ";
            d.Num(series.Y[i]) << ")";
            d.ColorField("color", i < series.Colors.size() ? series.Colors[i] : kColorBlack);
            if (i < series.Hollow.size() && series.Hollow[i]) d << " hollow";
            if (i < series.JoinPrevious.size() && series.JoinPrevious[i]) d << " joined";
            d.End();
        }
    }
    for (const TSeparator& sep : scene.Separators) {
        d << "separator panel=all";
        d.Field("x", sep.X);
        d.Field("label", sep.Label);
        d.Field("width", scene.SeparatorWidth).End();
    }
    for (const TTextMark& code : scene.Codes) {
        d << "code panel=0";
        d.Field("x", code.X);
        d.Field("text", code.Text);
        d.Field("arrow", scene.CodeArrow).End();
    }
    for (int p = 0; p < 2; ++p)
        for (const TTextMark& label : scene.Labels[p]) {
            d << "label panel=" << std::to_string(p);
            d.Field("x", label.X);
            d.Field("y", label.Y);
            d.Field("text", label.Text).End();
        }
    return d.Text;
}

} // namespace kivspc
