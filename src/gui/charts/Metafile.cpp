// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/Metafile.h"

#include "charts/MetafileText.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace kivspc::gui {

namespace {

// What both record formats are asked to do, in device pixels.
struct TPenSpec {
    QRgb color = 0;
    int width = 1;
    int style = 0; // 0 solid, 1 dash, 2 dot, 3 dash-dot, 5 none
    bool operator==(const TPenSpec&) const = default;
};
struct TBrushSpec {
    QRgb color = 0;
    bool none = true;
    bool operator==(const TBrushSpec&) const = default;
};
struct TFontSpec {
    QString face;
    int height = 12; // character height in pixels
    int weight = 400;
    bool italic = false, underline = false;
    int escapement = 0;         // tenths of a degree, anticlockwise
    int charset = kAnsiCharset; // of Windows metafile text; enhanced metafiles write Unicode
    bool operator==(const TFontSpec&) const = default;
};

// Little-endian record bytes.
class TBytes {
public:
    void U8(int v) { data_.append(static_cast<char>(v & 0xFF)); }
    void U16(int v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(quint32 v) {
        U16(static_cast<int>(v & 0xFFFF));
        U16(static_cast<int>(v >> 16));
    }
    void I32(int v) { U32(static_cast<quint32>(v)); }
    void F32(float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        U32(bits);
    }
    void PadTo(int multiple) {
        while (data_.size() % multiple)
            U8(0);
    }
    void PutU32(qsizetype at, quint32 v) { qToLittleEndian(v, data_.data() + at); }
    void PutU16(qsizetype at, quint16 v) { qToLittleEndian(v, data_.data() + at); }
    qsizetype Size() const { return data_.size(); }
    QByteArray& Data() { return data_; }

private:
    QByteArray data_;
};

quint32 ColorRef(QRgb c) {
    return static_cast<quint32>(qRed(c)) | (static_cast<quint32>(qGreen(c)) << 8) |
           (static_cast<quint32>(qBlue(c)) << 16);
}

// The record writer of one format. Objects (pen, brush, font) are created when they change,
// selected, and the one they replace deleted.
class TRecordWriter {
public:
    virtual ~TRecordWriter() = default;
    virtual void Begin(QSize size, int dpi) = 0;
    virtual QByteArray Finish() = 0;

    void Pen(const TPenSpec& pen) {
        if (pen_ && *pen_ == pen) return;
        pen_ = pen;
        SelectPen(pen);
    }
    void Brush(const TBrushSpec& brush) {
        if (brush_ && *brush_ == brush) return;
        brush_ = brush;
        SelectBrush(brush);
    }
    // The font of the next text; selected when the text is written.
    void Font(const TFontSpec& font) { wantedFont_ = font; }
    void TextColor(QRgb color) {
        if (textColor_ && *textColor_ == color) return;
        textColor_ = color;
        SetTextColor(color);
    }
    // A clip rectangle, or none. The device context is saved before any object is selected, so
    // restoring it drops the clip; the current objects are then selected again.
    void Clip(std::optional<QRect> rect) {
        if (clip_ == rect) return;
        clip_ = rect;
        RestoreDc();
        SaveDc();
        // Some readers forget the modes set before the save; they are set again.
        SetModes();
        if (pen_) Reselect(0);
        if (brush_) Reselect(1);
        if (font_) Reselect(2);
        if (rect) IntersectClip(*rect);
    }

    virtual void Polyline(const QPolygon& points) = 0;
    virtual void Polygon(const QPolygon& points) = 0;
    virtual void Rectangle(const QRect& r) = 0;
    virtual void Ellipse(const QRect& r) = 0;
    virtual void Text(QPoint at, const QString& text, const std::vector<int>& dx) = 0;

protected:
    void UseFont(const TFontSpec& font) {
        if (font_ && *font_ == font) return;
        font_ = font;
        SelectFont(font);
    }

