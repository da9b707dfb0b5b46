// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/MPrinters.h"

#include "app/MissingValue.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <vector>

namespace kivspc {

namespace {

int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2)); }

// Thousandths of an inch to pixels at the given resolution.
long long ToPixels(int thousandths, int dpi) {
    Extended pixels = std::nearbyint(static_cast<Extended>(thousandths) * dpi / 1000);
    return static_cast<long long>(std::clamp<Extended>(pixels, INT_MIN / 2, INT_MAX / 2));
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The position just after the first "&" + letter (any case), or npos.
std::size_t FindField(std::string_view text, char upper) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&' && (text[i + 1] == upper || text[i + 1] == upper - 'A' + 'a')) return i;
    }
    return std::string_view::npos;
}

} // namespace

TMPrinter::TMPrinter(TextDevice& device) : device_(device) {
    right_ = std::max(0, device_.PageWidth());
    bottom_ = std::max(0, device_.PageHeight());
}

void TMPrinter::SetPrintMargins(int left, int right, int bottom, int top) {
    const long long w = std::max(0, device_.PageWidth());
    const long long h = std::max(0, device_.PageHeight());
    const int ox = device_.OffsetX();
    const int oy = device_.OffsetY();

    long long l = ToPixels(left, device_.DpiX()) - ox;
    left_ = (0 < l && l < w) ? ClampInt(l) : 0;
    // An edge beyond the printable area (offset larger than the margin) falls back to the area's edge.
    long long r = w - (ToPixels(right, device_.DpiX()) - ox);
    right_ = (r > 0 && r > left_ && r <= w) ? ClampInt(r) : ClampInt(w);
    long long t = ToPixels(top, device_.DpiY()) - oy;
    top_ = (0 < t && t < h) ? ClampInt(t) : 0;
    long long b = h - (ToPixels(bottom, device_.DpiY()) - oy);
    bottom_ = (b > 0 && b > top_ && b <= h) ? ClampInt(b) : ClampInt(h);
}

void TMPrinter::SetPrintHeaderFooter(int which, std::string_view left, std::string_view centre,
                                     const TOutputFont& font, bool drawNow, int position,
                                     std::string_view right) {
    if (which != kPrintHeader && which != kPrintFooter) return;
    const bool header = which == kPrintHeader;
    long long pixels = std::max<long long>(0, ToPixels(position, device_.DpiY()) - device_.OffsetY());
    Decoration& d = header ? header_ : footer_;
    d.Position = header ? ClampInt(pixels) : ClampInt(std::max(0, device_.PageHeight()) - pixels);
    d.Left = left;
    d.Centre = centre;
    d.Right = right;
    d.Font = font;
    d.Enabled = true;
    if (drawNow && page_ == 1) DrawDecorations();
}

std::string TMPrinter::FillFields(std::string_view text) {
    std::string out(text);
    std::size_t at = FindField(out, 'P');
    if (at != std::string::npos) {
        char digits[16];
        auto [end, ec] = std::to_chars(digits, digits + sizeof digits, page_);
        (void)ec;
        out.replace(at, 2, digits, static_cast<std::size_t>(end - digits));
    }
    at = FindField(out, 'D');
    if (at != std::string::npos) out.replace(at, 2, device_.DateText());
    return out;
}

void TMPrinter::DrawDecoration(const Decoration& d, int y) {
    std::string text = FillFields(d.Left);
    if (!text.empty()) device_.DrawText(left_, y, text, d.Font);
    text = FillFields(d.Centre);
    if (!text.empty()) {
        long long width = device_.TextWidth(text, d.Font);
        device_.DrawText(ClampInt(left_ + (right_ - left_ - width) / 2), y, text, d.Font);
    }
    text = FillFields(d.Right);
    if (!text.empty())
        device_.DrawText(ClampInt(right_ - static_cast<long long>(device_.TextWidth(text, d.Font))), y, text,
                         d.Font);
}

