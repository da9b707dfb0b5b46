// SPDX-License-Identifier: GPL-3.0-or-later
// The capability analysis' row statistics: mean, standard deviation and count of the selected
// measure columns per row, after Process If and the transform; values worked out by hand.
#include "charts/VarChartFixture.h"

#include "capability/CapabilityPlot.h"
#include "data/DataList.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <cmath>

using namespace kivspc;

namespace {

class RowStatisticsTest : public VarChartTest {
protected:
    static double Cell(int k, int row) {
        return Values[static_cast<std::size_t>(DataTable().ColumnCount() + k)][static_cast<std::size_t>(row)];
    }
};

TEST_F(RowStatisticsTest, MeansDeviationsAndCountsOfTheSelectedColumns) {
    Table({{"1", "3", "100", "1"}, {"2", "", "100", "2"}, {"", "", "100", "1"}, {"4", "8", "100", "1"}}, 4);
    DataList.Selected = {};
    DataList.Selected[1] = DataList.Selected[2] = 1;
    ComputeRowStatistics();
    // Row 1: 1 and 3: mean 2, sd sqrt(2); row 2: one value; row 3: none.
    EXPECT_DOUBLE_EQ(Cell(1, 1), 2);
    EXPECT_DOUBLE_EQ(Cell(2, 1), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(Cell(3, 1), 2);
    EXPECT_DOUBLE_EQ(Cell(1, 2), 2);
    EXPECT_FALSE(NotMissing(Cell(2, 2))) << "one value has no standard deviation";
    EXPECT_DOUBLE_EQ(Cell(3, 2), 1);
    EXPECT_FALSE(NotMissing(Cell(1, 3)));
    EXPECT_DOUBLE_EQ(Cell(3, 3), 0);

    // Process If leaves row 2 out; the transform 2X + 1 applies to the values: row 4 is 9 and 17.
    ApplyProcessIf({4, "Col4", kRelEqual, "1"}, {}, false);
    TransformRec.Kind = kTransformLinear;
    TransformRec.A = 2;
    TransformRec.B = 1;
    ComputeRowStatistics();
    EXPECT_DOUBLE_EQ(Cell(3, 2), 0);
    EXPECT_FALSE(NotMissing(Cell(1, 2)));
    EXPECT_DOUBLE_EQ(Cell(1, 4), 13);
    EXPECT_DOUBLE_EQ(Cell(2, 4), std::sqrt(32.0));
}

} // namespace