    virtual void SelectPen(const TPenSpec& pen) = 0;
    virtual void SelectBrush(const TBrushSpec& brush) = 0;
    virtual void SelectFont(const TFontSpec& font) = 0;
    virtual void SetTextColor(QRgb color) = 0;
    virtual void SaveDc() = 0;
    virtual void RestoreDc() = 0;
    virtual void Reselect(int kind) = 0;
    virtual void IntersectClip(const QRect& r) = 0;
    // Transparent text background, baseline text, winding fill.
    virtual void SetModes() = 0;

    std::optional<TPenSpec> pen_;
    std::optional<TBrushSpec> brush_;
    std::optional<TFontSpec> font_;
    TFontSpec wantedFont_;
    std::optional<QRgb> textColor_;
    std::optional<QRect> clip_;
};

// Object slots as the reader's object table numbers them: the lowest free one is taken.
class TSlots {
public:
    int Take(int first) {
        for (std::size_t i = static_cast<std::size_t>(first); i < used_.size(); ++i)
            if (!used_[i]) {
                used_[i] = true;
                return static_cast<int>(i);
            }
        used_.resize(std::max(used_.size(), static_cast<std::size_t>(first)), false);
        used_.push_back(true);
        peak_ = std::max(peak_, static_cast<int>(used_.size()));
        return static_cast<int>(used_.size()) - 1;
    }
    void Free(int slot) {
        if (slot >= 0 && static_cast<std::size_t>(slot) < used_.size())
            used_[static_cast<std::size_t>(slot)] = false;
    }
    int Peak() const { return peak_; }

private:
    std::vector<bool> used_;
    int peak_ = 0;
};

// ---- Enhanced metafile ----------------------------------------------------------------------

class TEmfWriter : public TRecordWriter {
public:
    void Begin(QSize size, int dpi) override {
        // EMR_HEADER, completed in Finish.
        Record(1, [&] {
            b_.I32(0);
            b_.I32(0);
            b_.I32(size.width() - 1);
            b_.I32(size.height() - 1);
            // The frame in hundredths of a millimetre.
            b_.I32(0);
            b_.I32(0);
            b_.I32(static_cast<int>(std::lround(size.width() * 2540.0 / dpi)) - 1);
            b_.I32(static_cast<int>(std::lround(size.height() * 2540.0 / dpi)) - 1);
            b_.U32(0x464D4520); // " EMF"
            b_.U32(0x10000);
            b_.U32(0); // bytes, set in Finish
            b_.U32(0); // records, set in Finish
            b_.U16(0); // handles, set in Finish
            b_.U16(0);
            b_.U32(0); // no description
            b_.U32(0);
            b_.U32(0); // no palette
            // The reference device: this resolution.
            b_.I32(1920);
            b_.I32(1080);
            b_.I32(static_cast<int>(std::lround(1920 * 25.4 / dpi)));
            b_.I32(static_cast<int>(std::lround(1080 * 25.4 / dpi)));
        });
        Record(17, [&] { b_.U32(1); }); // MM_TEXT
        SetModes();
        SaveDc();
    }

    QByteArray Finish() override {
        RestoreDc();
        Record(14, [&] {
            b_.U32(0);
            b_.U32(16);
            b_.U32(20);
        });
        b_.PutU32(48, static_cast<quint32>(b_.Size()));
        b_.PutU32(52, static_cast<quint32>(records_));
        b_.PutU16(56, static_cast<quint16>(slots_.Peak() + 1));
        return b_.Data();
    }

    void Polyline(const QPolygon& p) override { Points(4, p); }
    void Polygon(const QPolygon& p) override { Points(3, p); }
    void Rectangle(const QRect& r) override {
        Record(43, [&] { Rect(r); });
    }
    void Ellipse(const QRect& r) override {
        Record(42, [&] { Rect(r); });
    }

