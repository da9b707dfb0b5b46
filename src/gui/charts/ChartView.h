// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a chart scene with QCustomPlot: one axis rect per panel, placed in the scene's grid, the
// title above and the footer below. Every element kind has its layer and is drawn the same way
// whatever the chart: zones and bars, the lines joining points (as graphs, which QCustomPlot
// samples when they are large), the markers, the lines and reference lines, then the marks and
// texts; each layer draws only what is in view. Answers what lies under the mouse, and zooms with
// an undo; panels of one x-link group zoom together.
#pragma once

#include "charts/ChartScene.h"

#include <QString>
#include <qcustomplot.h>

#include <memory>
#include <optional>
#include <vector>

namespace kivspc::gui {

class TSceneLayer;
class TPanelGrid;

// What lies under the mouse.
struct TChartHit {
    enum class Kind { Point, Line, Reference, Bar };
    QString Title;        // the hover text
    double Value = 0;     // the point's or the line's value there (a bar's top)
    int Panel = 0;        // the panel it belongs to
    std::string Series;   // the series' name ("Series_Loc" ...), empty for bars and reference lines
    double Position = -1; // the point's position (points only)
    bool IsPoint = false;
    Kind What = Kind::Line;
    TSceneRole Role = TSceneRole::None;
};

// What the window adds to a scene: the ranges zoomed into, and what the titles dialog changed.
// It is data, so that a picture of the chart as shown can be drawn anywhere at any size.
struct TChartOverrides {
    std::optional<QString> Title, YTitle, XTitle, Y2Title;
    // Point sizes of the title, the axis titles and the tick labels.
    std::optional<double> TitleSize, YTitleSize, XTitleSize, YLabelSize, XLabelSize;
};
struct TChartViewState {
    bool Zoomed = false;
    std::vector<QCPRange> XRanges, YRanges; // per panel, when zoomed
    TChartOverrides Overrides;
    std::vector<double> RowWeights; // the rows' shares moved by the sizing slider (empty: the scene's)
};

class TChartView : public QCustomPlot {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent = nullptr);
    ~TChartView() override;

    // Replaces whatever is drawn by the scene (and resets the zoom).
    void SetScene(TChartScene scene);
    void SetScene(std::shared_ptr<const TChartScene> scene);
    const TChartScene& Scene() const { return *scene_; }
    // The scene shared, for drawing it elsewhere without a copy.
    std::shared_ptr<const TChartScene> ScenePointer() const { return scene_; }

    // Moves the split of two rows without rebuilding (fraction of the height for the first).
    void SetSplit(double fraction);

    // The zoom and the titles, to draw the chart as shown elsewhere; and back.
    TChartViewState ViewState() const;
    void SetViewState(const TChartViewState& state);
    const TChartOverrides& Overrides() const { return overrides_; }
    // Applies changed titles and sizes (the titles dialog) and redraws.
    void SetOverrides(const TChartOverrides& overrides);

    // What lies under a widget position: the nearest point within a few pixels, else the nearest
    // line or reference line, else the bar under it; nothing over empty space.
    std::optional<TChartHit> HitAt(const QPointF& pos) const;
    bool OverTitle(const QPointF& pos) const;

    bool IsZoomed() const { return zoomed_; }
    // Back to the scene's ranges.
    void ZoomOut();

    QCPTextElement* TitleElement() const { return title_; }
    QCPTextElement* FooterElement() const { return footer_; }
    // The axis rect of a panel (null when there is none).
    QCPAxisRect* RectOf(int panel) const;

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
    void ApplyOverrides();
    QFont TitleFont() const;
    void LinkX(int panel, QCPAxis* x);
    // Fits the position labels and the room for the marks to the layout just made; true when
    // something changed that needs another layout.
    bool FitToLayout();
    // A panel's values are divided by this to reach its y axis (1 unless they are beyond the axis).
    double ScaleOf(int panel) const;
    // Pixels at the top of the first panel kept for the set labels and violation codes.
    double MarkReserve() const;
    void MarkZoomed();

    std::shared_ptr<const TChartScene> scene_ = std::make_shared<const TChartScene>();
    TChartOverrides overrides_;
    std::vector<double> rowWeights_;
    QCPTextElement* title_ = nullptr;
    QCPTextElement* footer_ = nullptr;
    TPanelGrid* grid_ = nullptr;
    std::vector<QCPMarginGroup*> margins_;
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

// A chart as a picture to draw anywhere: its scene, the window's view state and the size it has
// on screen.
struct TChartPicture {
    std::shared_ptr<const TChartScene> Scene;
    TChartViewState View;
    QSize Size;
};
TChartPicture PictureOf(const TChartView& view);

// Draws a scene as the window shows it (with its view state) on any paint device, at `size`
// pixels (logical units of the device), through a chart view that is never shown.
void RenderScene(std::shared_ptr<const TChartScene> scene, const TChartViewState& state, QCPPainter& painter,
                 QSize size);

} // namespace kivspc::gui
