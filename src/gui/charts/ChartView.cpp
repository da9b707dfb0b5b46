// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartView.h"

#include "app/NumberFormat.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace kivspc::gui {

QColor SceneColor(TSceneColor color) {
    return QColor(static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>(color & 0xFF));
}

namespace {

constexpr double kHitPixels = 5;

Qt::PenStyle PenStyleOf(TLineStyle style) {
    switch (style) {
    case TLineStyle::Dash: return Qt::DashLine;
    case TLineStyle::Dot: return Qt::DotLine;
    default: return Qt::SolidLine;
    }
}

// A step of 1, 2, 5, 10, 20, 50 ... at least `raw`.
double NiceIntegerStep(double raw) {
    if (!(raw > 1)) return 1;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * magnitude >= raw) return f * magnitude;
    return 10 * magnitude;
}

// Ticks at the positions of the scene's labels, every step-th label so that they do not
// overlap; the tick count is set by the view from the axis width.
class TPositionTicker : public QCPAxisTicker {
public:
    explicit TPositionTicker(const TChartScene* scene) : scene_(scene) {}

protected:
    double getTickStep(const QCPRange& range) override {
        return NiceIntegerStep(range.size() / std::max(tickCount(), 1));
    }
    int getSubTickCount(double) override { return 0; }
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override {
        QVector<double> ticks;
        const auto& at = scene_->XLabelAt;
        auto first = std::lower_bound(at.begin(), at.end(), range.lower);
        auto last = std::upper_bound(at.begin(), at.end(), range.upper);
        const auto step = static_cast<std::ptrdiff_t>(std::max(tickStep, 1.0));
        for (auto it = first; it < last; ++it) {
            const auto index = it - at.begin();
            // Point numbers 1, step, 2 step ...: the label index counts from 0 for point 1.
            if ((index + 1) % step == 0 || step == 1) ticks.push_back(*it);
        }
        if (ticks.isEmpty() && first < last) ticks.push_back(*first);
        return ticks;
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        const auto& at = scene_->XLabelAt;
        const auto it = std::lower_bound(at.begin(), at.end(), tick - 1e-9);
        if (it == at.end() || std::fabs(*it - tick) > 1e-6) return {};
        return QString::fromStdString(scene_->XLabels[static_cast<std::size_t>(it - at.begin())]);
    }

private:
    const TChartScene* scene_;
};

// Values a panel's axis can take as they are; beyond them the renderer draws the panel in units
// of a power of ten (QCustomPlot refuses ranges past about 1e250 or narrower than 1e-280).
constexpr double kPlainAxisLimit = 1e200;
// From here on the axis labels take the exponent form.
constexpr double kExponentLabels = 1e15;

double PanelScale(const TScenePanel& panel) {
    const double largest = std::max(std::fabs(panel.YMin), std::fabs(panel.YMax));
    if (!std::isfinite(largest) || largest == 0) return 1;
    if (largest > kPlainAxisLimit || largest < 1 / kPlainAxisLimit)
        return std::pow(10.0, std::floor(std::log10(largest)));
    return 1;
}

// Vertical axis labels of a panel drawn in units of `scale`: the values they stand for, with an
// exponent.
class TScaledTicker : public QCPAxisTicker {
public:
    explicit TScaledTicker(double scale) : scale_(scale) {}

protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return QString::number(tick * scale_, 'g', 6);
    }

private:
    double scale_;
};

// The band at the top of the main panel that holds the set labels and the violation codes, above
// every point: the set labels' row, then the code boxes with their arrows, then the data.
struct TMarkBand {
    double LabelTop = 0, LabelBottom = 0;
    double CodeTop = 0, CodeBottom = 0, ArrowTip = 0;
    double DataTop = 0; // no point reaches above this
};

TMarkBand MarkBandOf(const TChartScene& scene, const QFontMetricsF& metrics, double top) {
    TMarkBand band;
    double y = band.LabelTop = band.LabelBottom = top;
    const bool labels = !scene.Separators.empty();
    if (labels) y = band.LabelBottom = top + metrics.height() + 2;
    band.CodeTop = band.CodeBottom = band.ArrowTip = y;
    if (!scene.Codes.empty()) {
        band.CodeTop = y + 2;
        band.CodeBottom = band.CodeTop + metrics.height();
        y = band.ArrowTip = band.CodeBottom + scene.CodeArrow;
    }
    band.DataTop = y;
    if (labels || !scene.Codes.empty()) {
        // The largest marker of the panel stays clear of the band.
        double radius = 0;
        for (const TPointSeries& series : scene.Points)
            if (series.Panel == 0) radius = std::max(radius, series.Size + 1.5);
        band.DataTop += 2 + radius;
    }
    return band;
}