    void Text(QPoint at, const QString& text, const std::vector<int>& dx) override {
        const auto n = static_cast<int>(text.size());
        if (n == 0) return;
        UseFont(wantedFont_);
        const int stringBytes = (n * 2 + 3) / 4 * 4;
        Record(84, [&] {
            int width = 0;
            for (int d : dx)
                width += d;
            const int height = font_ ? font_->height : 12;
            Rect(QRect(at.x(), at.y() - height, std::max(width, 1), height * 5 / 4));
            b_.U32(1); // GM_COMPATIBLE
            b_.F32(0);
            b_.F32(0);
            b_.I32(at.x());
            b_.I32(at.y());
            b_.U32(static_cast<quint32>(n));
            b_.U32(76); // the string follows the fixed part
            b_.U32(0);
            b_.I32(0);
            b_.I32(0);
            b_.I32(-1);
            b_.I32(-1);
            b_.U32(static_cast<quint32>(76 + stringBytes));
            for (QChar c : text)
                b_.U16(c.unicode());
            b_.PadTo(4);
            for (int i = 0; i < n; ++i)
                b_.I32(i < static_cast<int>(dx.size()) ? dx[static_cast<std::size_t>(i)] : 0);
        });
    }

protected:
    void SelectPen(const TPenSpec& pen) override {
        const int old = penSlot_;
        penSlot_ = slots_.Take(1);
        Record(38, [&] {
            b_.U32(static_cast<quint32>(penSlot_));
            b_.U32(static_cast<quint32>(pen.style));
            b_.I32(pen.width);
            b_.I32(0);
            b_.U32(ColorRef(pen.color));
        });
        Reselect(0);
        Delete(old);
    }
    void SelectBrush(const TBrushSpec& brush) override {
        const int old = brushSlot_;
        brushSlot_ = slots_.Take(1);
        Record(39, [&] {
            b_.U32(static_cast<quint32>(brushSlot_));
            b_.U32(brush.none ? 1 : 0);
            b_.U32(ColorRef(brush.color));
            b_.U32(0);
        });
        Reselect(1);
        Delete(old);
    }
    void SelectFont(const TFontSpec& font) override {
        const int old = fontSlot_;
        fontSlot_ = slots_.Take(1);
        Record(82, [&] {
            b_.U32(static_cast<quint32>(fontSlot_));
            b_.I32(-font.height);
            b_.I32(0);
            b_.I32(font.escapement);
            b_.I32(font.escapement);
            b_.I32(font.weight);
            b_.U8(font.italic);
            b_.U8(font.underline);
            b_.U8(0);
            b_.U8(1); // DEFAULT_CHARSET
            b_.U8(0);
            b_.U8(0);
            b_.U8(4); // antialiased quality
            b_.U8(0);
            for (int i = 0; i < 32; ++i)
                b_.U16(i < font.face.size() && i < 31 ? font.face.at(i).unicode() : 0);
        });
        Reselect(2);
        Delete(old);
    }
    void SetTextColor(QRgb color) override {
        Record(24, [&] { b_.U32(ColorRef(color)); });
    }
    void SetModes() override {
        Record(18, [&] { b_.U32(1); });  // transparent text background
        Record(22, [&] { b_.U32(24); }); // TA_BASELINE | TA_LEFT
        Record(19, [&] { b_.U32(2); });  // winding fill
        if (textColor_) SetTextColor(*textColor_);
    }
    void SaveDc() override {
        Record(33, [] {});
    }
    void RestoreDc() override {
        Record(34, [&] { b_.I32(-1); });
    }
    void Reselect(int kind) override {
        const int slot = kind == 0 ? penSlot_ : kind == 1 ? brushSlot_ : fontSlot_;
        if (slot > 0) Record(37, [&] { b_.U32(static_cast<quint32>(slot)); });
    }
    void IntersectClip(const QRect& r) override {
        Record(30, [&] {
            b_.I32(r.left());
            b_.I32(r.top());
            b_.I32(r.right() + 1);
            b_.I32(r.bottom() + 1);
        });
    }

private:
    template <typename Body> void Record(quint32 type, Body body) {
        const qsizetype start = b_.Size();
        b_.U32(type);
        b_.U32(0);
        body();
        b_.PadTo(4);
        b_.PutU32(start + 4, static_cast<quint32>(b_.Size() - start));
        ++records_;
    }
    void Rect(const QRect& r) {
        b_.I32(r.left());
        b_.I32(r.top());
        b_.I32(r.right());
        b_.I32(r.bottom());
    }
    void Points(quint32 type, const QPolygon& p) {
        if (p.size() < 2) return;
        Record(type, [&] {
            Rect(p.boundingRect());
            b_.U32(static_cast<quint32>(p.size()));
            for (const QPoint& pt : p) {
                b_.I32(pt.x());
                b_.I32(pt.y());
            }
        });
    }
    void Delete(int slot) {
        if (slot <= 0) return;
        Record(40, [&] { b_.U32(static_cast<quint32>(slot)); });
        slots_.Free(slot);
    }

