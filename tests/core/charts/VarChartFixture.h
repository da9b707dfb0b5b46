// SPDX-License-Identifier: GPL-3.0-or-later
// What the variables chart tests share: a table typed row by row and the usual chart settings.
#pragma once

#include "CoreFixture.h"

#include "charts/ChartScene.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"

#include <string>
#include <vector>

class VarChartTest : public CoreTest {
protected:
    // Columns of numbers (row by row); empty strings stay empty cells.
    static void Table(const std::vector<std::vector<std::string>>& rows, int columns) {
        kivspc::TDataTable& t = kivspc::DataTable();
        t.SetColumnCount(columns);
        t.SetRowCount(static_cast<int>(rows.size()));
        kivspc::TTableEdit::Cells(1, 1, rows).Apply();
        kivspc::DataList.RebuildValues();
    }
    // One measure column, no groups.
    static void Measure(int column) {
        kivspc::TVarChartSettings& s = kivspc::VarChartSettings;
        s.Measures = {};
        s.Measures[static_cast<std::size_t>(column)] = 1;
        s.RunInfo.FirstMeasure = s.RunInfo.LastMeasure = column;
    }
    // The two charts, one limit method for both and the average centerlines.
    static void Charts(kivspc::TChartKind location, kivspc::TChartKind dispersion, std::uint8_t method) {
        kivspc::TVarChartSettings& s = kivspc::VarChartSettings;
        s.LocationChart = location;
        s.DispersionChart = dispersion;
        s.LocationMethod = s.DispersionMethod = method;
        s.LocationCenterline = kivspc::kCenterAverage;
        s.DispersionCenterline = kivspc::kCenterDispAverage;
    }
    // Column 1 as individual values with moving ranges of two, average limits and centerlines.
    static void IndividualsAndMovingRange() {
        using namespace kivspc;
        TVarChartSettings& s = VarChartSettings;
        Measure(1);
        s.DataLayout = 1;
        Charts(kChartX, kChartMovingRange, kMethodAverageMR);
    }
    static double At(int row, int point) { return kivspc::VarChart.Points(row, point); }
};

// Chart tests that draw: the window's display options and colours start at their defaults and
// are put back after the test.
class VarChartSceneFixture : public VarChartTest {
protected:
    void SetUp() override {
        VarChartTest::SetUp();
        kivspc::VarChartDisplay = kivspc::TVarChartDisplay{};
        kivspc::ChartsBlackAndWhite = false;
    }
    void TearDown() override {
        kivspc::ChartsBlackAndWhite = false;
        kivspc::VarChartDisplay = kivspc::TVarChartDisplay{};
        VarChartTest::TearDown();
    }
};
