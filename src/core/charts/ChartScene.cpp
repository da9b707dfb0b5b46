// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartScene.h"

#include <algorithm>

namespace kivspc {

bool ChartsBlackAndWhite = false;

const TLineSeries* TChartScene::FindLine(std::string_view name) const {
    for (const TLineSeries& line : Lines)
        if (line.Name == name) return &line;
    return nullptr;
}

const TPointSeries* TChartScene::FindPoints(std::string_view name) const {
    for (const TPointSeries& series : Points)
        if (series.Name == name) return &series;
    return nullptr;
}

bool TChartScene::Crosses(const TSeparator& separator, int panel) const {
    if (separator.Panel != kAllPanels) return separator.Panel == panel;
    if (panel == 0) return true;
    if (panel < 0 || panel >= static_cast<int>(Panels.size()) || Panels.empty()) return false;
    const int group = Panels.front().XLink;
    return group != kNoLink && Panels[static_cast<std::size_t>(panel)].XLink == group;
}

void AddStepRuns(TLineSeries& line, const std::vector<double>& x, const std::vector<double>& y,
                 double spacing) {
    const double half = spacing / 2;
    std::vector<double>* runX = nullptr;
    std::vector<double>* runY = nullptr;
    double lastX = 0, lastY = 0;
    const auto endRun = [&] {
        if (!runX) return;
        runX->push_back(lastX + half);
        runY->push_back(lastY);
        runX = runY = nullptr;
    };
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (IsGap(y[i])) {
            endRun();
            continue;
        }
        if (!runX) {
            runX = &line.RunsX.emplace_back();
            runY = &line.RunsY.emplace_back();
            runX->push_back(x[i] - half);
            runY->push_back(y[i]);
        } else if (y[i] != lastY) {
            // The vertical joining two runs stands midway between their neighbouring positions.
            const double joinX = (lastX + x[i]) / 2;
            runX->insert(runX->end(), {joinX, joinX});
            runY->insert(runY->end(), {lastY, y[i]});
        }
        lastX = x[i];
        lastY = y[i];
    }
    endRun();
}

} // namespace kivspc
