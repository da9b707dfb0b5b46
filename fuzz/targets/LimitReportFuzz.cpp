// SPDX-License-Identifier: GPL-3.0-or-later
// The control limit calculator: its input checks and its report, with the texts of the edits
// as typed. Input: page, method, decimals, text scale, a flag, then the four texts (NUL-ended).
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "charts/contcalc.h"
#include "output/OutputModule.h"

namespace kivspc::fuzz {

int FuzzLimitReport(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingPlatform& platform = ResetCore();
    TControlLimitInput input;
    input.Page = ChartKindOfCalculatorPage(in.IntIn(-1, 12)).value_or(kChartNone);
    input.Method = static_cast<int>(in.IntIn(-1, 11));
    const std::uint8_t decimals = in.Byte();
    input.Decimals = decimals < 240 ? decimals % 20 - 2 : in.AnyInt();
    // The window's own scaling, not outside input: what a screen's text size can give.
    input.TextScale = 0.25 + in.Byte() / 64.0;
    const bool writeAnyway = in.Bool();
    input.CentreText = in.Field();
    input.StatisticText = in.Field();
    input.NText = in.Field();
    input.KText = in.Field();

    TOutputDocument document;
    SetOutputDocument(&document);
    const ControlLimitInputError error = CheckControlLimitInput(input);
    Check((error == ControlLimitInputError::None) == platform.Messages.empty(), "an input error is shown");
    // The window writes only after the checks pass; the writer must cope either way.
    if (error == ControlLimitInputError::None || writeAnyway) WriteControlLimitReport(input);
    Check(platform.BusyDepth == 0, "the busy cursor is back");
    ResetOutputModule();
    return 0;
}

} // namespace kivspc::fuzz
