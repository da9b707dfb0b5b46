// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilityPlot.h"

#include "app/MissingValue.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Missu.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kivspc {

void ComputeRowStatistics() {
    if (ValuesStale) DataList.RebuildValues();
    EnsureRowStatisticColumns();
    const TDataTable& table = DataTable();
    const int columns = table.ColumnCount(), rows = table.RowCount();
    if (Values.size() < static_cast<std::size_t>(columns) + 4) return;
    std::vector<int> measures;
    for (int c = 1; c <= std::min(columns, kMaxColumns); ++c)
        if (DataList.Selected[static_cast<std::size_t>(c)]) measures.push_back(c);
    std::vector<std::uint8_t> selected;
    SelectRows(rows, selected);
    auto& mean = Values[static_cast<std::size_t>(columns) + 1];
    auto& sd = Values[static_cast<std::size_t>(columns) + 2];
    auto& count = Values[static_cast<std::size_t>(columns) + 3];
    for (int r = 1; r <= rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        mean[row] = sd[row] = MissingValue;
        count[row] = 0;
        if (row >= selected.size() || !selected[row]) continue;
        // Welford's running mean and sum of squares: one pass, no cancellation.
        int k = 0;
        long double m = 0, squares = 0;
        for (int c : measures) {
            const auto& cells = Values[static_cast<std::size_t>(c)];
            double v = row < cells.size() ? cells[row] : MissingValue;
            if (!IsValidValue(v)) continue;
            if (TransformRec.Kind != kTransformNone) {
                const double t = TransformValue(v);
                if (TransformRec.ErrorFlag) {
                    ReportTransformError();
                } else {
                    v = t;
                }
            }
            ++k;
            const long double delta = v - m;
            m += delta / k;
            squares += delta * (v - m);
        }
        count[row] = k;
        if (k >= 1) mean[row] = static_cast<double>(m);
        if (k >= 2) sd[row] = static_cast<double>(std::sqrt(squares / (k - 1)));
    }
}

} // namespace kivspc
