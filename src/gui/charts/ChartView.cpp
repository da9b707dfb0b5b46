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

QPen ScenePen(TSceneColor color, double width, TLineStyle style) {
    if (color == kNoColor) return Qt::NoPen;
    return QPen(SceneColor(color), width, PenStyleOf(style), Qt::FlatCap, Qt::MiterJoin);
}

QBrush SceneBrush(TSceneColor color) {
    return color == kNoColor ? QBrush(Qt::NoBrush) : QBrush(SceneColor(color));
}

// A step of 1, 2, 5, 10, 20, 50 ... at least `raw`.
double NiceIntegerStep(double raw) {
    if (!(raw > 1)) return 1;
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * magnitude >= raw) return f * magnitude;
    return 10 * magnitude;
}

// The label of a tick the scene gives at `tick`; empty when there is none there.
QString GivenLabel(const TSceneTicks& ticks, double tick) {
    const auto& at = ticks.At;
    const auto it = std::lower_bound(at.begin(), at.end(), tick - 1e-9 * std::max(1.0, std::fabs(tick)));
    if (it == at.end() || std::fabs(*it - tick) > 1e-6 * std::max(1.0, std::fabs(tick))) return {};
    const auto i = static_cast<std::size_t>(it - at.begin());
    return i < ticks.Labels.size() ? QString::fromStdString(ticks.Labels[i]) : QString();
}

// Ticks at the positions of the scene's labels, every step-th label so that they do not
// overlap; the tick count is set by the view from the axis width.
class TPositionTicker : public QCPAxisTicker {
public:
    explicit TPositionTicker(std::shared_ptr<const TSceneTicks> ticks) : ticks_(std::move(ticks)) {}

protected:
    double getTickStep(const QCPRange& range) override {
        return NiceIntegerStep(range.size() / std::max(tickCount(), 1));
    }
    int getSubTickCount(double) override { return 0; }
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override {
        QVector<double> ticks;
        const auto& at = ticks_->At;
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
        return GivenLabel(*ticks_, tick);
    }

private:
    std::shared_ptr<const TSceneTicks> ticks_;
};

// The ticks the scene gives (probability and logarithmic scales), labelled as given. Where they
// stand closer than their labels need, the view sets a least distance and the ticker keeps, from
// the tick nearest the middle outwards, every tick at least that far from the last one kept.
class TGivenTicker : public QCPAxisTicker {
public:
    explicit TGivenTicker(std::shared_ptr<const TSceneTicks> ticks) : ticks_(std::move(ticks)) {}
    void SetLeastDistance(double distance) { least_ = distance; }
    double LeastDistance() const { return least_; }

protected:
    int getSubTickCount(double) override { return 0; }
    QVector<double> createTickVector(double, const QCPRange& range) override {
        std::vector<double> in;
        for (double v : ticks_->At)
            if (v >= range.lower && v <= range.upper) in.push_back(v);
        if (in.empty() || !(least_ > 0)) return QVector<double>(in.begin(), in.end());
        const double middle = range.center();
        const auto centre = std::min_element(in.begin(), in.end(), [&](double a, double b) {
            return std::fabs(a - middle) < std::fabs(b - middle);
        });
        std::vector<double> kept{*centre};
        for (auto it = centre + 1; it != in.end(); ++it)
            if (*it - kept.back() >= least_) kept.push_back(*it);
        double last = *centre;
        for (auto it = std::make_reverse_iterator(centre); it != in.rend(); ++it)
            if (last - *it >= least_) kept.push_back(last = *it);
        std::sort(kept.begin(), kept.end());
        return QVector<double>(kept.begin(), kept.end());
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return GivenLabel(*ticks_, tick);
    }

private:
    std::shared_ptr<const TSceneTicks> ticks_;
    double least_ = 0;
};

// Values an axis can take as they are; beyond them the renderer draws the panel in units of a
// power of ten (QCustomPlot refuses ranges past about 1e250 or narrower than 1e-280).
constexpr double kPlainAxisLimit = 1e200;
// From here on the axis labels take the exponent form.
constexpr double kExponentLabels = 1e15;

double AxisScale(const TSceneAxis& axis) {
    if (axis.Ticks) return 1;
    const double largest = std::max(std::fabs(axis.Min), std::fabs(axis.Max));
    if (!std::isfinite(largest) || largest == 0) return 1;
    if (largest > kPlainAxisLimit || largest < 1 / kPlainAxisLimit)
        return std::pow(10.0, std::floor(std::log10(largest)));
    return 1;
}

// Axis labels of a panel drawn in units of `scale`: the values they stand for, with an exponent.
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

// The scene's axis on a QCustomPlot axis: its ticker, number format, title and label angle.
void SetUpAxis(QCPAxis* axis, const TSceneAxis& scene, double scale) {
    axis->setLabel(QString::fromStdString(scene.Title));
    if (scene.Kind == TAxisKind::Positions && scene.Ticks)
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new TPositionTicker(scene.Ticks)));
    else if (scene.Ticks)
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new TGivenTicker(scene.Ticks)));
    else if (scale != 1)
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new TScaledTicker(scale)));
    else if (std::max(std::fabs(scene.Min), std::fabs(scene.Max)) >= kExponentLabels) {
        axis->setNumberFormat("g");
        axis->setNumberPrecision(6);
    } else if (scene.Decimals >= 0) {
        axis->setNumberFormat("f");
        axis->setNumberPrecision(scene.Decimals);
    } else {
        axis->setNumberFormat("g");
        axis->setNumberPrecision(10);
    }
    // The scene counts angles anticlockwise, QCustomPlot clockwise (from -90 to 90).
    double rotation = std::fmod(-static_cast<double>(scene.LabelAngle), 360.0);
    if (rotation <= -180) rotation += 360;
    if (rotation > 180) rotation -= 360;
    axis->setTickLabelRotation(std::clamp(rotation, -90.0, 90.0));
    axis->setVisible(scene.Visible);
}

// The band at the top of a panel that holds the set labels and the violation codes, above every
// point: the set labels' row, then the code boxes with their arrows, then the data.
struct TMarkBand {
    double LabelTop = 0, LabelBottom = 0;
    double CodeTop = 0, CodeBottom = 0, ArrowTip = 0;
    double DataTop = 0; // no point reaches above this
};

bool HasCodes(const TChartScene& scene, int panel) {
    return std::any_of(scene.Codes.begin(), scene.Codes.end(),
                       [&](const TTextMark& m) { return m.Panel == panel; });
}

