// SPDX-License-Identifier: GPL-3.0-or-later
// The chart information window opened from the chart window: the report follows the chart, the
// grid its decimals, copying and printing the grid, the report-only commands and the return.
#include "GuiFixture.h"

#include "ChartFixture.h"

#include "app/Platform.h"
#include "charts/CCPointInfo.h"
#include "charts/CCPointInfoForm.h"
#include "charts/ControlTests.h"
#include "charts/VARchart.h"
#include "charts/VARchartForm.h"
#include "charts/VARchartPoints.h"
#include "data/DataFile.h"
#include "output/OutputRichEdit.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <limits>
#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class CCPointInfoFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
        VarChartSettings = TVarChartSettings{};
        ResetVarChart();
        ChartInfoStyle = TChartInfoStyle{};
        ASSERT_TRUE(BearingMeansAndRanges());
        BuildChartList();
        chart = std::make_unique<TVARchart_Form>(nullptr, nullptr);
        chart->Reload();
        chart->show();
    }
    void TearDown() override {
        if (ChartInfoWindow()) delete ChartInfoWindow();
        chart.reset();
        ChartInfoStyle = TChartInfoStyle{};
        GuiTest::TearDown();
    }
    TForm_CChart_Info& Open() {
        Child<QPushButton>(chart.get(), "Button_ChartInfo")->click();
        TForm_CChart_Info* info = ChartInfoWindow();
        if (!info) throw std::runtime_error("no information window");
        return *info;
    }

    RecordingPlatform recorder;
    std::unique_ptr<TVARchart_Form> chart;
};

TEST_F(CCPointInfoFormTest, TheReportAndGridFollowTheChart) {
    TForm_CChart_Info& info = Open();
    EXPECT_EQ(info.windowTitle(), "Variables Control Chart Analysis");
    EXPECT_TRUE(info.isVisible());
    const QString text = info.Report()->toPlainText();
    EXPECT_TRUE(text.startsWith("Mean and Range Chart: Bearing diameter, part 1 (mm)"));
    // Checked by hand in the help page's example; the indices have the report's 4 decimals.
    EXPECT_TRUE(text.contains("Cp  = 1.3984\n"));
    EXPECT_TRUE(text.contains("Cpk = 1.2846\n"));
    EXPECT_TRUE(text.contains("%Off-Target = 4.0667%\n"));
    EXPECT_TRUE(text.contains(" Between Samples        29"));
    EXPECT_TRUE(text.contains("1.3537    0.1310\n")) << text.toStdString();
    EXPECT_EQ(Child<QAction>(&info, "Return1")->text(), "&Return to Variables Chart");
    EXPECT_EQ(info.statusBar()->findChild<QLabel*>("Label_PointCount")->text(), "Point Count: 30");

    // The grid: headers and formatted cells.
    TVarPointModel* model = info.Model();
    ASSERT_EQ(model->rowCount(), 30);
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Mean");
    EXPECT_EQ(model->index(0, 3).data().toString(), "24.9900");
    Child<QSpinBox>(&info, "DecimalSpinEdit")->setValue(0);
    EXPECT_EQ(model->index(0, 3).data().toString(), "25");
    EXPECT_EQ(model->index(0, 0).data().toString(), "1") << "point numbers keep their form";
    EXPECT_EQ(model->index(0, 2).data().toString(), "5") << "subgroup sizes keep their form";
    EXPECT_TRUE(info.Report()->toPlainText().contains("Mean = 25\n")) << "the report follows the decimals";

    // Another chart kind: the report is rebuilt when the window is shown again.
    VarChartSettings.DispersionChart = kChartStdDev;
    VarChartSettings.DispersionMethod = kMethodAverageStdDev;
    chart->Recalculate();
    Child<QPushButton>(chart.get(), "Button_ChartInfo")->click();
    EXPECT_TRUE(info.Report()->toPlainText().startsWith("Mean and Std Dev (s) Chart:"));
}