// Where a point's label goes: up and to the right of the point, flipped to the left or below it
// where it would leave the plot.
QRectF PointLabelBox(const QFontMetricsF& metrics, const QString& text, double px, double py,
                     const QRect& area, double top) {
    constexpr double kGapPixels = 6;
    const double w = metrics.horizontalAdvance(text) + 1, h = metrics.height();
    double left = px + kGapPixels;
    if (left + w > area.right() && px - kGapPixels - w >= area.left()) left = px - kGapPixels - w;
    double upper = py - kGapPixels - h;
    if (upper < top && py + kGapPixels + h <= area.bottom()) upper = py + kGapPixels;
    return QRectF(left, upper, w, h);
}

// The first vertex of a run at or right before x (runs never go back in x).
std::size_t FirstVisible(const std::vector<double>& xs, double x) {
    const auto it = std::lower_bound(xs.begin(), xs.end(), x);
    return it == xs.begin() ? 0 : static_cast<std::size_t>(it - xs.begin()) - 1;
}

} // namespace

// Draws one part of the scene into one axis rect, only what lies in the visible x range.
class TSceneLayer : public QCPLayerable {
public:
    enum class Part { Zones, Lines, Points, Marks };
    TSceneLayer(QCustomPlot* plot, const TChartScene* scene, QCPAxisRect* rect, int panel, Part part,
                const QString& layer, bool first, double scale)
        : QCPLayerable(plot, layer), scene_(scene), rect_(rect), panel_(panel), part_(part), first_(first),
          scale_(scale) {}

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
        applyAntialiasingHint(painter, part_ != Part::Zones, QCP::aePlottables);
    }
    QRect clipRect() const override { return rect_->rect(); }

    void draw(QCPPainter* painter) override {
        QCPAxis* x = rect_->axis(QCPAxis::atBottom);
        QCPAxis* y = rect_->axis(QCPAxis::atLeft);
        if (!x || !y) return;
        switch (part_) {
        case Part::Zones: DrawZones(painter, x, y); break;
        case Part::Lines: DrawLines(painter, x, y); break;
        case Part::Points: DrawPoints(painter, x, y); break;
        case Part::Marks: DrawMarks(painter, x, y); break;
        }
    }

