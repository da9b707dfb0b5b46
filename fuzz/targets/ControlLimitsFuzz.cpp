// SPDX-License-Identifier: GPL-3.0-or-later
// The shared control limit routine with any chart kind, method and doubles (negative, huge,
// denormal, infinite, NaN). Input: chart, method, then centerline, n, k and the statistic.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/SharedState.h"
#include "stats/ControlLimits.h"

#include <cmath>

namespace kivspc::fuzz {

int FuzzControlLimits(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    const TChartKind chart = ChartKindOfCalculatorPage(in.Byte() % 13).value_or(kChartNone);
    const std::uint8_t methodByte = in.Byte();
    const auto method = static_cast<std::uint8_t>(methodByte < 240 ? methodByte % 12 : methodByte);
    double centerline = in.AnyDouble();
    const double centerIn = centerline;
    double sigma = in.AnyDouble();
    double lcl = in.AnyDouble();
    double ucl = in.AnyDouble();
    const double n = in.AnyDouble();
    const double k = in.AnyDouble();
    const double statistic = in.AnyDouble();

    const std::int32_t status =
        ComputeControlLimits(chart, method, centerline, sigma, lcl, ucl, n, k, statistic);
    Check(status == StatErrorCode, "the status is left in StatErrorCode");
    ControlLimitStatusText(status);
    if (status > 0) {
        Check(sigma == 0 && lcl == 0 && ucl == 0, "a positive status leaves the outputs 0");
        if (HasCentreInput(chart))
            Check(std::isnan(centerIn) ? std::isnan(centerline) : centerline == centerIn,
                  "a positive status leaves the given centerline alone");
    } else if (status == kLimitsComputed) {
        Check(!std::isnan(centerline) && !std::isnan(sigma) && !std::isnan(lcl) && !std::isnan(ucl),
              "computed limits are numbers");
    }
    return 0;
}

} // namespace kivspc::fuzz