    TBytes b_;
    int records_ = 0;
    TSlots slots_;
    int penSlot_ = 0, brushSlot_ = 0, fontSlot_ = 0;
};

// ---- Windows metafile (placeable) -----------------------------------------------------------

class TWmfWriter : public TRecordWriter {
public:
    void Begin(QSize size, int dpi) override {
        // The placeable header: the picture's size in pixels at this resolution.
        b_.U32(0x9AC6CDD7);
        b_.U16(0);
        b_.U16(0);
        b_.U16(0);
        b_.U16(Clamp16(size.width()));
        b_.U16(Clamp16(size.height()));
        b_.U16(dpi);
        b_.U32(0);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(b_.Data().constData() + 2 * i);
        b_.U16(checksum);
        // The standard header, completed in Finish.
        headerAt_ = b_.Size();
        b_.U16(1);
        b_.U16(9);
        b_.U16(0x0300);
        b_.U32(0);
        b_.U16(0);
        b_.U32(0);
        b_.U16(0);
        Record(0x020B, [&] { // window origin
            b_.U16(0);
            b_.U16(0);
        });
        Record(0x020C, [&] { // window extent: height, width
            b_.U16(Clamp16(size.height()));
            b_.U16(Clamp16(size.width()));
        });
        SetModes();
        SaveDc();
    }

    QByteArray Finish() override {
        RestoreDc();
        Record(0x0000, [] {});
        const auto words = static_cast<quint32>((b_.Size() - headerAt_) / 2);
        b_.PutU32(headerAt_ + 6, words);
        b_.PutU16(headerAt_ + 10, static_cast<quint16>(slots_.Peak()));
        b_.PutU32(headerAt_ + 12, maxRecord_);
        return b_.Data();
    }

    // Lines go segment by segment: readers that turn metafiles into other vector formats fill
    // open polylines of three or more points.
    void Polyline(const QPolygon& p) override {
        for (int i = 0; i + 1 < p.size(); ++i)
            Points(0x0325, QPolygon({p[i], p[i + 1]}));
    }
    void Polygon(const QPolygon& p) override {
        if (p.size() <= 8000) Points(0x0324, p);
    }
    void Rectangle(const QRect& r) override {
        Record(0x041B, [&] { Box(r); });
    }
    void Ellipse(const QRect& r) override {
        Record(0x0418, [&] { Box(r); });
    }

