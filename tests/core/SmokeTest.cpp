// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"
TEST_F(CoreTest, NewTableHasOneColumn) { EXPECT_EQ(kivspc::ColumnCount(), 1); }
