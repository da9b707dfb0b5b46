// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis window driven as a user drives it: the example's diameters as one
// measure and as subgroups in rows by shift, the distribution list, capability and performance,
// the check boxes, decimals and the table's drawing and copy.
#include "GuiFixture.h"

#include "capability/CapabilityPlot.h"
#include "capability/CapabilityPlotForm.h"
#include "capability/CapabilitySetup.h"
#include "capability/CapabilitySummaryForm.h"
#include "charts/ChartView.h"
#include "data/DataFile.h"
#include "stats/Fit.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>

#include <cstdlib>
#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class CapabilityPlotFormTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(LoadFile(KIVSPC_EXAMPLES_DIR "/bearing-diameters.kivs"));
        form = std::make_unique<TForm_CapabilityPlot>(nullptr);
    }
    void Open(const TCapabilityChoice& choice) {
        ASSERT_TRUE(StoreCapabilitySetup(choice));
        form->ShowCapabilityAnalysis(nullptr, "Capability/Performance Setup Form");
    }
    // The right cell of the table row labelled `left`; empty when there is none.
    QString Cell(const QString& left) const {
        QTableWidget* t = form->Table();
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0) && t->item(r, 0)->text() == left) return t->item(r, 1)->text();
        return {};
    }
    int Row(const QString& left) const {
        QTableWidget* t = form->Table();
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0) && t->item(r, 0)->text() == left) return r;
        return -1;
    }
    void Shot(const char* name) const {
        form->Chart()->replot();
        if (const char* dir = std::getenv("KIVSPC_SHOTS"))
            form->grab().save(QString(dir) + "/" + name + ".png");
    }

    std::unique_ptr<TForm_CapabilityPlot> form;
};

TEST_F(CapabilityPlotFormTest, OneMeasureWithItsSpecifications) {
    Open({{3}}); // Diam1, LSL 24.94, Target 25, USL 25.06
    EXPECT_TRUE(form->windowTitle().startsWith("Capability/Performance & Distribution Analysis - "));
    EXPECT_EQ(form->GroupList()->count(), 1) << "one group: no (All)";
    EXPECT_TRUE(form->Table()->isVisible() || !form->isVisible());
    EXPECT_EQ(Cell("n"), "30");
    EXPECT_EQ(Cell("USL"), "25.06");
    EXPECT_TRUE(Cell("Cp").isEmpty()) << "no distribution chosen";
    EXPECT_FALSE(form->Check("CheckBox_Fit")->isVisibleTo(form.get()));

    form->DistributionBox()->setCurrentIndex(kDistNormal);
    EXPECT_TRUE(form->Check("CheckBox_Fit")->isVisibleTo(form.get()));
    EXPECT_FALSE(Cell("Cpk").isEmpty());
    EXPECT_EQ(Cell("(S-W)W"), "p-value");
    // The separators are drawn low; the rest at the row height.
    const int separator = Row(QString());
    ASSERT_GE(separator, 0);
    EXPECT_EQ(form->Table()->rowHeight(separator), 5);
    EXPECT_EQ(form->Table()->rowHeight(Row("n")), 20);

    form->Decimals()->setValue(2);
    EXPECT_EQ(Cell("Mean").split('.').last().size(), 2);
    form->Check("CheckBox_ViewStats")->setChecked(false);
    EXPECT_TRUE(Cell("Mean").isEmpty());
    form->Check("CheckBox_ViewStats")->setChecked(true);

    // Performance leaves the distribution and brings the performance rows; Capability brings the
    // distribution back.
    form->PerformanceButton()->setChecked(true);
    EXPECT_FALSE(form->DistributionBox()->isVisibleTo(form.get()));
    EXPECT_EQ(form->Check("CheckBox_Cap")->text(), "Performance");
    EXPECT_FALSE(Cell("Ppk").isEmpty());
    EXPECT_TRUE(Cell("Var(Total)").endsWith("(100.0%)"));
    Shot("capability-performance");
    form->CapabilityButton()->setChecked(true);
    EXPECT_EQ(form->DistributionBox()->currentIndex(), kDistNormal);
    EXPECT_FALSE(Cell("Cpk").isEmpty());

    // The table's selection copies as tab-delimited lines.
    form->Table()->setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 1), true);
    form->CopyTableSelection();
    EXPECT_EQ(QApplication::clipboard()->text(), "n\t30\r\nMean\t" + Cell("Mean") + "\r\n");
}

TEST_F(CapabilityPlotFormTest, SubgroupsInRowsByShift) {
    TCapabilityChoice choice{{3, 4, 5, 6, 7}, {2}};
    choice.LayoutIndex = kLayoutSubgroupsInRows;
    Open(choice);
    ASSERT_EQ(form->GroupList()->count(), 3);
    EXPECT_EQ(form->GroupList()->item(0)->text(), "(All)");
    EXPECT_EQ(Cell("n"), "150");
    EXPECT_FALSE(Cell("Std Dev(pot)").isEmpty()) << "pooled over the two shifts";
    form->DistributionBox()->setCurrentIndex(kDistJohnson);
    EXPECT_FALSE(Cell("Johnson").isEmpty());
    Shot("capability-johnson");
    form->GroupList()->setCurrentRow(1);
    EXPECT_EQ(Cell("n"), "75");
    form->DistributionBox()->setCurrentIndex(kDistNormal);
    Shot("capability-normal");
    EXPECT_EQ(form->Chart()->Scene().TitleLines.front(), "Histogram: Shift (Early)");
    EXPECT_NE(form->Chart()->Scene().FindLine("Curve"), nullptr);

    // The probability plot page: the linear plot is offered with a model chosen.
    form->Pages()->setCurrentIndex(1);
    EXPECT_TRUE(form->LinearCheck()->isVisibleTo(form.get()));
    form->DistributionBox()->setCurrentIndex(kDistJohnson);
    form->PaperCheck()->setChecked(true);
    Shot("capability-probability-paper");
    form->LinearCheck()->setChecked(true);
    EXPECT_EQ(form->Chart()->Scene().Panels[0].Y.Title, "Predicted Value");
    Shot("capability-probability-linear");

    // Back on the histogram: a polygon, and a typed width of 0.005.
    form->Pages()->setCurrentIndex(0);
    form->PolygonButton()->setChecked(true);
    form->IntervalCheck()->setChecked(true);
    form->IntervalEdit()->setText("0.005");
    emit form->IntervalEdit()->returnPressed();
    EXPECT_EQ(form->LastGraph().SizeUsed, "Size Used: (0.005)");
    EXPECT_NE(form->Chart()->Scene().FindLine("Polygon"), nullptr);
    Shot("capability-polygon");
}

TEST_F(CapabilityPlotFormTest, OnePageSummaryOfTheChosenGroup) {
    Open({{3}});
    form->DistributionBox()->setCurrentIndex(kDistNormal);
    TForm_CapabilitySummary* summary = form->ShowSummary();
    ASSERT_NE(summary, nullptr);
    const TChartScene& scene = summary->Chart()->Scene();
    EXPECT_EQ(scene.TitleLines.front(), "Capability Summary: Diam1");
    EXPECT_EQ(scene.Panels.size(), 6u);
    EXPECT_EQ(scene.FindPoints("Series_Loc")->Y.size(), 30u);
    // The analysis window still shows its own page of the same group.
    EXPECT_EQ(Cell("n"), "30");
    summary->Chart()->replot();
    if (const char* dir = std::getenv("KIVSPC_SHOTS"))
        summary->grab().save(QString(dir) + "/capability-summary.png");
}

} // namespace