    // Each run of one character set gets a font of that set and its own text record, started
    // where the characters before it end along the baseline.
    void Text(QPoint at, const QString& text, const std::vector<int>& dx) override {
        const double angle = wantedFont_.escapement * M_PI / 1800;
        double advance = 0;
        qsizetype unit = 0;
        for (const TCharsetRun& run : CharsetRuns(text)) {
            for (; unit < run.First; ++unit)
                advance += unit < static_cast<qsizetype>(dx.size()) ? dx[static_cast<std::size_t>(unit)] : 0;
            TFontSpec font = wantedFont_;
            font.charset = run.Charset;
            if (run.Charset == kSymbolCharset) font.face = "Symbol";
            UseFont(font);
            const QPoint start = at + QPoint(static_cast<int>(std::lround(advance * std::cos(angle))),
                                             static_cast<int>(std::lround(-advance * std::sin(angle))));
            Record(0x0521, [&] {
                b_.U16(static_cast<int>(run.Bytes.size()));
                for (char c : run.Bytes)
                    b_.U8(static_cast<unsigned char>(c));
                b_.PadTo(2);
                b_.U16(Clamp16(start.y()));
                b_.U16(Clamp16(start.x()));
            });
        }
    }

protected:
    void SelectPen(const TPenSpec& pen) override {
        const int old = penSlot_;
        penSlot_ = slots_.Take(0);
        Record(0x02FA, [&] {
            b_.U16(pen.style);
            b_.U16(pen.width);
            b_.U16(0);
            b_.U32(ColorRef(pen.color));
        });
        Reselect(0);
        Delete(old);
    }
    void SelectBrush(const TBrushSpec& brush) override {
        const int old = brushSlot_;
        brushSlot_ = slots_.Take(0);
        Record(0x02FC, [&] {
            b_.U16(brush.none ? 1 : 0);
            b_.U32(ColorRef(brush.color));
            b_.U16(0);
        });
        Reselect(1);
        Delete(old);
    }
    void SelectFont(const TFontSpec& font) override {
        const int old = fontSlot_;
        fontSlot_ = slots_.Take(0);
        Record(0x02FB, [&] {
            b_.U16(Clamp16(-font.height));
            b_.U16(0);
            b_.U16(font.escapement);
            b_.U16(font.escapement);
            b_.U16(font.weight);
            b_.U8(font.italic);
            b_.U8(font.underline);
            b_.U8(0);
            b_.U8(font.charset);
            b_.U8(0);
            b_.U8(0);
            b_.U8(4);
            b_.U8(0);
            const QByteArray face = font.face.toLatin1().left(31);
            for (int i = 0; i < 32; ++i)
                b_.U8(i < face.size() ? face.at(i) : 0);
        });
        Reselect(2);
        Delete(old);
    }
    void SetTextColor(QRgb color) override {
        Record(0x0209, [&] { b_.U32(ColorRef(color)); });
    }
    void SetModes() override {
        Record(0x0102, [&] { b_.U16(1); });  // transparent background
        Record(0x012E, [&] { b_.U16(24); }); // baseline text
        Record(0x0106, [&] { b_.U16(2); });  // winding fill
        if (textColor_) SetTextColor(*textColor_);
    }
    void SaveDc() override {
        Record(0x001E, [] {});
    }
    void RestoreDc() override {
        Record(0x0127, [&] { b_.U16(-1); });
    }
    void Reselect(int kind) override {
        const int slot = kind == 0 ? penSlot_ : kind == 1 ? brushSlot_ : fontSlot_;
        if (slot >= 0) Record(0x012D, [&] { b_.U16(slot); });
    }
    void IntersectClip(const QRect& r) override {
        Record(0x0416, [&] { Box(r); });
    }

private:
    static int Clamp16(int v) { return std::clamp(v, -32768, 32767); }
    template <typename Body> void Record(int function, Body body) {
        const qsizetype start = b_.Size();
        b_.U32(0);
        b_.U16(function);
        body();
        b_.PadTo(2);
        const auto words = static_cast<quint32>((b_.Size() - start) / 2);
        b_.PutU32(start, words);
        maxRecord_ = std::max(maxRecord_, words);
    }
    // Rectangles are written bottom, right, top, left.
    void Box(const QRect& r) {
        b_.U16(Clamp16(r.bottom() + 1));
        b_.U16(Clamp16(r.right() + 1));
        b_.U16(Clamp16(r.top()));
        b_.U16(Clamp16(r.left()));
    }
    void Points(int function, const QPolygon& p) {
        if (p.size() < 2) return;
        Record(function, [&] {
            b_.U16(static_cast<int>(p.size()));
            for (const QPoint& pt : p) {
                b_.U16(Clamp16(pt.x()));
                b_.U16(Clamp16(pt.y()));
            }
        });
    }
    void Delete(int slot) {
        if (slot < 0) return;
        Record(0x01F0, [&] { b_.U16(slot); });
        slots_.Free(slot);
    }

