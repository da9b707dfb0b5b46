// SPDX-License-Identifier: GPL-3.0-or-later
// "Capability Summary": one page that puts the chosen group's control charts, histogram,
// probability plot and indices side by side, printed, copied and saved like any chart.
#pragma once

#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;

namespace kivspc::gui {

class TChartView;

class TForm_CapabilitySummary : public QMainWindow {
    Q_OBJECT
public:
    TForm_CapabilitySummary(QWidget* analysisWindow, QWidget* mainWindow);
    // Draws the page of `analysis` with the analysis window's options and shows the window.
    void ShowSummary(TCapabilityAnalysis& analysis, const TGraphOptions& options);
    TChartView* Chart() const { return chart_; }

private:
    void Redraw();

    QPointer<QWidget> caller_;
    TChartView* chart_ = nullptr;
    TCapabilityAnalysis* analysis_ = nullptr;
    std::function<void()> redraw_;
    QAction* zoomOut_ = nullptr;
    QAction* zoomOutTool_ = nullptr;
};

} // namespace kivspc::gui