private:
    void DrawZones(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        painter->setPen(Qt::NoPen);
        for (std::size_t i = 0; i < scene_->Zones.size(); ++i) {
            if (scene_->ZonePanels[i] != panel_) continue;
            const TZoneRect& z = scene_->Zones[i];
            if (z.X1 < range.lower || z.X0 > range.upper) continue;
            painter->setBrush(SceneColor(z.Color));
            painter->drawRect(QRectF(QPointF(x->coordToPixel(z.X0), y->coordToPixel(z.Y1 / scale_)),
                                     QPointF(x->coordToPixel(z.X1), y->coordToPixel(z.Y0 / scale_))));
        }
    }

    // True when the markers in view stand closer than their own size: they then cover every line
    // under them, and lines of their colour need an edge to be told from them.
    bool Crowded(const QCPRange& range) const {
        std::size_t inView = 0;
        double size = 0;
        for (const TPointSeries& series : scene_->Points) {
            if (series.Panel != panel_) continue;
            inView +=
                static_cast<std::size_t>(std::upper_bound(series.X.begin(), series.X.end(), range.upper) -
                                         std::lower_bound(series.X.begin(), series.X.end(), range.lower));
            size = std::max(size, series.Size);
        }
        return static_cast<double>(inView) * (2 * size + 1) > 2.0 * rect_->width();
    }

    void DrawLines(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        const bool crowded = Crowded(range);
        QPolygonF polygon;
        for (const TLineSeries& line : scene_->Lines) {
            if (line.Panel != panel_) continue;
            const QPen pen(SceneColor(line.Color), line.Width, PenStyleOf(line.Style), Qt::FlatCap,
                           Qt::MiterJoin);
            const QPen edge(Qt::white, line.Width + 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            painter->setBrush(Qt::NoBrush);
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                if (rx.empty() || rx.back() < range.lower || rx.front() > range.upper) continue;
                polygon.clear();
                for (std::size_t i = FirstVisible(rx, range.lower); i < rx.size(); ++i) {
                    polygon << QPointF(x->coordToPixel(rx[i]), y->coordToPixel(ry[i] / scale_));
                    if (rx[i] > range.upper) break;
                }
                if (crowded) {
                    painter->setPen(edge);
                    painter->drawPolyline(polygon);
                }
                painter->setPen(pen);
                painter->drawPolyline(polygon);
            }
        }
    }

    // Markers, each pixel drawn once per look: a million points cost no more to paint than the
    // pixels they cover. On screen a marker is a stamped image; in vector output a circle.
    void DrawPoints(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        const QRect area = rect_->rect();
        const bool raster = painter->device() && painter->device()->devType() != QInternal::Printer &&
                            painter->paintEngine() &&
                            painter->paintEngine()->type() == QPaintEngine::Raster &&
                            !painter->modes().testFlag(QCPPainter::pmVectorized);
        const int width = area.width() + 1, height = area.height() + 1;
        if (width <= 0 || height <= 0) return;
        std::vector<std::uint16_t> drawn(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                         0);
        std::map<std::tuple<TSceneColor, std::uint8_t, double>, std::uint16_t> looks;
        std::vector<QPixmap> stamps;
        for (const TPointSeries& series : scene_->Points) {
            if (series.Panel != panel_) continue;
            const double radius = series.Size + 0.5;
            // Both axes are linear: a pixel is an offset and a scale away from its value.
            const double x0 = x->coordToPixel(0), xScale = x->coordToPixel(1) - x0;
            const double y0 = y->coordToPixel(0), yScale = y->coordToPixel(1) - y0;
            std::uint16_t lookId = 0;
            TSceneColor lastColor = 0;
            std::uint8_t lastHollow = 0;
            const double margin = x->pixelToCoord(area.left() + radius + 1) - x->pixelToCoord(area.left());
            auto first = std::lower_bound(series.X.begin(), series.X.end(), range.lower - std::fabs(margin));
            const std::size_t n = std::min(series.X.size(), series.Y.size());
            for (auto i = static_cast<std::size_t>(first - series.X.begin()); i < n; ++i) {
                if (series.X[i] > range.upper + std::fabs(margin)) break;
                if (IsGap(series.Y[i])) continue;
                const double px = x0 + xScale * series.X[i];
                const double py = y0 + yScale * (series.Y[i] / scale_);
                const long ix = std::lround(px) - area.left(), iy = std::lround(py) - area.top();
                if (ix < 0 || iy < 0 || ix >= width || iy >= height) continue;
                const TSceneColor color = i < series.Colors.size() ? series.Colors[i] : kColorBlack;
                const std::uint8_t hollow = i < series.Hollow.size() ? series.Hollow[i] : 0;
                // Neighbouring points mostly look alike: the last look is checked before the map.
                if (!lookId || color != lastColor || hollow != lastHollow) {
                    auto [look, added] = looks.try_emplace({color, hollow, radius},
                                                           static_cast<std::uint16_t>(looks.size() + 1));
                    lookId = look->second;
                    lastColor = color;
                    lastHollow = hollow;
                    if (added && raster) {
                        if (stamps.size() < lookId) stamps.resize(lookId);
                        stamps[lookId - 1u] = Stamp(SceneColor(color), hollow, radius);
                    }
                }
                std::uint16_t& cell = drawn[static_cast<std::size_t>(iy) * static_cast<std::size_t>(width) +
                                            static_cast<std::size_t>(ix)];
                if (cell == lookId) continue;
                cell = lookId;
                if (!raster) {
                    const QColor qcolor = SceneColor(color);
                    painter->setPen(QPen(qcolor, 1));
                    painter->setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(qcolor));
                    painter->drawEllipse(QPointF(px, py), radius, radius);
                    continue;
                }
                const std::size_t stamp = lookId - 1u;
                const int half = stamps[stamp].width() / 2;
                painter->drawPixmap(std::lround(px) - half, std::lround(py) - half, stamps[stamp]);
            }
        }
    }

    static QPixmap Stamp(const QColor& color, bool hollow, double radius) {
        const int side = static_cast<int>(std::ceil(radius)) * 2 + 3;
        QPixmap stamp(side, side);
        stamp.fill(Qt::transparent);
        QPainter p(&stamp);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color, 1));
        p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(color));
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), radius, radius);
        return stamp;
    }

    void DrawMarks(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        const QRect area = rect_->rect();
        const QFont font = x->tickLabelFont();
        painter->setFont(font);
        const QFontMetricsF metrics(font);
        const TMarkBand band = MarkBandOf(*scene_, metrics, area.top());
        // Set separators: a black line across the panel and, in the top panel, the set's label.
        for (const TSeparator& sep : scene_->Separators) {
            if (sep.X < range.lower - 0.5 || sep.X > range.upper) continue;
            const double px = std::max(x->coordToPixel(sep.X), static_cast<double>(area.left()));
            if (sep.X > scene_->XMin) {
                painter->setPen(QPen(Qt::black, scene_->SeparatorWidth));
                painter->drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
            }
            if (!first_) continue;
            const QString text = QString::fromStdString(sep.Label);
            const QRectF box(px, band.LabelTop, metrics.horizontalAdvance(text) + 2,
                             band.LabelBottom - band.LabelTop);
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::black);
            painter->drawRect(box);
            painter->setPen(Qt::white);
            painter->drawText(box, Qt::AlignCenter, text);
        }
        // Violation codes in their row below the set labels, each with an arrow down to its position.
        if (first_ && !scene_->Codes.empty()) {
            double lastRight = -HUGE_VAL;
            auto first = std::lower_bound(scene_->Codes.begin(), scene_->Codes.end(), range.lower,
                                          [](const TTextMark& m, double v) { return m.X < v; });
            const auto byX = [](const TTextMark& m, double v) { return m.X < v; };
            for (auto it = first; it != scene_->Codes.end() && it->X <= range.upper;) {
                const TTextMark& code = *it;
                const double px = x->coordToPixel(code.X);
                if (px < lastRight + 4) {
                    // Jump to the first mark clear of the last one drawn.
                    it = std::lower_bound(it + 1, scene_->Codes.end(), x->pixelToCoord(lastRight + 4), byX);
                    continue;
                }
                const QString text = QString::fromStdString(code.Text);
                // Marks that would cover the one before wait until the chart is zoomed in.
                const double w = metrics.horizontalAdvance(text) + 4;
                if (px - w / 2 < lastRight + 2) {
                    it = std::lower_bound(it + 1, scene_->Codes.end(), x->pixelToCoord(lastRight + 2 + w / 2),
                                          byX);
                    continue;
                }
                // A box at the plot's side stays whole; its arrow still points at its position.
                const double left = std::clamp(px - w / 2, static_cast<double>(area.left()),
                                               std::max<double>(area.left(), area.right() - w));
                lastRight = std::max(px + w / 2, left + w);
                ++it;
                painter->setPen(QPen(Qt::black, 1));
                painter->drawLine(QPointF(px, band.CodeBottom), QPointF(px, band.ArrowTip));
                painter->drawLine(QPointF(px, band.ArrowTip), QPointF(px - 3, band.ArrowTip - 4));
                painter->drawLine(QPointF(px, band.ArrowTip), QPointF(px + 3, band.ArrowTip - 4));
                const QRectF box(left, band.CodeTop, w, band.CodeBottom - band.CodeTop);
                painter->setBrush(QColor(255, 255, 224));
                painter->drawRect(box);
                painter->drawText(box, Qt::AlignCenter, text);
            }
        }
        // Point labels beside their points, on whichever side keeps them inside the plot (and
        // below the band of the top panel).
        if (panel_ < 2) {
            painter->setPen(Qt::black);
            const double top = first_ ? band.DataTop : area.top();
            for (const TTextMark& label : scene_->Labels[panel_]) {
                if (label.X < range.lower || label.X > range.upper || IsGap(label.Y)) continue;
                const QString text = QString::fromStdString(label.Text);
                const QRectF box = PointLabelBox(metrics, text, x->coordToPixel(label.X),
                                                 y->coordToPixel(label.Y / scale_), area, top);
                painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
            }
        }
    }

    const TChartScene* scene_;
    QCPAxisRect* rect_;
    int panel_;
    Part part_;
    bool first_;
    double scale_;
};