void TMPrinter::DrawDecorations() {
    if (header_.Enabled) DrawDecoration(header_, header_.Position);
    if (footer_.Enabled) {
        long long letter = device_.TextHeight("A", footer_.Font);
        DrawDecoration(footer_, ClampInt(footer_.Position - 2 * letter));
    }
}

void TMPrinter::NewPage() {
    pageBreakDue_ = false;
    x_ = left_;
    y_ = top_;
    lineHeight_ = 0;
    device_.NewPage();
    ++page_;
    DrawDecorations();
}

void TMPrinter::StartDuePage() {
    if (pageBreakDue_) NewPage();
}

void TMPrinter::NewLine() {
    StartDuePage();
    x_ = left_;
    y_ = std::max(y_, top_);
    long long advance = lineHeight_ > 0 ? lineHeight_ : device_.TextHeight("", font_);
    y_ = ClampInt(y_ + advance);
    lineHeight_ = 0;
    // The page is full when a line as high as this one would cross the bottom margin.
    if (bottom_ - advance < y_) pageBreakDue_ = true;
}

void TMPrinter::Tab() {
    StartDuePage();
    x_ = std::max(x_, left_);
    long long step = std::max(1LL, 8LL * device_.AverageCharWidth(font_));
    long long offset = static_cast<long long>(x_) - left_;
    x_ = ClampInt(left_ + (offset / step + 1) * step);
    if (x_ > right_) NewLine();
}

void TMPrinter::PrintRun(std::string_view run) {
    std::vector<std::size_t> ends; // byte end of each character, filled only when the run is too long
    while (!run.empty()) {
        StartDuePage();
        x_ = std::max(x_, left_);
        y_ = std::max(y_, top_);
        const long long room = static_cast<long long>(right_) - x_;

        std::size_t take = run.size();
        long long width = device_.TextWidth(run, font_);
        if (width > room) {
            // Longest leading part that fits, by bisection over character boundaries.
            ends.clear();
            for (std::size_t i = 1; i <= run.size(); ++i) {
                if (i == run.size() || !IsContinuation(run[i])) ends.push_back(i);
            }
            std::ptrdiff_t fits = -1;                                            // last index known to fit
            std::ptrdiff_t fails = static_cast<std::ptrdiff_t>(ends.size()) - 1; // first known not to
            long long fitWidth = 0;
            while (fails - fits > 1) {
                std::ptrdiff_t mid = fits + (fails - fits) / 2;
                long long w = device_.TextWidth(run.substr(0, ends[static_cast<std::size_t>(mid)]), font_);
                if (w <= room) {
                    fits = mid;
                    fitWidth = w;
                } else {
                    fails = mid;
                }
            }
            if (fits < 0) {
                if (x_ > left_) {
                    NewLine();
                    continue;
                }
                // Wider than the whole line: print one character anyway so that printing goes on.
                take = ends.front();
                width = device_.TextWidth(run.substr(0, take), font_);
            } else {
                take = ends[static_cast<std::size_t>(fits)];
                width = fitWidth;
            }
        }

        std::string_view part = run.substr(0, take);
        device_.DrawText(x_, y_, part, font_);
        lineHeight_ =
            std::max(lineHeight_, ClampInt(static_cast<long long>(device_.TextHeight(part, font_)) + 2));
        run.remove_prefix(take);
        if (!run.empty()) {
            NewLine();
        } else {
            x_ = ClampInt(x_ + width);
        }
    }
}

void TMPrinter::Write(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\t' && c != '\n' && c != '\r' && c != '\f') continue;
        PrintRun(text.substr(start, i - start));
        start = i + 1;
        switch (c) {
        case '\t': Tab(); break;
        case '\n': NewLine(); break;
        case '\f':
            // A page already due is the page this form feed asks for.
            NewPage();
            break;
        default: // CR only prints what is pending
            break;
        }
    }
    PrintRun(text.substr(start));
}

void TMPrinter::WriteLine(std::string_view text) {
    Write(text);
    NewLine();
}

} // namespace kivspc
