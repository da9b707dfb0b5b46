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

void DumpAxis(TDump& d, const char* which, const TSceneAxis& axis) {
    d << "  " << which << (axis.Kind == TAxisKind::Positions ? " positions" : " values");
    d.Field("title", axis.Title);
    d.Range("range", axis.Min, axis.Max);
    d << " decimals=" << std::to_string(axis.Decimals) << " angle=" << std::to_string(axis.LabelAngle);
    if (axis.Kind == TAxisKind::Positions) d.Field("spacing", axis.Spacing);
    if (!axis.Visible) d << " hidden";
    if (!axis.Ticks) {
        d << " ticks=auto";
        d.End();
        return;
    }
    d << " ticks=" << std::to_string(axis.Ticks->At.size());
    d.End();
    for (std::size_t i = 0; i < axis.Ticks->At.size(); ++i) {
        d << "    tick";
        d.Field("at", axis.Ticks->At[i]);
        d.Field("label", i < axis.Ticks->Labels.size() ? axis.Ticks->Labels[i] : std::string()).End();
    }
}

void DumpWeights(TDump& d, const char* name, const std::vector<double>& weights) {
    d << " " << name << "=[";
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (i) d << ", ";
        d.Num(weights[i]);
    }
    d << "]";
}

std::string PanelName(int panel) { return panel == kAllPanels ? "all" : std::to_string(panel); }

const char* RoleName(TSceneRole role) {
    switch (role) {
    case TSceneRole::LocationStatistic: return "location";
    case TSceneRole::DispersionStatistic: return "dispersion";
    default: return "none";
    }
}

const char* AnchorName(TTextAnchor anchor) {
    switch (anchor) {
    case TTextAnchor::TopRight: return "top-right";
    case TTextAnchor::BottomLeft: return "bottom-left";
    case TTextAnchor::BottomRight: return "bottom-right";
    case TTextAnchor::Point: return "point";
    default: return "top-left";
    }
}

const char* FontName(TFontRole font) {
    switch (font) {
    case TFontRole::Small: return "small";
    case TFontRole::Fixed: return "fixed";
    case TFontRole::Title: return "title";
    default: return "normal";
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

    d << "grid";
    DumpWeights(d, "rows", scene.RowWeights);
    DumpWeights(d, "columns", scene.ColumnWeights);
    if (scene.PanelSpacing != 0) d.Field("spacing", scene.PanelSpacing);
    d.End();
    for (std::size_t p = 0; p < scene.Panels.size(); ++p) {
        const TScenePanel& panel = scene.Panels[p];
        d << "panel " << std::to_string(p) << " row=" << std::to_string(panel.Row)
          << " column=" << std::to_string(panel.Column) << " rows=" << std::to_string(panel.RowSpan)
          << " columns=" << std::to_string(panel.ColumnSpan) << " x-link=" << std::to_string(panel.XLink);
        d.End();
        DumpAxis(d, "x-axis", panel.X);
        DumpAxis(d, "y-axis", panel.Y);
    }

    for (const TZoneRect& z : scene.Zones) {
        d << "zone panel=" << std::to_string(z.Panel);
        d.Range("x", z.X0, z.X1);
        d.Range("y", z.Y0, z.Y1);
        d.ColorField("fill", z.Color).End();
    }
    for (const TSceneBar& bar : scene.Bars) {
        d << "bar panel=" << std::to_string(bar.Panel);
        d.Range("x", bar.X0, bar.X1);
        d.Range("y", bar.Y0, bar.Y1);
        d.ColorField("fill", bar.Fill);
        if (bar.Outline == kNoColor)
            d << " outline=none";
        else
            d.ColorField("outline", bar.Outline);
        d.Field("hover", bar.Hover).End();
    }
    for (const TLineSeries& line : scene.Lines) {
        d << "line ";
        d.Quoted(line.Name) << " panel=" << std::to_string(line.Panel);
        d.Field("hover", line.Hover);
        if (!line.Legend.empty()) d.Field("legend", line.Legend);
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
    for (const TReferenceLine& ref : scene.References) {
        d << "reference panel=" << std::to_string(ref.Panel) << (ref.Vertical ? " vertical" : " horizontal");
        d.Field("at", ref.Value);
        d.ColorField("color", ref.Color);
        d.Field("width", ref.Width);
        d << " style=" << StyleName(ref.Style);
        d.Field("label", ref.Label);
        d << " place=" << (ref.Place == TLabelPlace::End ? "end" : "start");
        d.Field("hover", ref.Hover).End();
    }
    for (const TPointSeries& series : scene.Points) {
        d << "points ";
        d.Quoted(series.Name) << " panel=" << std::to_string(series.Panel);
        d.Field("hover", series.Hover);
        if (!series.Legend.empty()) d.Field("legend", series.Legend);
        d << " role=" << RoleName(series.Role);
        d << " clickable=" << (series.Role != TSceneRole::None ? "yes" : "no");
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
            if (i < series.Hovers.size() && !series.Hovers[i].empty()) d.Field("hover", series.Hovers[i]);
            d.End();
        }
    }
    for (const TSeparator& sep : scene.Separators) {
        d << "separator panel=" << PanelName(sep.Panel);
        d.Field("x", sep.X);
        d.Field("label", sep.Label);
        d.Field("width", scene.SeparatorWidth).End();
    }
    for (const TTextMark& code : scene.Codes) {
        d << "code panel=" << std::to_string(code.Panel);
        d.Field("x", code.X);
        d.Field("text", code.Text);
        d.Field("arrow", scene.CodeArrow).End();
    }
    for (const TTextMark& label : scene.PointLabels) {
        d << "label panel=" << std::to_string(label.Panel);
        d.Field("x", label.X);
        d.Field("y", label.Y);
        d.Field("text", label.Text).End();
    }
    for (const TTextBox& box : scene.Texts) {
        d << "text-box panel=" << std::to_string(box.Panel) << " anchor=" << AnchorName(box.Anchor);
        if (box.Anchor == TTextAnchor::Point) {
            d.Field("x", box.X);
            d.Field("y", box.Y);
        }
        d << " font=" << FontName(box.Font) << (box.Frame ? " framed" : "");
        d.ColorField("color", box.Color).End();
        for (const std::string& line : box.Lines) {
            d << "   ";
            d.Field("line", line).End();
        }
    }
    return d.Text;
}

} // namespace kivspc