TChartView::TChartView(QWidget* parent) : QCustomPlot(parent) {
    setObjectName("Chart");
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phCacheLabels, true);
    // Zones, then the lines joining points and the markers, then the limit, centre and other
    // lines over them (a dense chart would bury them otherwise), then the marks.
    addLayer("zones", layer("grid"), QCustomPlot::limAbove);
    addLayer("joins", layer("zones"), QCustomPlot::limAbove);
    addLayer("lines", layer("main"), QCustomPlot::limAbove);
    addLayer("marks", layer("lines"), QCustomPlot::limAbove);
    setInteractions(QCP::iRangeZoom);
    setSelectionRectMode(QCP::srmZoom);
    setMouseTracking(true);
    Build();
}

TChartView::~TChartView() = default;

QCPAxisRect* TChartView::RectOf(int panel) const {
    return panel >= 0 && panel < static_cast<int>(rects_.size()) ? rects_[static_cast<std::size_t>(panel)]
                                                                 : nullptr;
}

void TChartView::SetScene(TChartScene scene) {
    scene_ = std::move(scene);
    Build();
    zoomed_ = false;
    emit zoomChanged(false);
    replot(rpQueuedReplot);
}

void TChartView::Build() {
    for (TSceneLayer* l : layers_)
        delete l;
    layers_.clear();
    clearPlottables();
    clearItems();
    plotLayout()->clear();
    rects_.clear();
    scales_.clear();
    delete margins_;
    margins_ = new QCPMarginGroup(this);

    const QColor textColor = SceneColor(scene_.TextColor);
    QFont titleFont = font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    const QString titleText = [&] {
        QStringList lines;
        for (const auto& l : scene_.TitleLines)
            lines << QString::fromStdString(l);
        return lines.join('\n');
    }();
    title_ = new QCPTextElement(this, titleText, titleFont);
    title_->setObjectName("ChartTitle");
    title_->setTextColor(textColor);
    plotLayout()->addElement(0, 0, title_);

    const int panels = std::max<int>(1, static_cast<int>(scene_.Panels.size()));
    auto ticker = QSharedPointer<QCPAxisTicker>(new TPositionTicker(&scene_));
    for (int p = 0; p < panels; ++p) {
        auto* rect = new QCPAxisRect(this);
        plotLayout()->addElement(p + 1, 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins_);
        rect->setRangeZoom(Qt::Horizontal | Qt::Vertical);
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        // New axis rects start on the current layer; put them where the plot's own one lives.
        rect->setLayer("background");
        for (QCPAxis* axis : rect->axes()) {
            axis->setLayer("axes");
            axis->grid()->setLayer("grid");
        }
        x->setTicker(ticker);
        x->grid()->setVisible(false);
        y->grid()->setPen(QPen(QColor(220, 220, 220), 0, Qt::DotLine));
        // The scene counts angles anticlockwise, QCustomPlot clockwise.
        x->setTickLabelRotation(scene_.XLabelAngle == 0 ? 0 : 360 - scene_.XLabelAngle);
        double scale = 1;
        if (p < static_cast<int>(scene_.Panels.size())) {
            const TScenePanel& panel = scene_.Panels[static_cast<std::size_t>(p)];
            y->setLabel(QString::fromStdString(panel.Title));
            scale = PanelScale(panel);
            if (scale != 1)
                y->setTicker(QSharedPointer<QCPAxisTicker>(new TScaledTicker(scale)));
            else if (std::max(std::fabs(panel.YMin), std::fabs(panel.YMax)) >= kExponentLabels) {
                y->setNumberFormat("g");
                y->setNumberPrecision(6);
            } else if (panel.Decimals >= 0) {
                y->setNumberFormat("f");
                y->setNumberPrecision(panel.Decimals);
            } else {
                y->setNumberFormat("g");
                y->setNumberPrecision(10);
            }
        }
        if (p == panels - 1) x->setLabel(QString::fromStdString(scene_.XTitle));
        // Both panels show the same positions.
        connect(x, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
                [this, x](const QCPRange& range) {
                    if (settingRanges_) return;
                    settingRanges_ = true;
                    for (QCPAxisRect* other : rects_) {
                        QCPAxis* ox = other->axis(QCPAxis::atBottom);
                        if (ox != x) ox->setRange(range);
                    }
                    settingRanges_ = false;
                    if (!zoomed_) {
                        zoomed_ = true;
                        emit zoomChanged(true);
                    }
                });
        connect(y, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
                [this, p](const QCPRange& range) {
                    if (settingRanges_) return;
                    // The top panel's new range holds the band of the marks at its top: the data take the
                    // rest.
                    if (p == 0) {
                        const double height = rects_.front()->height();
                        const double reserved = MarkReserve();
                        zoomData_ = range;
                        if (height > reserved)
                            zoomData_.upper = range.lower + range.size() * (height - reserved) / height;
                        hasZoomData_ = true;
                    }
                    if (zoomed_) return;
                    zoomed_ = true;
                    emit zoomChanged(true);
                });
        rects_.push_back(rect);
        scales_.push_back(scale);
        for (const auto& [part, layerName] :
             {std::pair{TSceneLayer::Part::Zones, "zones"}, std::pair{TSceneLayer::Part::Points, "main"},
              std::pair{TSceneLayer::Part::Lines, "lines"}, std::pair{TSceneLayer::Part::Marks, "marks"}})
            layers_.push_back(new TSceneLayer(this, &scene_, rect, p, part, layerName, p == 0, scale));
    }

    QFont footerFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    footerFont.setPointSize(8);
    QStringList footerLines;
    for (const auto& l : scene_.FooterLines)
        footerLines << QString::fromStdString(l);
    footer_ = new QCPTextElement(this, footerLines.join('\n'), footerFont);
    footer_->setObjectName("ChartFooter");
    footer_->setTextColor(textColor);
    footer_->setTextFlags(Qt::AlignLeft | Qt::AlignTop);
    footer_->setVisible(!footerLines.isEmpty());
    plotLayout()->addElement(panels + 1, 0, footer_);
    plotLayout()->setRowSpacing(0);

    // The lines joining points: one graph per colour (each line takes the colour of the point it
    // leads to), so QCustomPlot samples them; the markers are drawn by the points layer.
    for (const TPointSeries& series : scene_.Points) {
        QCPAxisRect* rect = RectOf(series.Panel);
        if (!rect) continue;
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        const double scale = ScaleOf(series.Panel);
        const std::size_t n = std::min(series.X.size(), series.Y.size());
        struct Batch {
            QCPGraph* graph = nullptr;
            QVector<QCPGraphData> data;
        };
        std::map<TSceneColor, Batch> joins;
        std::map<TSceneColor, std::size_t> lastJoined; // index of the last point each line reached
        for (std::size_t i = 0; i < n; ++i) {
            if (IsGap(series.Y[i])) continue;
            const TSceneColor color = i < series.Colors.size() ? series.Colors[i] : kColorBlack;
            if (i > 0 && i < series.JoinPrevious.size() && series.JoinPrevious[i] &&
                !IsGap(series.Y[i - 1])) {
                Batch& j = joins[color];
                if (!j.graph) {
                    j.graph = addGraph(x, y);
                    j.graph->setName(QString::fromStdString(series.Name));
                    j.graph->setPen(QPen(SceneColor(color), series.LineWidth));
                    j.graph->setLineStyle(QCPGraph::lsLine);
                    j.graph->setSelectable(QCP::stNone);
                    j.graph->setLayer("joins");
                }
                auto it = lastJoined.find(color);
                if (it == lastJoined.end() || it->second != i - 1) {
                    // A gap between this colour's separate stretches.
                    if (it != lastJoined.end())
                        j.data.push_back(QCPGraphData((series.X[it->second] + series.X[i - 1]) / 2, qQNaN()));
                    j.data.push_back(QCPGraphData(series.X[i - 1], series.Y[i - 1] / scale));
                }
                j.data.push_back(QCPGraphData(series.X[i], series.Y[i] / scale));
                lastJoined[color] = i;
            }
        }
        for (auto& [key, batch] : joins)
            batch.graph->data()->set(batch.data, true);
    }
    ApplyRanges();
}