    TBytes b_;
    qsizetype headerAt_ = 0;
    quint32 maxRecord_ = 0;
    TSlots slots_;
    int penSlot_ = -1, brushSlot_ = -1, fontSlot_ = -1;
};

int PenStyle(Qt::PenStyle style) {
    switch (style) {
    case Qt::NoPen: return 5;
    case Qt::DashLine: return 1;
    case Qt::DotLine: return 2;
    case Qt::DashDotLine:
    case Qt::DashDotDotLine: return 3;
    default: return 0;
    }
}

} // namespace

// Turns what QPainter draws into records: coordinates through the painter's transform, rounded
// to whole pixels.
class TMetafileEngine : public QPaintEngine {
public:
    explicit TMetafileEngine(TMetafileDevice* device) : QPaintEngine(AllFeatures), device_(device) {}

    bool begin(QPaintDevice*) override {
        if (device_->Format() == TMetafileFormat::Emf)
            writer_ = std::make_unique<TEmfWriter>();
        else
            writer_ = std::make_unique<TWmfWriter>();
        writer_->Begin(device_->Size(), device_->Dpi());
        setActive(true);
        return true;
    }
    bool end() override {
        if (writer_) data_ = writer_->Finish();
        writer_.reset();
        setActive(false);
        return true;
    }
    Type type() const override { return QPaintEngine::User; }
    QByteArray Data() const { return data_; }

    void updateState(const QPaintEngineState& changed) override {
        const DirtyFlags dirty = changed.state();
        if (dirty & DirtyPen) pen_ = changed.pen();
        if (dirty & DirtyBrush) brush_ = changed.brush();
        if (dirty & DirtyTransform) transform_ = changed.transform();
        if (dirty & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled | DirtyTransform)) UpdateClip();
    }

    void drawPath(const QPainterPath& path) override {
        const QPainterPath mapped = transform_.map(path);
        if (brush_.style() != Qt::NoBrush) {
            UseBrush(true);
            UseNoPen();
            for (const QPolygonF& polygon : mapped.toFillPolygons())
                writer_->Polygon(Round(polygon));
        }
        if (pen_.style() != Qt::NoPen) {
            UsePen();
            UseBrush(false);
            for (const QPolygonF& polygon : mapped.toSubpathPolygons())
                writer_->Polyline(Round(polygon));
        }
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon;
        polygon.reserve(count);
        for (int i = 0; i < count; ++i)
            polygon << transform_.map(points[i]);
        if (mode == PolylineMode) {
            if (pen_.style() == Qt::NoPen) return;
            UsePen();
            UseBrush(false);
            writer_->Polyline(Round(polygon));
            return;
        }
        UsePenOrNone();
        UseBrush(brush_.style() != Qt::NoBrush);
        writer_->Polygon(Round(polygon));
    }

