// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilitySummaryForm.h"

#include "app/FormShell.h"
#include "app/Help.h"
#include "app/Platform.h"
#include "capability/CapabilityGraphs.h"
#include "charts/ChartScene.h"
#include "charts/ChartTitles.h"
#include "charts/ChartView.h"
#include "charts/ChartWindowParts.h"
#include "charts/GraphDia.h"

#include <QAction>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Capability Summary";

} // namespace

TForm_CapabilitySummary::TForm_CapabilitySummary(QWidget* analysisWindow, QWidget* mainWindow)
    : QMainWindow(analysisWindow, Qt::Window), caller_(analysisWindow) {
    setObjectName("Form_CapabilitySummary");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    chart_ = new TChartView(this);
    chart_->setMinimumSize(640, 480);
    setCentralWidget(chart_);
    const TChartCommands commands =
        AddChartCommands(this, {.Chart = chart_,
                                .MainWindow = mainWindow,
                                .ReturnHint = "Return to Capability Analysis",
                                .Return = [this] { BringBack(caller_ ? caller_.data() : parentWidget()); },
                                .EditTitles = [this] { EditChartTitles(chart_, this); },
                                .Redraw = [this] { Redraw(); },
                                .HelpTopic = kHelpCapabilityAnalysis});
    zoomOut_ = commands.ZoomOut;
    zoomOutTool_ = commands.ZoomOutTool;
    zoomOut_->setEnabled(false);
    zoomOutTool_->setEnabled(false);
    connect(chart_, &TChartView::titleClicked, this, [this] { EditChartTitles(chart_, this); });
    connect(chart_, &TChartView::mouseDoubleClick, this, [this](QMouseEvent*) { CopyChart(chart_); });
    connect(chart_, &TChartView::zoomChanged, this, [this](bool zoomed) {
        zoomOut_->setEnabled(zoomed);
        zoomOutTool_->setEnabled(zoomed);
    });
    FormMenus menus;
    menus.fileMenu = commands.File;
    menus.returnCaption = kCaption;
    menus.helpTopic = kHelpCapabilityAnalysis;
    menus.helpCaption = "&Help on Capability Analysis";
    menus.helpItemName = "HelponOutputForm1";
    SetUpFormMenus(this, menus);
    resize(1200, 860);
}

void TForm_CapabilitySummary::ShowSummary(TCapabilityAnalysis& analysis, const TGraphOptions& options) {
    analysis_ = &analysis;
    redraw_ = [this, options] {
        if (!analysis_) return;
        TGraphOptions o = options;
        o.BlackAndWhite = ChartsBlackAndWhite;
        TChartScene scene;
        BusyCursor busy;
        DrawCapabilitySummary(*analysis_, o, scene);
        chart_->SetScene(std::move(scene));
    };
    Redraw();
    BringBack(this);
}

void TForm_CapabilitySummary::Redraw() {
    if (redraw_) redraw_();
}

} // namespace kivspc::gui