void TChartView::ApplyRanges() {
    settingRanges_ = true;
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        rects_[p]->axis(QCPAxis::atBottom)->setRange(scene_.XMin, scene_.XMax);
        if (p < scene_.Panels.size())
            rects_[p]
                ->axis(QCPAxis::atLeft)
                ->setRange(scene_.Panels[p].YMin / scales_[p], scene_.Panels[p].YMax / scales_[p]);
    }
    if (rects_.size() == 2 && scene_.Panels.size() == 2) {
        const double split = scene_.Panels[0].Bottom - scene_.Panels[0].Top;
        plotLayout()->setRowStretchFactor(1, std::max(split, 0.01));
        plotLayout()->setRowStretchFactor(2, std::max(1 - split, 0.01));
    }
    plotLayout()->setRowStretchFactor(0, 0.001);
    plotLayout()->setRowStretchFactor(static_cast<int>(rects_.size()) + 1, 0.001);
    settingRanges_ = false;
}

void TChartView::SetSplit(double fraction) {
    if (scene_.Panels.size() == 2) {
        scene_.Panels[0].Bottom = fraction;
        scene_.Panels[1].Top = fraction;
    }
    if (rects_.size() == 2) {
        plotLayout()->setRowStretchFactor(1, std::max(fraction, 0.01));
        plotLayout()->setRowStretchFactor(2, std::max(1 - fraction, 0.01));
    }
    replot();
}