    void drawLines(const QLineF* lines, int count) override {
        if (pen_.style() == Qt::NoPen) return;
        UsePen();
        UseBrush(false);
        for (int i = 0; i < count; ++i)
            writer_->Polyline(
                Round(QPolygonF({transform_.map(lines[i].p1()), transform_.map(lines[i].p2())})));
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            if (!Upright()) {
                QPainterPath path;
                path.addRect(rects[i]);
                drawPath(path);
                continue;
            }
            UsePenOrNone();
            UseBrush(brush_.style() != Qt::NoBrush);
            writer_->Rectangle(transform_.mapRect(rects[i]).toRect());
        }
    }

    void drawEllipse(const QRectF& rect) override {
        if (!Upright()) {
            QPainterPath path;
            path.addEllipse(rect);
            drawPath(path);
            return;
        }
        UsePenOrNone();
        UseBrush(brush_.style() != Qt::NoBrush);
        writer_->Ellipse(transform_.mapRect(rect).toRect());
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QString text = item.text();
        if (text.isEmpty()) return;
        const QFont font = item.font();
        const double scale = std::hypot(transform_.m11(), transform_.m12());
        const double angle = std::atan2(transform_.m12(), transform_.m11()) * 180 / M_PI;
        const double pixels =
            font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * device_->Dpi() / 72.0;
        TFontSpec spec;
        spec.face = font.family();
        spec.height = std::max(1, static_cast<int>(std::lround(pixels * scale)));
        spec.weight = font.bold() ? 700 : 400;
        spec.italic = font.italic();
        spec.underline = font.underline();
        spec.escapement = static_cast<int>(std::lround(-angle * 10));
        writer_->Font(spec);
        writer_->TextColor(pen_.color().rgb());
        const QFontMetricsF metrics(font);
        // Leading blanks become a shift of the start: some readers drop them.
        qsizetype blanks = 0;
        while (blanks < text.size() && text.at(blanks) == ' ')
            ++blanks;
        const QPointF start = p + QPointF(metrics.horizontalAdvance(text.left(blanks)), 0);
        const QString shown = text.mid(blanks);
        if (shown.isEmpty()) return;
        std::vector<int> dx;
        dx.reserve(static_cast<std::size_t>(shown.size()));
        double x = 0;
        int placed = 0;
        for (QChar c : shown) {
            x += metrics.horizontalAdvance(c) * scale;
            const int next = static_cast<int>(std::lround(x));
            dx.push_back(next - placed);
            placed = next;
        }
        writer_->Text(transform_.map(start).toPoint(), shown, dx);
    }

    // Pictures are not written: charts draw none in vector output.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}

private:
    bool Upright() const { return transform_.type() <= QTransform::TxScale; }
    static QPolygon Round(const QPolygonF& polygon) {
        QPolygon out;
        out.reserve(polygon.size());
        for (const QPointF& p : polygon) {
            const QPoint q(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
            if (out.isEmpty() || out.back() != q) out << q;
        }
        if (out.size() == 1) out << out.back();
        return out;
    }
    void UsePen() {
        const double scale = std::hypot(transform_.m11(), transform_.m12());
        const double width = pen_.isCosmetic() ? std::max(pen_.widthF(), 1.0) : pen_.widthF() * scale;
        writer_->Pen(
            {pen_.color().rgb(), std::max(1, static_cast<int>(std::lround(width))), PenStyle(pen_.style())});
    }
    void UseNoPen() { writer_->Pen({0, 1, 5}); }
    void UsePenOrNone() {
        if (pen_.style() == Qt::NoPen)
            UseNoPen();
        else
            UsePen();
    }
    void UseBrush(bool filled) {
        if (filled)
            writer_->Brush({brush_.color().rgb(), false});
        else
            writer_->Brush({0, true});
    }
    void UpdateClip() {
        if (!writer_) return;
        QPainter* p = painter();
        if (!p || !p->hasClipping()) {
            writer_->Clip(std::nullopt);
            return;
        }
        const QRectF box = p->transform().mapRect(p->clipBoundingRect());
        writer_->Clip(box.toAlignedRect());
    }

    TMetafileDevice* device_;
    std::unique_ptr<TRecordWriter> writer_;
    QByteArray data_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
};

TMetafileDevice::TMetafileDevice(TMetafileFormat format, QSize size, int dpi)
    : format_(format), size_(size), dpi_(dpi), engine_(std::make_unique<TMetafileEngine>(this)) {}

TMetafileDevice::~TMetafileDevice() = default;

QPaintEngine* TMetafileDevice::paintEngine() const { return engine_.get(); }

QByteArray TMetafileDevice::Data() const { return engine_->Data(); }

int TMetafileDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return static_cast<int>(std::lround(size_.width() * 25.4 / dpi_));
    case PdmHeightMM: return static_cast<int>(std::lround(size_.height() * 25.4 / dpi_));
    case PdmNumColors: return 0x7FFFFFFF;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return dpi_;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return 0;
    }
}

} // namespace kivspc::gui