TEST_F(CCPointInfoFormTest, CopyPrintAndPageCommands) {
    TForm_CChart_Info& info = Open();
    // The grid page: copy takes the selection, or every cell with its headers.
    info.Pages()->setCurrentIndex(1);
    EXPECT_FALSE(Child<QAction>(&info, "Paste1")->isEnabled());
    EXPECT_FALSE(Child<QAction>(&info, "IncreaseFont1")->isEnabled());
    info.CopyClick();
    EXPECT_TRUE(recorder.Clipboard.starts_with("Point\tLabels\tn\tMean\t"));
    // The top-left cell selects every cell.
    emit info.Grid()->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(info.Grid()->selectionModel()->selectedIndexes().size(),
              info.Model()->rowCount() * info.Model()->columnCount());
    info.Grid()->clearSelection();
    info.Grid()->selectionModel()->select(info.Model()->index(0, 3), QItemSelectionModel::Select);
    info.CopyClick();
    EXPECT_EQ(recorder.Clipboard, "Mean\r\n24.99\r\n") << "a selection is copied with its headers";

    // Print Grid as shown, read back by a PDF reader.
    QTemporaryDir dir;
    const QString pdf = dir.filePath("grid.pdf");
    ASSERT_TRUE(info.PrintGridToFile(pdf));
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString printed = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("Mean and Range Chart: Bearing diameter, part 1 (mm)"));
    EXPECT_TRUE(printed.contains("24.9900"));

    // The report page: fonts grow by a point each time.
    info.Pages()->setCurrentIndex(0);
    EXPECT_TRUE(Child<QAction>(&info, "IncreaseFont1")->isEnabled());
    Child<QAction>(&info, "IncreaseFont1")->trigger();
    EXPECT_EQ(ChartInfoStyle.BodySize, 10);
    EXPECT_EQ(info.Report()->Document().Line(0).FirstFont().Size, 15);

    // Closing shows the chart window again.
    chart->hide();
    info.close();
    EXPECT_TRUE(chart->isVisible());
}

// The Labels column shows the axis labels of the points, as the chart's axis does, and copying
// takes them with the header row; a cell never shows "inf", "nan" or a number hundreds of digits
// long.
TEST_F(CCPointInfoFormTest, TheGridShowsAxisLabelsAndNoInfinities) {
    // The shift column labels the axis: rows 1, 2, 3 ... are Early, Late, Early ...
    VarChartSettings.AxisLabelColumn = 2;
    chart->Recalculate();
    TForm_CChart_Info& info = Open();
    TVarPointModel* model = info.Model();
    ASSERT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Labels");
    EXPECT_EQ(model->index(0, 1).data().toString(), "Early");
    EXPECT_EQ(model->index(1, 1).data().toString(), "Late");
    info.Pages()->setCurrentIndex(1);
    info.Grid()->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(1, 1)),
                                          QItemSelectionModel::Select);
    info.CopyClick();
    EXPECT_EQ(recorder.Clipboard, "Point\tLabels\r\n1\tEarly\r\n2\tLate\r\n");

    // Cells that hold no finite number, or a huge one.
    VarChart.Points(kRowLocation, 1) = std::numeric_limits<double>::infinity();
    VarChart.Points(kRowDispersion, 1) = 1e300;
    VarChart.Points(kRowSigma, 1) = std::numeric_limits<double>::quiet_NaN();
    ASSERT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Mean");
    ASSERT_EQ(model->headerData(8, Qt::Horizontal, Qt::DisplayRole).toString(), "Range");
    const int sigma = model->columnCount() - 1;
    EXPECT_EQ(model->index(0, 3).data().toString(), "Not Computable");
    EXPECT_EQ(model->index(0, 8).data().toString(), "1.0000e+300");
    EXPECT_EQ(model->index(0, sigma).data().toString(), "Not Computable");
    EXPECT_EQ(model->GridCell(8, 1), "1e+300");
    EXPECT_EQ(model->GridCell(3, 1), "Not Computable");
}

} // namespace