void TChartView::processRectZoom(QRect rect, QMouseEvent* event) {
    QCustomPlot::processRectZoom(rect, event);
    // The rectangle drawn over the top panel is the data to see; the marks go above it.
    if (!rects_.empty() && axisRectAt(rect.topLeft()) == rects_.front()) {
        zoomData_ = rects_.front()->axis(QCPAxis::atLeft)->range();
        hasZoomData_ = true;
    }
}

double TChartView::MarkReserve() const {
    if (rects_.empty()) return 0;
    QCPAxisRect* rect = rects_.front();
    const double band =
        MarkBandOf(scene_, QFontMetricsF(rect->axis(QCPAxis::atBottom)->tickLabelFont()), 0).DataTop;
    // A panel too low for the band keeps at least half its height for the data.
    return std::min(band, rect->height() / 2.0);
}

void TChartView::ZoomOut() {
    hasZoomData_ = false;
    ApplyRanges();
    zoomed_ = false;
    emit zoomChanged(false);
    replot();
}

double TChartView::ScaleOf(int panel) const {
    return panel >= 0 && panel < static_cast<int>(scales_.size()) ? scales_[static_cast<std::size_t>(panel)]
                                                                  : 1;
}

bool TChartView::FitToLayout() {
    if (rects_.empty()) return false;
    bool changed = false;
    // As many position labels as the axis's width holds, measured on a sample of the labels (they
    // are alike in length).
    QCPAxis* x = rects_.back()->axis(QCPAxis::atBottom);
    const QFontMetrics metrics(x->tickLabelFont());
    int widest = metrics.horizontalAdvance("0000");
    const std::size_t n = scene_.XLabels.size();
    for (std::size_t i = 0; i < n; i += std::max<std::size_t>(1, n / 50))
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(scene_.XLabels[i])));
    const int room = scene_.XLabelAngle != 0 ? metrics.height() * 2 : widest + 12;
    const int count = std::max(2, rects_.back()->width() / std::max(room, 1));
    if (x->ticker()->tickCount() != count) {
        x->ticker()->setTickCount(count);
        changed = true;
    }
    // Room above the data of the top panel for the set labels and the violation codes: its range
    // reaches so far above the data's (the scene's, or those zoomed into) that the band stays
    // clear of every point.
    if (!scene_.Panels.empty() && (!zoomed_ || hasZoomData_)) {
        QCPAxisRect* rect = rects_.front();
        const double height = rect->height();
        const QCPRange filled =
            zoomed_ ? zoomData_
                    : QCPRange(scene_.Panels[0].YMin / scales_[0], scene_.Panels[0].YMax / scales_[0]);
        const double lower = filled.lower;
        double upper = filled.upper;
        const double reserved = MarkReserve();
        if (reserved > 0 && height > reserved) upper += (upper - lower) * reserved / (height - reserved);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        const QCPRange now = y->range();
        if (std::isfinite(upper) &&
            (std::fabs(now.upper - upper) * height > 0.25 * (upper - lower) || now.lower != lower)) {
            settingRanges_ = true;
            y->setRange(lower, upper);
            settingRanges_ = false;
            changed = true;
        }
    }
    return changed;
}

