// SPDX-License-Identifier: GPL-3.0-or-later
// The printer text device's layout: margins, header and footer, fonts and the text written
// (tabs, line and page breaks, long words, multi-byte characters) come from the input; the
// page is a device with fixed metrics of any plausible size and resolution.
// Input: the device, margins, header and footer, then a sequence of writes.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/TextTools.h"
#include "output/OutputModule.h"

#include <cmath>

namespace kivspc::fuzz {

namespace {

// Every character is as wide as the font's size in points and twice as high, in pixels.
class FixedTextDevice : public TextDevice {
public:
    int TextWidth(std::string_view text, const TOutputFont& font) override {
        return static_cast<int>(std::min<std::size_t>(CharCount(text), 1u << 20)) * CharWidth(font);
    }
    int TextHeight(std::string_view, const TOutputFont& font) override { return 2 * CharWidth(font); }
    int AverageCharWidth(const TOutputFont& font) override { return CharWidth(font); }
    void DrawText(int, int, std::string_view, const TOutputFont&) override { ++drawings; }
    int PageWidth() override { return width; }
    int PageHeight() override { return height; }
    int DpiX() override { return dpi; }
    int DpiY() override { return dpi; }
    int OffsetX() override { return offsetX; }
    int OffsetY() override { return offsetY; }
    void NewPage() override { ++pages; }
    std::string DateText() override { return "12/15/2007"; }

    int width = 850, height = 1100, dpi = 100, offsetX = 0, offsetY = 0;
    long long drawings = 0;
    long long pages = 1;

private:
    static int CharWidth(const TOutputFont& font) {
        return static_cast<int>(std::lround(ClampFontSize(font.Size)));
    }
};

TOutputFont AnyFont(FuzzInput& in) {
    TOutputFont font;
    font.Size = in.Bool() ? 10.0 : in.AnyDouble();
    font.Bold = in.Bool();
    return font;
}

} // namespace

int FuzzPrinterLayout(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    FixedTextDevice device;
    device.width = static_cast<int>(in.IntIn(0, 5000));
    device.height = static_cast<int>(in.IntIn(0, 5000));
    device.dpi = static_cast<int>(in.IntIn(0, 1200));
    device.offsetX = static_cast<int>(in.IntIn(0, 200));
    device.offsetY = static_cast<int>(in.IntIn(0, 200));

    TMPrinter printer(device);
    // Every argument is read in its own statement, in the input's order whatever the compiler.
    const int marginLeft = in.AnyInt();
    const int marginRight = in.AnyInt();
    const int marginBottom = in.AnyInt();
    printer.SetPrintMargins(marginLeft, marginRight, marginBottom, in.AnyInt());
    for (int i = 0; i < 2; ++i) {
        const int which = static_cast<int>(in.IntIn(0, 3));
        const std::string left = in.Field();
        const std::string centre = in.Field();
        const std::string right = in.Field();
        const TOutputFont font = AnyFont(in);
        const bool drawNow = in.Bool();
        printer.SetPrintHeaderFooter(which, left, centre, font, drawNow, in.AnyInt(), right);
    }
    printer.SetFont(AnyFont(in));
    for (int writes = 0; writes < 16 && !in.Empty(); ++writes) {
        const bool line = in.Bool();
        const std::string text = in.Field();
        if (line)
            printer.WriteLine(text);
        else
            printer.Write(text);
        printer.FillFields(text);
    }
    printer.Close();
    Check(printer.PageNumber() >= 1 && printer.PageNumber() == device.pages,
          "pages are counted as they start");
    return 0;
}

} // namespace kivspc::fuzz
