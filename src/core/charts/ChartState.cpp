// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartState.h"

#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/CCPointInfo.h"
#include "charts/ChartScene.h"
#include "charts/ChartTexts.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"

namespace kivspc {

void ResetChartState() {
    ResetVarChart();
    VarChartDisplay = TVarChartDisplay{};
    ChartsBlackAndWhite = false;
    ChartInfoStyle = TChartInfoStyle{};
    ChartVersion = 0;
    ChartTextMemory = TChartTextMemory{};
    ResetAttrChart();
    AttrChartDisplay = TAttrChartDisplay{};
}

} // namespace kivspc