void TChartView::draw(QCPPainter* painter) {
    QCustomPlot::draw(painter);
    // Drawn as a picture of another size (printing, copying, saving): that size's layout, ticks
    // and ranges stay behind when the picture is done. The widget's own come back right after,
    // so that what it shows and what the mouse finds never change.
    if (viewport().size() != size() && !relayoutQueued_) {
        relayoutQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                relayoutQueued_ = false;
                if (viewport().size() == size()) updateLayout();
            },
            Qt::QueuedConnection);
    }
}

void TChartView::updateLayout() {
    // The tick count and the room for the marks follow the pixel sizes just laid out, at every
    // layout (a redraw, a resize, an export at another size); what they change is laid out again.
    for (int pass = 0; pass < 3; ++pass) {
        QCustomPlot::updateLayout();
        if (!FitToLayout()) break;
    }
}

std::optional<TChartHit> TChartView::HitAt(const QPointF& pos) const {
    std::optional<TChartHit> best;
    double bestDistance = kHitPixels;
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        QCPAxisRect* rect = rects_[p];
        if (!rect->rect().contains(pos.toPoint())) continue;
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        const double scale = ScaleOf(static_cast<int>(p));
        const double dataX = x->pixelToCoord(pos.x());
        const double slack = std::fabs(x->pixelToCoord(pos.x() + kHitPixels) - dataX);
        for (const TPointSeries& series : scene_.Points) {
            if (series.Panel != static_cast<int>(p) || series.Title.empty()) continue;
            auto first = std::lower_bound(series.X.begin(), series.X.end(), dataX - slack);
            for (auto it = first; it != series.X.end() && *it <= dataX + slack; ++it) {
                const auto i = static_cast<std::size_t>(it - series.X.begin());
                if (IsGap(series.Y[i])) continue;
                const double d = std::hypot(x->coordToPixel(*it) - pos.x(),
                                            y->coordToPixel(series.Y[i] / scale) - pos.y());
                if (d <= bestDistance + series.Size) {
                    bestDistance = std::max(0.0, d - series.Size);
                    best = TChartHit{QString::fromStdString(series.Title),
                                     series.Y[i],
                                     static_cast<int>(p),
                                     series.Name,
                                     *it,
                                     true};
                }
            }
        }
        if (best) return best;
        for (const TLineSeries& line : scene_.Lines) {
            if (line.Panel != static_cast<int>(p) || line.Title.empty()) continue;
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                if (rx.empty() || rx.front() > dataX || rx.back() < dataX) continue;
                // The horizontal segment under the mouse: the last vertex at or before dataX.
                const auto it = std::upper_bound(rx.begin(), rx.end(), dataX);
                const auto i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - rx.begin() - 1, 0));
                const double d = std::fabs(y->coordToPixel(ry[i] / scale) - pos.y());
                if (d <= bestDistance + line.Width / 2) {
                    bestDistance = d;
                    best = TChartHit{
                        QString::fromStdString(line.Title), ry[i], static_cast<int>(p), line.Name, -1, false};
                }
            }
        }
        return best;
    }
    return best;
}

