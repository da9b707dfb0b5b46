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
                const QString& layer, bool first)
        : QCPLayerable(plot, layer), scene_(scene), rect_(rect), panel_(panel), part_(part), first_(first) {}

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
            painter->drawRect(QRectF(QPointF(x->coordToPixel(z.X0), y->coordToPixel(z.Y1)),
                                     QPointF(x->coordToPixel(z.X1), y->coordToPixel(z.Y0))));
        }
    }

    void DrawLines(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        QPolygonF polygon;
        for (const TLineSeries& line : scene_->Lines) {
            if (line.Panel != panel_) continue;
            QPen pen(SceneColor(line.Color), line.Width, PenStyleOf(line.Style), Qt::FlatCap, Qt::MiterJoin);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                if (rx.empty() || rx.back() < range.lower || rx.front() > range.upper) continue;
                polygon.clear();
                for (std::size_t i = FirstVisible(rx, range.lower); i < rx.size(); ++i) {
                    polygon << QPointF(x->coordToPixel(rx[i]), y->coordToPixel(ry[i]));
                    if (rx[i] > range.upper) break;
                }
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
                const double py = y0 + yScale * series.Y[i];
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
            const QRectF box(px, area.top(), metrics.horizontalAdvance(text) + 2, metrics.height() + 2);
            painter->setPen(Qt::NoPen);
            painter->setBrush(Qt::black);
            painter->drawRect(box);
            painter->setPen(Qt::white);
            painter->drawText(box, Qt::AlignCenter, text);
        }
        // Violation codes at the top of the main panel, each with an arrow down to its position.
        if (first_ && !scene_->Codes.empty()) {
            const double arrow = scene_->CodeArrow;
            const double top = area.top() + metrics.height() + 4;
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
                lastRight = px + w / 2;
                ++it;
                painter->setPen(QPen(Qt::black, 1));
                painter->drawLine(QPointF(px, top), QPointF(px, top + arrow));
                painter->drawLine(QPointF(px, top + arrow), QPointF(px - 3, top + arrow - 4));
                painter->drawLine(QPointF(px, top + arrow), QPointF(px + 3, top + arrow - 4));
                const QRectF box(px - w / 2, top - metrics.height() - 1, w, metrics.height());
                painter->setPen(QPen(Qt::black, 1));
                painter->setBrush(QColor(255, 255, 224));
                painter->drawRect(box);
                painter->drawText(box, Qt::AlignCenter, text);
            }
        }
        // Point labels beside their points.
        if (panel_ < 2) {
            painter->setPen(Qt::black);
            for (const TTextMark& label : scene_->Labels[panel_]) {
                if (label.X < range.lower || label.X > range.upper || IsGap(label.Y)) continue;
                const QPointF at(x->coordToPixel(label.X) + 6, y->coordToPixel(label.Y) - 6);
                painter->drawText(at, QString::fromStdString(label.Text));
            }
        }
    }

    const TChartScene* scene_;
    QCPAxisRect* rect_;
    int panel_;
    Part part_;
    bool first_;
};

TChartView::TChartView(QWidget* parent) : QCustomPlot(parent) {
    setObjectName("Chart");
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phCacheLabels, true);
    addLayer("zones", layer("grid"), QCustomPlot::limAbove);
    addLayer("lines", layer("zones"), QCustomPlot::limAbove);
    addLayer("joins", layer("lines"), QCustomPlot::limAbove);
    addLayer("marks", layer("main"), QCustomPlot::limAbove);
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
        if (p < static_cast<int>(scene_.Panels.size())) {
            const TScenePanel& panel = scene_.Panels[static_cast<std::size_t>(p)];
            y->setLabel(QString::fromStdString(panel.Title));
            if (panel.Decimals >= 0) {
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
        connect(y, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
            if (settingRanges_ || zoomed_) return;
            zoomed_ = true;
            emit zoomChanged(true);
        });
        rects_.push_back(rect);
        layers_.push_back(new TSceneLayer(this, &scene_, rect, p, TSceneLayer::Part::Zones, "zones", p == 0));
        layers_.push_back(new TSceneLayer(this, &scene_, rect, p, TSceneLayer::Part::Lines, "lines", p == 0));
        layers_.push_back(new TSceneLayer(this, &scene_, rect, p, TSceneLayer::Part::Points, "main", p == 0));
        layers_.push_back(new TSceneLayer(this, &scene_, rect, p, TSceneLayer::Part::Marks, "marks", p == 0));
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
                    j.data.push_back(QCPGraphData(series.X[i - 1], series.Y[i - 1]));
                }
                j.data.push_back(QCPGraphData(series.X[i], series.Y[i]));
                lastJoined[color] = i;
            }
        }
        for (auto& [key, batch] : joins)
            batch.graph->data()->set(batch.data, true);
    }
    ApplyRanges();
    FitTickCount();
}

void TChartView::ApplyRanges() {
    settingRanges_ = true;
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        rects_[p]->axis(QCPAxis::atBottom)->setRange(scene_.XMin, scene_.XMax);
        if (p < scene_.Panels.size())
            rects_[p]->axis(QCPAxis::atLeft)->setRange(scene_.Panels[p].YMin, scene_.Panels[p].YMax);
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

void TChartView::ZoomOut() {
    ApplyRanges();
    zoomed_ = false;
    emit zoomChanged(false);
    replot();
}

void TChartView::FitTickCount() {
    if (rects_.empty()) return;
    QCPAxis* x = rects_.back()->axis(QCPAxis::atBottom);
    const QFontMetrics metrics(x->tickLabelFont());
    int widest = metrics.horizontalAdvance("0000");
    // Measure a sample of the labels; they are alike in length.
    const std::size_t n = scene_.XLabels.size();
    for (std::size_t i = 0; i < n; i += std::max<std::size_t>(1, n / 50))
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(scene_.XLabels[i])));
    const int room = scene_.XLabelAngle != 0 ? metrics.height() * 2 : widest + 12;
    const int count = std::max(2, rects_.back()->width() / std::max(room, 1));
    x->ticker()->setTickCount(count);
}

void TChartView::resizeEvent(QResizeEvent* event) {
    QCustomPlot::resizeEvent(event);
    FitTickCount();
}

std::optional<TChartHit> TChartView::HitAt(const QPointF& pos) const {
    std::optional<TChartHit> best;
    double bestDistance = kHitPixels;
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        QCPAxisRect* rect = rects_[p];
        if (!rect->rect().contains(pos.toPoint())) continue;
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        const double dataX = x->pixelToCoord(pos.x());
        const double slack = std::fabs(x->pixelToCoord(pos.x() + kHitPixels) - dataX);
        for (const TPointSeries& series : scene_.Points) {
            if (series.Panel != static_cast<int>(p) || series.Title.empty()) continue;
            auto first = std::lower_bound(series.X.begin(), series.X.end(), dataX - slack);
            for (auto it = first; it != series.X.end() && *it <= dataX + slack; ++it) {
                const auto i = static_cast<std::size_t>(it - series.X.begin());
                if (IsGap(series.Y[i])) continue;
                const double d =
                    std::hypot(x->coordToPixel(*it) - pos.x(), y->coordToPixel(series.Y[i]) - pos.y());
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
                const double d = std::fabs(y->coordToPixel(ry[i]) - pos.y());
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