TMarkBand MarkBandOf(const TChartScene& scene, int panel, const QFontMetricsF& metrics, double top) {
    TMarkBand band;
    double y = band.LabelTop = band.LabelBottom = top;
    const bool labels = panel == 0 && !scene.Separators.empty();
    const bool codes = HasCodes(scene, panel);
    if (labels) y = band.LabelBottom = top + metrics.height() + 2;
    band.CodeTop = band.CodeBottom = band.ArrowTip = y;
    if (codes) {
        band.CodeTop = y + 2;
        band.CodeBottom = band.CodeTop + metrics.height();
        y = band.ArrowTip = band.CodeBottom + scene.CodeArrow;
    }
    band.DataTop = y;
    if (labels || codes) {
        // The largest marker of the panel stays clear of the band.
        double radius = 0;
        for (const TPointSeries& series : scene.Points)
            if (series.Panel == panel) radius = std::max(radius, series.Size + 1.5);
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

// Builds a polyline from vertices in x order. Vertices that fall into one pixel column keep only
// the column's first, lowest, highest and last: the stroke looks the same, and a step line over
// a million points costs what its pixels cost.
class TColumnPolyline {
public:
    explicit TColumnPolyline(QPolygonF& out) : out_(out) {}
    ~TColumnPolyline() { Flush(); }
    TColumnPolyline(const TColumnPolyline&) = delete;
    TColumnPolyline& operator=(const TColumnPolyline&) = delete;

    void Add(QPointF p) {
        const double column = std::floor(p.x());
        if (count_ == 0 || column != column_) {
            Flush();
            column_ = column;
            first_ = low_ = high_ = last_ = p;
            lowAt_ = highAt_ = count_ = 1;
            return;
        }
        ++count_;
        if (p.y() < low_.y()) {
            low_ = p;
            lowAt_ = count_;
        }
        if (p.y() > high_.y()) {
            high_ = p;
            highAt_ = count_;
        }
        last_ = p;
    }
    void Flush() {
        if (count_ == 0) return;
        out_ << first_;
        const auto add = [this](QPointF p, int at) {
            if (at > 1 && at < count_) out_ << p;
        };
        if (lowAt_ < highAt_) {
            add(low_, lowAt_);
            add(high_, highAt_);
        } else {
            add(high_, highAt_);
            add(low_, lowAt_);
        }
        if (count_ > 1) out_ << last_;
        count_ = 0;
    }

private:
    QPolygonF& out_;
    double column_ = 0;
    QPointF first_, low_, high_, last_;
    int lowAt_ = 0, highAt_ = 0, count_ = 0;
};

// A long polyline stroked in pieces: a wide pen's outline of thousands of vertices that cross
// each other (a step line packed into pixel columns) fills far faster piece by piece.
void DrawInPieces(QPainter* painter, const QPolygonF& polygon) {
    constexpr qsizetype kPiece = 64;
    if (polygon.size() <= 4 * kPiece) {
        painter->drawPolyline(polygon);
        return;
    }
    for (qsizetype from = 0; from + 1 < polygon.size(); from += kPiece)
        painter->drawPolyline(polygon.constData() + from,
                              static_cast<int>(std::min(kPiece + 1, polygon.size() - from)));
}

// The distance from p to the segment a-b, and the parameter (0 at a, 1 at b) of its nearest point.
std::pair<double, double> SegmentDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF d = b - a;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    double t = 0;
    if (length2 > 0) t = std::clamp(((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / length2, 0.0, 1.0);
    const QPointF nearest = a + t * d;
    return {std::hypot(p.x() - nearest.x(), p.y() - nearest.y()), t};
}

QFont FontOf(TFontRole role, const QFont& labels) {
    switch (role) {
    case TFontRole::Small: {
        QFont f = labels;
        f.setPointSizeF(std::max(5.0, labels.pointSizeF() - 1));
        return f;
    }
    case TFontRole::Fixed: {
        QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        f.setPointSizeF(labels.pointSizeF());
        return f;
    }
    case TFontRole::Title: {
        QFont f = labels;
        f.setPointSizeF(labels.pointSizeF() + 2);
        f.setBold(true);
        return f;
    }
    default: return labels;
    }
}

} // namespace

// Places the panels in the scene's grid: rows and columns share the height and width by their
// weights (each at least as large as its panels need), a panel covers its span of cells.
class TPanelGrid : public QCPLayout {
public:
    TPanelGrid() = default;
    ~TPanelGrid() override { clear(); }

    void Add(QCPLayoutElement* element, const TScenePanel& panel) {
        cells_.push_back({element, std::max(panel.Row, 0), std::max(panel.Column, 0),
                          std::max(panel.RowSpan, 1), std::max(panel.ColumnSpan, 1)});
        adoptElement(element);
    }
    void SetWeights(std::vector<double> rows, std::vector<double> columns, int spacing) {
        rows_ = std::move(rows);
        columns_ = std::move(columns);
        spacing_ = std::max(spacing, 0);
    }
    void SetRowWeight(std::size_t row, double weight) {
        if (row >= rows_.size()) rows_.resize(row + 1, 1);
        rows_[row] = weight;
    }

    int elementCount() const override { return static_cast<int>(cells_.size()); }
    QCPLayoutElement* elementAt(int index) const override {
        return index >= 0 && index < elementCount() ? cells_[static_cast<std::size_t>(index)].Element
                                                    : nullptr;
    }
    QCPLayoutElement* takeAt(int index) override {
        QCPLayoutElement* element = elementAt(index);
        if (!element) return nullptr;
        releaseElement(element);
        cells_.erase(cells_.begin() + index);
        return element;
    }
    bool take(QCPLayoutElement* element) override {
        for (int i = 0; i < elementCount(); ++i)
            if (cells_[static_cast<std::size_t>(i)].Element == element) return takeAt(i) != nullptr;
        return false;
    }
    QSize minimumOuterSizeHint() const override {
        const auto [minW, minH] = Minimums();
        int w = spacing_ * std::max<int>(0, static_cast<int>(minW.size()) - 1);
        int h = spacing_ * std::max<int>(0, static_cast<int>(minH.size()) - 1);
        for (int v : minW)
            w += v;
        for (int v : minH)
            h += v;
        return {w, h};
    }

protected:
    void updateLayout() override {
        const auto [minW, minH] = Minimums();
        const auto sizes = [this](const QVector<int>& mins, const std::vector<double>& weights, int total) {
            const int n = static_cast<int>(mins.size());
            QVector<double> stretch(n, 1);
            for (int i = 0; i < n && i < static_cast<int>(weights.size()); ++i)
                stretch[i] = std::max(weights[static_cast<std::size_t>(i)], 0.01);
            return getSectionSizes(QVector<int>(n, QWIDGETSIZE_MAX), mins, stretch,
                                   total - spacing_ * std::max(0, n - 1));
        };
        const QVector<int> widths = sizes(minW, columns_, mRect.width());
        const QVector<int> heights = sizes(minH, rows_, mRect.height());
        const auto start = [this](const QVector<int>& s, int index, int origin) {
            for (int i = 0; i < index && i < s.size(); ++i)
                origin += s[i] + spacing_;
            return origin;
        };
        const auto span = [this](const QVector<int>& s, int index, int count) {
            int total = 0;
            for (int i = index; i < index + count && i < s.size(); ++i)
                total += s[i] + (i > index ? spacing_ : 0);
            return total;
        };
        for (const Cell& c : cells_)
            c.Element->setOuterRect(
                QRect(start(widths, c.Column, mRect.left()), start(heights, c.Row, mRect.top()),
                      span(widths, c.Column, c.ColumnSpan), span(heights, c.Row, c.RowSpan)));
    }

private:
    struct Cell {
        QCPLayoutElement* Element;
        int Row, Column, RowSpan, ColumnSpan;
    };
    // The smallest width of every column and height of every row their single-cell panels need.
    std::pair<QVector<int>, QVector<int>> Minimums() const {
        int rows = static_cast<int>(rows_.size()), columns = static_cast<int>(columns_.size());
        for (const Cell& c : cells_) {
            rows = std::max(rows, c.Row + c.RowSpan);
            columns = std::max(columns, c.Column + c.ColumnSpan);
        }
        QVector<int> minW(columns, 0), minH(rows, 0);
        for (const Cell& c : cells_) {
            const QSize min = getFinalMinimumOuterSize(c.Element);
            if (c.ColumnSpan == 1) minW[c.Column] = std::max(minW[c.Column], min.width());
            if (c.RowSpan == 1) minH[c.Row] = std::max(minH[c.Row], min.height());
        }
        return {minW, minH};
    }

    std::vector<Cell> cells_;
    std::vector<double> rows_, columns_;
    int spacing_ = 0;
};

// Draws one part of the scene into one axis rect, only what lies in the visible x range.
class TSceneLayer : public QCPLayerable {
public:
    enum class Part { Zones, Lines, Points, Marks };
    TSceneLayer(QCustomPlot* plot, const TChartScene* scene, QCPAxisRect* rect, int panel, Part part,
                const QString& layer, double scale)
        : QCPLayerable(plot, layer), scene_(scene), rect_(rect), panel_(panel), part_(part), scale_(scale) {}

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
        case Part::Zones:
            DrawZones(painter, x, y);
            DrawBars(painter, x, y);
            break;
        case Part::Lines:
            DrawLines(painter, x, y);
            DrawReferences(painter, x, y);
            break;
        case Part::Points: DrawPoints(painter, x, y); break;
        case Part::Marks:
            placed_.clear();
            DrawSeparatorsAndCodes(painter, x, y);
            DrawReferenceLabels(painter, x, y);
            DrawTexts(painter, x, y);
            DrawLegend(painter);
            break;
        }
    }

private:
    QRectF Box(QCPAxis* x, QCPAxis* y, double x0, double x1, double y0, double y1) const {
        return QRectF(QPointF(x->coordToPixel(x0), y->coordToPixel(y1 / scale_)),
                      QPointF(x->coordToPixel(x1), y->coordToPixel(y0 / scale_)))
            .normalized();
    }

    // Zone bands narrower than a pixel are joined per pixel column and colour, so that a million
    // positions paint what their pixels show.
    void DrawZones(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        painter->setPen(Qt::NoPen);
        std::vector<std::pair<TSceneColor, QRectF>> pending;
        double column = qQNaN();
        const auto flush = [&] {
            for (const auto& [color, box] : pending) {
                painter->setBrush(SceneColor(color));
                painter->drawRect(box);
            }
            pending.clear();
        };
        for (const TZoneRect& z : scene_->Zones) {
            if (z.Panel != panel_ || z.X1 < range.lower || z.X0 > range.upper) continue;
            const QRectF box = Box(x, y, z.X0, z.X1, z.Y0, z.Y1);
            if (box.width() >= 1) {
                flush();
                painter->setBrush(SceneColor(z.Color));
                painter->drawRect(box);
                continue;
            }
            if (std::floor(box.left()) != column) {
                flush();
                column = std::floor(box.left());
            }
            const auto same = std::find_if(pending.begin(), pending.end(),
                                           [&](const auto& p) { return p.first == z.Color; });
            if (same == pending.end())
                pending.emplace_back(z.Color, box);
            else
                same->second = same->second.united(box);
        }
        flush();
    }

    void DrawBars(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        for (const TSceneBar& bar : scene_->Bars) {
            if (bar.Panel != panel_ || std::max(bar.X0, bar.X1) < range.lower ||
                std::min(bar.X0, bar.X1) > range.upper)
                continue;
            painter->setBrush(SceneBrush(bar.Fill));
            painter->setPen(bar.Outline == kNoColor ? QPen(Qt::NoPen) : QPen(SceneColor(bar.Outline), 1));
            painter->drawRect(Box(x, y, bar.X0, bar.X1, bar.Y0, bar.Y1));
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
            const QPen pen = ScenePen(line.Color, line.Width, line.Style);
            const QPen edge(Qt::white, line.Width + 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            painter->setBrush(Qt::NoBrush);
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                if (rx.empty() || rx.back() < range.lower || rx.front() > range.upper) continue;
                polygon.clear();
                {
                    TColumnPolyline columns(polygon);
                    for (std::size_t i = FirstVisible(rx, range.lower); i < rx.size(); ++i) {
                        columns.Add(QPointF(x->coordToPixel(rx[i]), y->coordToPixel(ry[i] / scale_)));
                        if (rx[i] > range.upper) break;
                    }
                }
                if (crowded) {
                    painter->setPen(edge);
                    DrawInPieces(painter, polygon);
                }
                painter->setPen(pen);
                DrawInPieces(painter, polygon);
            }
        }
    }

    void DrawReferences(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QRect area = rect_->rect();
        painter->setBrush(Qt::NoBrush);
        for (const TReferenceLine& ref : scene_->References) {
            if (ref.Panel != panel_) continue;
            painter->setPen(ScenePen(ref.Color, ref.Width, ref.Style));
            if (ref.Vertical) {
                const double px = x->coordToPixel(ref.Value);
                if (px < area.left() || px > area.right()) continue;
                painter->drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
            } else {
                const double py = y->coordToPixel(ref.Value / scale_);
                if (py < area.top() || py > area.bottom()) continue;
                painter->drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
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

    void DrawSeparatorsAndCodes(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QCPRange range = x->range();
        const QRect area = rect_->rect();
        const QFont font = x->tickLabelFont();
        painter->setFont(font);
        const QFontMetricsF metrics(font);
        const TMarkBand band = MarkBandOf(*scene_, panel_, metrics, area.top());
        // Set separators: a black line across the panel and, in the top panel, the set's label.
        for (const TSeparator& sep : scene_->Separators) {
            if (!scene_->Crosses(sep, panel_)) continue;
            if (sep.X < range.lower - 0.5 || sep.X > range.upper) continue;
            const double px = std::max(x->coordToPixel(sep.X), static_cast<double>(area.left()));
            const double leftEdge = panel_ < static_cast<int>(scene_->Panels.size())
                                        ? scene_->Panels[static_cast<std::size_t>(panel_)].X.Min
                                        : -HUGE_VAL;
            if (sep.X > leftEdge) {
                painter->setPen(QPen(Qt::black, scene_->SeparatorWidth));
                painter->drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
            }
            if (panel_ != 0) continue;
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
        const auto byX = [](const TTextMark& m, double v) { return m.X < v; };
        double lastRight = -HUGE_VAL;
        auto it = std::lower_bound(scene_->Codes.begin(), scene_->Codes.end(), range.lower, byX);
        while (it != scene_->Codes.end() && it->X <= range.upper) {
            const TTextMark& code = *it;
            if (code.Panel != panel_) {
                ++it;
                continue;
            }
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
        // Point labels beside their points, on whichever side keeps them inside the plot (and
        // below the band of the marks).
        painter->setPen(Qt::black);
        for (const TTextMark& label : scene_->PointLabels) {
            if (label.Panel != panel_ || label.X < range.lower || label.X > range.upper || IsGap(label.Y))
                continue;
            const QString text = QString::fromStdString(label.Text);
            const QRectF box = PointLabelBox(metrics, text, x->coordToPixel(label.X),
                                             y->coordToPixel(label.Y / scale_), area, band.DataTop);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text);
        }
    }

    // A reference line's label at the end of the line the scene names, inside the panel.
    void DrawReferenceLabels(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QRect area = rect_->rect();
        const QFont font = x->tickLabelFont();
        painter->setFont(font);
        const QFontMetricsF metrics(font);
        // Labels of lines close together step aside (down from the top, up from the bottom, to
        // the other side of a horizontal line) so that none covers another.
        std::vector<QRectF> placed;
        const auto clear = [&](const QRectF& box) {
            return std::none_of(placed.begin(), placed.end(),
                                [&](const QRectF& p) { return p.intersects(box); });
        };
        for (const TReferenceLine& ref : scene_->References) {
            if (ref.Panel != panel_ || ref.Label.empty()) continue;
            const QString text = QString::fromStdString(ref.Label);
            const double w = metrics.horizontalAdvance(text) + 2, h = metrics.height();
            QRectF box;
            if (ref.Vertical) {
                const double px = x->coordToPixel(ref.Value);
                if (px < area.left() || px > area.right()) continue;
                // Right of the line, or left of it where the panel ends or another line would
                // cross the label there.
                const auto crossed = [&](double from, double to) {
                    return std::any_of(scene_->References.begin(), scene_->References.end(),
                                       [&](const TReferenceLine& other) {
                                           if (&other == &ref || other.Panel != panel_ || !other.Vertical)
                                               return false;
                                           const double ox = x->coordToPixel(other.Value);
                                           return ox >= from && ox <= to;
                                       });
                };
                const bool rightFits = px + 3 + w <= area.right() && !crossed(px + 1, px + 3 + w);
                const bool leftFits = px - 3 - w >= area.left() && !crossed(px - 3 - w, px - 1);
                const double left =
                    rightFits || !leftFits ? (px + 3 + w <= area.right() ? px + 3 : px - 3 - w) : px - 3 - w;
                const bool atTop = ref.Place == TLabelPlace::End;
                box = QRectF(left, atTop ? area.top() + 2 : area.bottom() - 2 - h, w, h);
                for (int step = 0; step < 8 && !clear(box); ++step)
                    box.translate(0, atTop ? h : -h);
            } else {
                const double py = y->coordToPixel(ref.Value / scale_);
                if (py < area.top() || py > area.bottom()) continue;
                const double left = ref.Place == TLabelPlace::End ? area.right() - 3 - w : area.left() + 3;
                box = QRectF(left, py - 2 - h >= area.top() ? py - 2 - h : py + 2, w, h);
                if (!clear(box)) box.moveTop(py + 2);
                for (int step = 0; step < 8 && !clear(box); ++step)
                    box.translate(ref.Place == TLabelPlace::End ? -w - 4 : w + 4, 0);
            }
            placed_.push_back(box);
            painter->setPen(SceneColor(ref.Color == kNoColor ? kColorBlack : ref.Color));
            painter->drawText(box, Qt::AlignCenter | Qt::TextDontClip, text);
        }
    }

    void DrawTexts(QCPPainter* painter, QCPAxis* x, QCPAxis* y) {
        const QRect area = rect_->rect();
        for (const TTextBox& box : scene_->Texts) {
            if (box.Panel != panel_ || box.Lines.empty()) continue;
            const QFont font = FontOf(box.Font, x->tickLabelFont());
            const QFontMetricsF metrics(font);
            QStringList lines;
            double w = 0;
            for (const std::string& line : box.Lines) {
                lines << QString::fromStdString(line);
                w = std::max(w, metrics.horizontalAdvance(lines.back()));
            }
            const double pad = box.Frame ? 4 : 1;
            const double h = metrics.lineSpacing() * static_cast<double>(lines.size()) + 2 * pad;
            w += 2 * pad;
            constexpr double kInset = 6;
            QPointF topLeft;
            switch (box.Anchor) {
            case TTextAnchor::TopLeft: topLeft = QPointF(area.left() + kInset, area.top() + kInset); break;
            case TTextAnchor::TopRight:
                topLeft = QPointF(area.right() - kInset - w, area.top() + kInset);
                break;
            case TTextAnchor::BottomLeft:
                topLeft = QPointF(area.left() + kInset, area.bottom() - kInset - h);
                break;
            case TTextAnchor::BottomRight:
                topLeft = QPointF(area.right() - kInset - w, area.bottom() - kInset - h);
                break;
            case TTextAnchor::Point: {
                const double px = x->coordToPixel(box.X), py = y->coordToPixel(box.Y / scale_);
                topLeft = QPointF(px + kInset, py - kInset - h);
                if (topLeft.x() + w > area.right()) topLeft.setX(px - kInset - w);
                if (topLeft.y() < area.top()) topLeft.setY(py + kInset);
                break;
            }
            }
            QRectF rect(topLeft, QSizeF(w, h));
            // A box at a corner steps away from the labels of reference lines it would cover.
            const bool fromBottom =
                box.Anchor == TTextAnchor::BottomLeft || box.Anchor == TTextAnchor::BottomRight;
            for (int step = 0; step < 20 && box.Anchor != TTextAnchor::Point && !Clear(rect); ++step)
                rect.translate(0, fromBottom ? -metrics.height() / 2 : metrics.height() / 2);
            placed_.push_back(rect);
            if (box.Frame) {
                painter->setPen(QPen(Qt::black, 1));
                painter->setBrush(Qt::white);
                painter->drawRect(rect);
            }
            painter->setFont(font);
            painter->setPen(SceneColor(box.Color));
            double lineTop = rect.top() + pad;
            for (const QString& line : lines) {
                painter->drawText(QRectF(rect.left() + pad, lineTop, w - 2 * pad, metrics.height()),
                                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, line);
                lineTop += metrics.lineSpacing();
            }
        }
    }

    // The legend of the panel's series at its top right corner: a sample of each series' look and
    // its entry.
    void DrawLegend(QCPPainter* painter) {
        struct Entry {
            QString Text;
            const TLineSeries* Line = nullptr;
            const TPointSeries* Points = nullptr;
        };
        std::vector<Entry> entries;
        for (const TLineSeries& line : scene_->Lines)
            if (line.Panel == panel_ && !line.Legend.empty())
                entries.push_back({QString::fromStdString(line.Legend), &line, nullptr});
        for (const TPointSeries& series : scene_->Points)
            if (series.Panel == panel_ && !series.Legend.empty())
                entries.push_back({QString::fromStdString(series.Legend), nullptr, &series});
        if (entries.empty()) return;
        const QRect area = rect_->rect();
        const QFont font = rect_->axis(QCPAxis::atBottom)->tickLabelFont();
        const QFontMetricsF metrics(font);
        constexpr double kSample = 22, kPad = 4;
        double w = 0;
        for (const Entry& e : entries)
            w = std::max(w, metrics.horizontalAdvance(e.Text));
        w += kSample + 3 * kPad;
        const double h = metrics.height() * static_cast<double>(entries.size()) + 2 * kPad;
        const double top = MarkBandOf(*scene_, panel_, metrics, area.top()).DataTop + kPad;
        // The first corner (top right, top left, bottom right, bottom left) where the box hides
        // no point and no line; else the one that hides least. It steps clear of labels and boxes.
        const QRectF corners[] = {QRectF(area.right() - 6 - w, top, w, h), QRectF(area.left() + 6, top, w, h),
                                  QRectF(area.right() - 6 - w, area.bottom() - 6 - h, w, h),
                                  QRectF(area.left() + 6, area.bottom() - 6 - h, w, h)};
        QRectF box = corners[0];
        std::size_t fewest = SIZE_MAX;
        for (QRectF corner : corners) {
            const bool fromBottom = corner.top() > top;
            for (int step = 0; step < 20 && !Clear(corner); ++step)
                corner.translate(0, fromBottom ? -metrics.height() / 2 : metrics.height() / 2);
            const std::size_t hidden = Covered(corner);
            if (hidden < fewest) {
                fewest = hidden;
                box = corner;
            }
            if (hidden == 0) break;
        }
        placed_.push_back(box);
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::white);
        painter->drawRect(box);
        painter->setFont(font);
        double y = box.top() + kPad;
        for (const Entry& e : entries) {
            const double mid = y + metrics.height() / 2;
            const double sx = box.left() + kPad;
            if (e.Line) {
                painter->setPen(ScenePen(e.Line->Color, e.Line->Width, e.Line->Style));
                painter->drawLine(QPointF(sx, mid), QPointF(sx + kSample, mid));
            } else {
                const QColor color =
                    SceneColor(e.Points->Colors.empty() ? kColorBlack : e.Points->Colors.front());
                painter->setPen(QPen(color, 1));
                painter->setBrush(color);
                painter->drawEllipse(QPointF(sx + kSample / 2, mid), e.Points->Size, e.Points->Size);
            }
            painter->setPen(Qt::black);
            painter->drawText(QRectF(sx + kSample + kPad, y, w, metrics.height()),
                              Qt::AlignLeft | Qt::AlignVCenter, e.Text);
            y += metrics.height();
        }
    }

    // How many of the panel's points and line vertices a box in its pixels would hide.
    std::size_t Covered(const QRectF& box) const {
        QCPAxis* x = rect_->axis(QCPAxis::atBottom);
        QCPAxis* y = rect_->axis(QCPAxis::atLeft);
        const double x0 = x->pixelToCoord(box.left()), x1 = x->pixelToCoord(box.right());
        const double lo = std::min(x0, x1), hi = std::max(x0, x1);
        const double yA = y->pixelToCoord(box.top()) * scale_, yB = y->pixelToCoord(box.bottom()) * scale_;
        const double yLo = std::min(yA, yB), yHi = std::max(yA, yB);
        std::size_t n = 0;
        const auto inside = [&](double vy) { return vy >= yLo && vy <= yHi; };
        for (const TPointSeries& series : scene_->Points) {
            if (series.Panel != panel_) continue;
            const auto first = std::lower_bound(series.X.begin(), series.X.end(), lo);
            for (auto it = first; it != series.X.end() && *it <= hi; ++it)
                n += inside(series.Y[static_cast<std::size_t>(it - series.X.begin())]);
        }
        // Every segment of a line that crosses the box, found in pixels.
        const auto crosses = [&](QPointF a, QPointF b) {
            if (box.contains(a) || box.contains(b)) return true;
            const QLineF segment(a, b);
            const QLineF edges[] = {
                QLineF(box.topLeft(), box.topRight()), QLineF(box.topRight(), box.bottomRight()),
                QLineF(box.bottomRight(), box.bottomLeft()), QLineF(box.bottomLeft(), box.topLeft())};
            return std::any_of(std::begin(edges), std::end(edges), [&](const QLineF& edge) {
                return segment.intersects(edge, nullptr) == QLineF::BoundedIntersection;
            });
        };
        for (const TLineSeries& line : scene_->Lines) {
            if (line.Panel != panel_) continue;
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                for (std::size_t i = FirstVisible(rx, lo); i + 1 < rx.size() && rx[i] <= hi; ++i)
                    n += crosses(QPointF(x->coordToPixel(rx[i]), y->coordToPixel(ry[i] / scale_)),
                                 QPointF(x->coordToPixel(rx[i + 1]), y->coordToPixel(ry[i + 1] / scale_)));
            }
        }
        return n;
    }

    // True when the box covers none of the labels and boxes the marks placed so far.
    bool Clear(const QRectF& box) const {
        return std::none_of(placed_.begin(), placed_.end(),
                            [&](const QRectF& p) { return p.intersects(box); });
    }

    const TChartScene* scene_;
    QCPAxisRect* rect_;
    int panel_;
    Part part_;
    double scale_;
    std::vector<QRectF> placed_;
};

TChartView::TChartView(QWidget* parent) : QCustomPlot(parent) {
    setObjectName("Chart");
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phCacheLabels, true);
    // Zones and bars, then the lines joining points and the markers, then the limit, centre and
    // other lines over them (a dense chart would bury them otherwise), then the marks and texts.
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
    SetScene(std::make_shared<const TChartScene>(std::move(scene)));
}

void TChartView::SetScene(std::shared_ptr<const TChartScene> scene) {
    scene_ = scene ? std::move(scene) : std::make_shared<const TChartScene>();
    // A new scene is a new picture: the titles edited for the last one go with it.
    rowWeights_.clear();
    overrides_ = {};
    Build();
    zoomed_ = false;
    emit zoomChanged(false);
    replot(rpQueuedReplot);
}

void TChartView::MarkZoomed() {
    if (zoomed_) return;
    zoomed_ = true;
    emit zoomChanged(true);
}

void TChartView::LinkX(int panel, QCPAxis* x) {
    connect(
        x, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this, panel](const QCPRange& range) {
            if (settingRanges_) return;
            const int group = scene_->Panels[static_cast<std::size_t>(panel)].XLink;
            if (group != kNoLink) {
                settingRanges_ = true;
                for (std::size_t other = 0; other < rects_.size() && other < scene_->Panels.size(); ++other)
                    if (static_cast<int>(other) != panel && scene_->Panels[other].XLink == group)
                        rects_[other]->axis(QCPAxis::atBottom)->setRange(range);
                settingRanges_ = false;
            }
            MarkZoomed();
        });
}