bool TChartView::OverTitle(const QPointF& pos) const {
    return title_ && !title_->text().isEmpty() && title_->outerRect().contains(pos.toPoint());
}

void TChartView::mousePressEvent(QMouseEvent* event) {
    pressPos_ = event->pos();
    QCustomPlot::mousePressEvent(event);
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
    QCustomPlot::mouseMoveEvent(event);
    const QPointF pos = event->position();
    const bool overTitle = OverTitle(pos);
    const auto hit = HitAt(pos);
    if (overTitle)
        setCursor(Qt::PointingHandCursor);
    else if (hit && hit->IsPoint)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    emit hovered(hit ? hit->Title : QString(),
                 hit ? QString::fromStdString(FormatTrimmed(hit->Value)) : QString(), hit && hit->IsPoint,
                 overTitle);
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
    QCustomPlot::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || (event->pos() - pressPos_).manhattanLength() > 3) return;
    const QPointF pos = event->position();
    if (OverTitle(pos)) {
        emit titleClicked();
        return;
    }
    const auto hit = HitAt(pos);
    if (hit && hit->IsPoint && (hit->Series == "Series_Loc" || hit->Series == "Series_Disp"))
        emit pointClicked(hit->Series == "Series_Disp", hit->Position);
}

} // namespace kivspc::gui
