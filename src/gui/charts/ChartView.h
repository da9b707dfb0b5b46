// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a chart scene with QCustomPlot: one axis rect per panel (the first on top), the title
// above and the footer below, point series as graphs (QCustomPlot samples large ones), and the
// step lines, zones, separators, code marks and point labels on layers of their own that draw
// only what is in view. Answers what lies under the mouse, and zooms with an undo.
#pragma once

#include "charts/ChartScene.h"

#include <QString>
#include <qcustomplot.h>

#include <memory>
#include <optional>

namespace kivspc::gui {

class TSceneLayer;

// What lies under the mouse.
struct TChartHit {
    QString Title;        // the series title
    double Value = 0;     // the point's or the line's value there
    int Panel = 0;        // the panel it belongs to
    std::string Series;   // the series name ("Series_Loc" ...)
    double Position = -1; // the point's position (points only)
    bool IsPoint = false;
};

class TChartView : public QCustomPlot {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent = nullptr);
    ~TChartView() override;

    // Replaces whatever is drawn by the scene (and resets the zoom).
    void SetScene(TChartScene scene);
    const TChartScene& Scene() const { return scene_; }

    // Moves the split of two panels without rebuilding (fraction of the height for the first).
    void SetSplit(double fraction);

    // What lies under a widget position: the nearest point within a few pixels, else the nearest
    // line; nothing over empty space.
    std::optional<TChartHit> HitAt(const QPointF& pos) const;
    bool OverTitle(const QPointF& pos) const;

    bool IsZoomed() const { return zoomed_; }
    // Back to the scene's ranges.
    void ZoomOut();

    QCPTextElement* TitleElement() const { return title_; }
    QCPTextElement* FooterElement() const { return footer_; }

signals:
    void zoomChanged(bool zoomed);
    void titleClicked();
    // A location or dispersion statistic was clicked at its position.
    void pointClicked(bool dispersion, double position);
    void hovered(const QString& title, const QString& value, bool overPoint, bool overTitle);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void updateLayout() override;
    void processRectZoom(QRect rect, QMouseEvent* event) override;
    void draw(QCPPainter* painter) override;

private:
    void Build();
    void ApplyRanges();
    // Fits the position labels and the room for the marks to the layout just made; true when
    // something changed that needs another layout.
    bool FitToLayout();
    QCPAxisRect* RectOf(int panel) const;
    // A panel's values are divided by this to reach its axis (1 unless they are beyond the axis).
    double ScaleOf(int panel) const;
    // Pixels at the top of the first panel kept for the set labels and violation codes.
    double MarkReserve() const;

    TChartScene scene_;
    QCPTextElement* title_ = nullptr;
    QCPTextElement* footer_ = nullptr;
    QCPMarginGroup* margins_ = nullptr;
    std::vector<QCPAxisRect*> rects_;
    std::vector<double> scales_;
    std::vector<TSceneLayer*> layers_;
    bool zoomed_ = false;
    bool settingRanges_ = false;
    bool relayoutQueued_ = false;
    // Zoomed: the first panel's range that its data fill (the marks' band comes above it).
    QCPRange zoomData_;
    bool hasZoomData_ = false;
    QPoint pressPos_;
};

// A colour of the scene as a Qt colour.
QColor SceneColor(TSceneColor color);

} // namespace kivspc::gui