void TChartView::Build() {
    for (TSceneLayer* l : layers_)
        delete l;
    layers_.clear();
    clearPlottables();
    clearItems();
    plotLayout()->clear();
    grid_ = nullptr;
    rects_.clear();
    scales_.clear();
    for (QCPMarginGroup* group : margins_)
        delete group;
    margins_.clear();

    const QColor textColor = SceneColor(scene_->TextColor);
    const QFont titleFont = TitleFont();
    const QString titleText = [&] {
        QStringList lines;
        for (const auto& l : scene_->TitleLines)
            lines << QString::fromStdString(l);
        return lines.join('\n');
    }();
    title_ = new QCPTextElement(this, titleText, titleFont);
    title_->setObjectName("ChartTitle");
    title_->setTextColor(textColor);
    plotLayout()->addElement(0, 0, title_);

    grid_ = new TPanelGrid;
    plotLayout()->addElement(1, 0, grid_);
    grid_->SetWeights(scene_->RowWeights, scene_->ColumnWeights,
                      static_cast<int>(std::lround(scene_->PanelSpacing)));
    // A scene without panels still shows an empty plot.
    std::vector<TScenePanel> panels = scene_->Panels;
    if (panels.empty()) panels.push_back({.X = {.Kind = TAxisKind::Positions, .Min = -0.5, .Max = 0.5}});
    // Panels in one column line up their left and right edges, panels in one row their tops and
    // bottoms.
    std::map<int, QCPMarginGroup*> columnGroups, rowGroups;
    const bool manyColumns =
        std::any_of(panels.begin(), panels.end(), [](const TScenePanel& o) { return o.Column > 0; });
    for (std::size_t p = 0; p < panels.size(); ++p) {
        const TScenePanel& panel = panels[p];
        auto* rect = new QCPAxisRect(this);
        grid_->Add(rect, panel);
        auto& column = columnGroups[panel.Column];
        if (!column) margins_.push_back(column = new QCPMarginGroup(this));
        auto& row = rowGroups[panel.Row];
        if (!row) margins_.push_back(row = new QCPMarginGroup(this));
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, column);
        if (manyColumns) rect->setMarginGroup(QCP::msTop | QCP::msBottom, row);
        rect->setRangeZoom(Qt::Horizontal | Qt::Vertical);
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        // New axis rects start on the current layer; put them where the plot's own one lives.
        rect->setLayer("background");
        for (QCPAxis* axis : rect->axes()) {
            axis->setLayer("axes");
            axis->grid()->setLayer("grid");
        }
        x->grid()->setVisible(false);
        y->grid()->setPen(QPen(QColor(220, 220, 220), 0, Qt::DotLine));
        const double scale = AxisScale(panel.Y);
        SetUpAxis(x, panel.X, 1);
        SetUpAxis(y, panel.Y, scale);
        if (!panel.X.Visible && !panel.Y.Visible) {
            rect->setAutoMargins(QCP::msNone);
            rect->setMargins(QMargins(0, 0, 0, 0));
        }
        LinkX(static_cast<int>(p), x);
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
                    MarkZoomed();
                });
        rects_.push_back(rect);
        scales_.push_back(scale);
        for (const auto& [part, layerName] :
             {std::pair{TSceneLayer::Part::Zones, "zones"}, std::pair{TSceneLayer::Part::Points, "main"},
              std::pair{TSceneLayer::Part::Lines, "lines"}, std::pair{TSceneLayer::Part::Marks, "marks"}})
            layers_.push_back(
                new TSceneLayer(this, scene_.get(), rect, static_cast<int>(p), part, layerName, scale));
    }

    QFont footerFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    footerFont.setPointSize(8);
    QStringList footerLines;
    for (const auto& l : scene_->FooterLines)
        footerLines << QString::fromStdString(l);
    footer_ = new QCPTextElement(this, footerLines.join('\n'), footerFont);
    footer_->setObjectName("ChartFooter");
    footer_->setTextColor(textColor);
    footer_->setTextFlags(Qt::AlignLeft | Qt::AlignTop);
    footer_->setVisible(!footerLines.isEmpty());
    plotLayout()->addElement(2, 0, footer_);
    plotLayout()->setRowSpacing(0);
    plotLayout()->setRowStretchFactor(0, 0.001);
    plotLayout()->setRowStretchFactor(1, 1);
    plotLayout()->setRowStretchFactor(2, 0.001);

    // The lines joining points: one graph per colour (each line takes the colour of the point it
    // leads to), so QCustomPlot samples them; the markers are drawn by the points layer.
    for (const TPointSeries& series : scene_->Points) {
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
    ApplyOverrides();
}

void TChartView::ApplyRanges() {
    settingRanges_ = true;
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        if (p >= scene_->Panels.size()) {
            rects_[p]->axis(QCPAxis::atBottom)->setRange(-0.5, 0.5);
            continue;
        }
        const TScenePanel& panel = scene_->Panels[p];
        rects_[p]->axis(QCPAxis::atBottom)->setRange(panel.X.Min, panel.X.Max);
        rects_[p]->axis(QCPAxis::atLeft)->setRange(panel.Y.Min / scales_[p], panel.Y.Max / scales_[p]);
    }
    settingRanges_ = false;
}

void TChartView::SetSplit(double fraction) {
    rowWeights_ = {fraction, 1 - fraction};
    if (grid_) {
        grid_->SetRowWeight(0, std::max(fraction, 0.01));
        grid_->SetRowWeight(1, std::max(1 - fraction, 0.01));
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
        MarkBandOf(*scene_, 0, QFontMetricsF(rect->axis(QCPAxis::atBottom)->tickLabelFont()), 0).DataTop;
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

TChartViewState TChartView::ViewState() const {
    TChartViewState state;
    state.Zoomed = zoomed_;
    if (zoomed_)
        for (QCPAxisRect* rect : rects_) {
            state.XRanges.push_back(rect->axis(QCPAxis::atBottom)->range());
            state.YRanges.push_back(rect->axis(QCPAxis::atLeft)->range());
        }
    state.Overrides = overrides_;
    state.RowWeights = rowWeights_;
    return state;
}

void TChartView::SetViewState(const TChartViewState& state) {
    overrides_ = state.Overrides;
    if (!state.RowWeights.empty()) {
        rowWeights_ = state.RowWeights;
        for (std::size_t r = 0; r < rowWeights_.size() && grid_; ++r)
            grid_->SetRowWeight(r, std::max(rowWeights_[r], 0.01));
    }
    ApplyOverrides();
    if (state.Zoomed) {
        settingRanges_ = true;
        for (std::size_t p = 0; p < rects_.size(); ++p) {
            if (p < state.XRanges.size()) rects_[p]->axis(QCPAxis::atBottom)->setRange(state.XRanges[p]);
            if (p < state.YRanges.size()) rects_[p]->axis(QCPAxis::atLeft)->setRange(state.YRanges[p]);
        }
        settingRanges_ = false;
        hasZoomData_ = false;
        zoomed_ = true;
    }
}

void TChartView::SetOverrides(const TChartOverrides& overrides) {
    overrides_ = overrides;
    ApplyOverrides();
    replot();
}

QFont TChartView::TitleFont() const {
    QFont titleFont = font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    return titleFont;
}

void TChartView::ApplyOverrides() {
    // Every text and font is the scene's unless the titles dialog changed it, so that putting an
    // older record back undoes a change completely.
    const TChartOverrides& o = overrides_;
    const auto sized = [](QFont f, const std::optional<double>& size) {
        if (size) f.setPointSizeF(*size);
        return f;
    };
    if (title_) {
        QStringList lines;
        for (const auto& l : scene_->TitleLines)
            lines << QString::fromStdString(l);
        title_->setText(o.Title ? *o.Title : lines.join('\n'));
        title_->setFont(sized(TitleFont(), o.TitleSize));
    }
    if (rects_.empty()) return;
    const auto sceneTitle = [this](std::size_t panel, bool vertical) {
        if (panel >= scene_->Panels.size()) return QString();
        const TScenePanel& p = scene_->Panels[panel];
        return QString::fromStdString(vertical ? p.Y.Title : p.X.Title);
    };
    // "Y" is the first panel's vertical axis, "Y2" the second's; "X" the lowest panel's bottom axis.
    for (std::size_t p = 0; p < rects_.size(); ++p) {
        QCPAxis* y = rects_[p]->axis(QCPAxis::atLeft);
        QCPAxis* x = rects_[p]->axis(QCPAxis::atBottom);
        const std::optional<QString>& yTitle = p == 0 ? o.YTitle : p == 1 ? o.Y2Title : std::nullopt;
        y->setLabel(yTitle ? *yTitle : sceneTitle(p, true));
        x->setLabel(p + 1 == rects_.size() && o.XTitle ? *o.XTitle : sceneTitle(p, false));
        y->setLabelFont(sized(font(), p < 2 ? o.YTitleSize : std::nullopt));
        y->setTickLabelFont(sized(font(), p < 2 ? o.YLabelSize : std::nullopt));
        x->setLabelFont(sized(font(), p + 1 == rects_.size() ? o.XTitleSize : std::nullopt));
        x->setTickLabelFont(sized(font(), o.XLabelSize));
    }
}

double TChartView::ScaleOf(int panel) const {
    return panel >= 0 && panel < static_cast<int>(scales_.size()) ? scales_[static_cast<std::size_t>(panel)]
                                                                  : 1;
}

bool TChartView::FitToLayout() {
    if (rects_.empty()) return false;
    bool changed = false;
    // As many position labels as each axis's width holds, measured on a sample of the labels (they
    // are alike in length).
    for (std::size_t p = 0; p < rects_.size() && p < scene_->Panels.size(); ++p) {
        const TSceneAxis& axis = scene_->Panels[p].X;
        if (axis.Kind != TAxisKind::Positions || !axis.Ticks) continue;
        QCPAxis* x = rects_[p]->axis(QCPAxis::atBottom);
        const QFontMetrics metrics(x->tickLabelFont());
        int widest = metrics.horizontalAdvance("0000");
        const auto& labels = axis.Ticks->Labels;
        const std::size_t n = labels.size();
        for (std::size_t i = 0; i < n; i += std::max<std::size_t>(1, n / 50))
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(labels[i])));
        const int room = axis.LabelAngle != 0 ? metrics.height() * 2 : widest + 12;
        const int count = std::max(2, rects_[p]->width() / std::max(room, 1));
        if (x->ticker()->tickCount() != count) {
            x->ticker()->setTickCount(count);
            changed = true;
        }
    }
    // Given ticks keep their labels apart: a label's height (vertical axes) or width apart.
    for (QCPAxisRect* rect : rects_)
        for (QCPAxis* axis : {rect->axis(QCPAxis::atLeft), rect->axis(QCPAxis::atBottom)}) {
            auto* given = dynamic_cast<TGivenTicker*>(axis->ticker().data());
            if (!given) continue;
            const QFontMetricsF metrics(axis->tickLabelFont());
            const double pixels = axis->orientation() == Qt::Vertical
                                      ? metrics.height() + 2
                                      : metrics.horizontalAdvance("99.99 %") + 8;
            const double perPixel = std::fabs(axis->pixelToCoord(1) - axis->pixelToCoord(0));
            const double least = pixels * perPixel;
            if (std::isfinite(least) &&
                std::fabs(least - given->LeastDistance()) > 1e-9 * std::max(1.0, least)) {
                given->SetLeastDistance(least);
                changed = true;
            }
        }
    // Room above the data of the top panel for the set labels and the violation codes: its range
    // reaches so far above the data's (the scene's, or those zoomed into) that the band stays
    // clear of every point.
    if (!scene_->Panels.empty() && (!zoomed_ || hasZoomData_)) {
        QCPAxisRect* rect = rects_.front();
        const double height = rect->height();
        const QCPRange filled =
            zoomed_ ? zoomData_
                    : QCPRange(scene_->Panels[0].Y.Min / scales_[0], scene_->Panels[0].Y.Max / scales_[0]);
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
    // Drawn as a picture of another size: that size's layout, ticks and ranges stay behind when
    // the picture is done. The widget's own come back right after, so that what it shows and
    // what the mouse finds never change.
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
    // layout (a redraw, a resize, a picture at another size); what they change is laid out again.
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
        const int panel = static_cast<int>(p);
        QCPAxis* x = rect->axis(QCPAxis::atBottom);
        QCPAxis* y = rect->axis(QCPAxis::atLeft);
        const double scale = ScaleOf(panel);
        const double dataX = x->pixelToCoord(pos.x());
        const double slack = std::fabs(x->pixelToCoord(pos.x() + kHitPixels) - dataX);
        const auto pixel = [&](double vx, double vy) {
            return QPointF(x->coordToPixel(vx), y->coordToPixel(vy / scale));
        };
        // The nearest point within reach.
        for (const TPointSeries& series : scene_->Points) {
            if (series.Panel != panel || (series.Hover.empty() && series.Hovers.empty())) continue;
            auto first = std::lower_bound(series.X.begin(), series.X.end(), dataX - slack);
            for (auto it = first; it != series.X.end() && *it <= dataX + slack; ++it) {
                const auto i = static_cast<std::size_t>(it - series.X.begin());
                if (IsGap(series.Y[i])) continue;
                const QPointF at = pixel(*it, series.Y[i]);
                const double d = std::hypot(at.x() - pos.x(), at.y() - pos.y());
                const std::string& hover =
                    i < series.Hovers.size() && !series.Hovers[i].empty() ? series.Hovers[i] : series.Hover;
                if (d <= bestDistance + series.Size && !hover.empty()) {
                    bestDistance = std::max(0.0, d - series.Size);
                    best = TChartHit{.Title = QString::fromStdString(hover),
                                     .Value = series.Y[i],
                                     .Panel = panel,
                                     .Series = series.Name,
                                     .Position = *it,
                                     .IsPoint = true,
                                     .What = TChartHit::Kind::Point,
                                     .Role = series.Role};
                }
            }
        }
        if (best) return best;
        // The nearest line: the distance to each segment near the mouse, whatever its slope.
        for (const TLineSeries& line : scene_->Lines) {
            if (line.Panel != panel || line.Hover.empty()) continue;
            for (std::size_t r = 0; r < line.RunsX.size(); ++r) {
                const auto& rx = line.RunsX[r];
                const auto& ry = line.RunsY[r];
                if (rx.size() < 2 || rx.front() > dataX + slack || rx.back() < dataX - slack) continue;
                std::size_t i = FirstVisible(rx, dataX - slack);
                for (; i + 1 < rx.size() && rx[i] <= dataX + slack; ++i) {
                    const QPointF a = pixel(rx[i], ry[i]), b = pixel(rx[i + 1], ry[i + 1]);
                    const auto [d, t] = SegmentDistance(pos, a, b);
                    if (d > bestDistance + line.Width / 2) continue;
                    bestDistance = d;
                    // A riser between two steps reports the nearer step's value.
                    const double value =
                        rx[i] == rx[i + 1] ? (t < 0.5 ? ry[i] : ry[i + 1]) : ry[i] + t * (ry[i + 1] - ry[i]);
                    best = TChartHit{.Title = QString::fromStdString(line.Hover),
                                     .Value = value,
                                     .Panel = panel,
                                     .Series = line.Name,
                                     .What = TChartHit::Kind::Line};
                }
            }
        }
        for (const TReferenceLine& ref : scene_->References) {
            if (ref.Panel != panel) continue;
            const std::string& hover = ref.Hover.empty() ? ref.Label : ref.Hover;
            if (hover.empty()) continue;
            const double d = ref.Vertical ? std::fabs(x->coordToPixel(ref.Value) - pos.x())
                                          : std::fabs(y->coordToPixel(ref.Value / scale) - pos.y());
            if (d > bestDistance + ref.Width / 2) continue;
            bestDistance = d;
            best = TChartHit{.Title = QString::fromStdString(hover),
                             .Value = ref.Value,
                             .Panel = panel,
                             .What = TChartHit::Kind::Reference};
        }
        if (best) return best;
        // The bar under the mouse.
        for (const TSceneBar& bar : scene_->Bars) {
            if (bar.Panel != panel || bar.Hover.empty()) continue;
            const QRectF area = QRectF(pixel(bar.X0, bar.Y1), pixel(bar.X1, bar.Y0)).normalized();
            if (area.contains(pos))
                best = TChartHit{.Title = QString::fromStdString(bar.Hover),
                                 .Value = bar.Y1,
                                 .Panel = panel,
                                 .What = TChartHit::Kind::Bar};
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
    // A bar's hover text says everything about it.
    const bool valued = hit && hit->What != TChartHit::Kind::Bar;
    emit hovered(hit ? hit->Title : QString(),
                 valued ? QString::fromStdString(FormatTrimmed(hit->Value)) : QString(), hit && hit->IsPoint,
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
    if (hit && hit->IsPoint && hit->Role != TSceneRole::None)
        emit pointClicked(hit->Role == TSceneRole::DispersionStatistic, hit->Position);
}

void RenderScene(std::shared_ptr<const TChartScene> scene, const TChartViewState& state, QCPPainter& painter,
                 QSize size) {
    TChartView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.SetScene(std::move(scene));
    view.SetViewState(state);
    view.toPainter(&painter, size.width(), size.height());
}

TChartPicture PictureOf(const TChartView& view) {
    return {view.ScenePointer(), view.ViewState(),
            QSize(std::max(view.width(), 16), std::max(view.height(), 16))};
}

} // namespace kivspc::gui
