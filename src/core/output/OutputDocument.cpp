// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputDocument.h"

#include "app/MissingValue.h"
#include "output/ReditU.h"

#include <algorithm>
#include <cmath>

namespace kivspc {

TOutputFont DefaultOutputFont() { return TOutputFont{}; }

double ClampFontSize(double size) {
    if (std::isnan(size)) return 10.0;
    return std::clamp(size, kMinFontSize, kMaxFontSize);
}

std::string TOutputLine::Text() const {
    if (Runs.size() == 1) return Runs.front().Text;
    std::string text;
    for (const TOutputRun& run : Runs)
        text += run.Text;
    return text;
}

bool TOutputLine::IsPageMarker() const {
    // Compared run by run: no text is assembled for the common case of a long line.
    std::string_view rest = kPageMarker;
    for (const TOutputRun& run : Runs) {
        if (run.Text.size() > rest.size() || rest.substr(0, run.Text.size()) != run.Text) return false;
        rest.remove_prefix(run.Text.size());
    }
    return rest.empty();
}

bool TOutputLine::ContainsPageMarker() const {
    if (Runs.size() == 1) return Runs.front().Text.find(kPageMarker) != std::string::npos;
    return Text().find(kPageMarker) != std::string::npos;
}

TOutputDocument::TOutputDocument() { lines_.emplace_back().BreakFont = defaultFont_; }

TOutputDocument::~TOutputDocument() { ForgetOutputDocument(this); }

void TOutputDocument::SetDefaultFont(const TOutputFont& font) {
    defaultFont_ = font;
    defaultFont_.Size = ClampFontSize(font.Size);
}

void TOutputDocument::AppendText(std::string_view text, const TOutputFont& font) {
    if (text.empty()) return;
    std::vector<TOutputRun>& runs = lines_.back().Runs;
    double size = ClampFontSize(font.Size);
    if (size == font.Size) {
        if (!runs.empty() && runs.back().Font == font) {
            runs.back().Text += text;
            return;
        }
        runs.push_back(TOutputRun{std::string(text), font});
        return;
    }
    TOutputFont held = font;
    held.Size = size;
    if (!runs.empty() && runs.back().Font == held) {
        runs.back().Text += text;
        return;
    }
    runs.push_back(TOutputRun{std::string(text), std::move(held)});
}

void TOutputDocument::EndLine(const TOutputFont& font) {
    TOutputLine& line = lines_.back();
    line.BreakFont = font;
    line.BreakFont.Size = ClampFontSize(font.Size);
    // The new line starts in the same font, so an empty last line still has a sensible one.
    TOutputFont next = line.BreakFont;
    lines_.emplace_back().BreakFont = std::move(next);
}

void TOutputDocument::WriteText(std::string_view text, const TOutputFont& font) {
    if (text.empty()) return;
    std::size_t start = 0;
    if (lastWasCR_ && text.front() == '\n') start = 1;
    lastWasCR_ = false;
    std::size_t i = start;
    while (i < text.size()) {
        char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        AppendText(text.substr(start, i - start), font);
        EndLine(font);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (c == '\r' && i + 1 == text.size()) lastWasCR_ = true;
        start = ++i;
    }
    AppendText(text.substr(start), font);
}

void TOutputDocument::Write(std::string_view text, const TOutputFont& font) {
    if (text.empty()) return;
    WriteText(text, font);
    Changed();
}

void TOutputDocument::WriteLine(std::string_view text, const TOutputFont& font) {
    WriteText(text, font);
    lastWasCR_ = false;
    EndLine(font);
    Changed();
}

void TOutputDocument::WriteLineBreak(const TOutputFont& font) {
    lastWasCR_ = false;
    EndLine(font);
    Changed();
}

void TOutputDocument::Clear() {
    lines_.clear();
    lines_.emplace_back().BreakFont = defaultFont_;
    lastWasCR_ = false;
    ++generation_;
    Changed();
}

namespace {

double ScaledSize(double size, int increment, Extended factor) {
    Extended half = std::nearbyint(static_cast<Extended>(size) * 2);
    Extended scaled = std::nearbyint(half * factor) + 2 * static_cast<Extended>(increment);
    return ClampFontSize(static_cast<double>(
        std::clamp(scaled / 2, static_cast<Extended>(kMinFontSize), static_cast<Extended>(kMaxFontSize))));
}

} // namespace

void TOutputDocument::ScaleFonts(int increment, double factor) {
    if (!std::isfinite(factor)) return;
    for (TOutputLine& line : lines_) {
        for (TOutputRun& run : line.Runs)
            run.Font.Size = ScaledSize(run.Font.Size, increment, factor);
        line.BreakFont.Size = ScaledSize(line.BreakFont.Size, increment, factor);
    }
    ++generation_;
    Changed();
}

std::string TOutputDocument::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        for (const TOutputRun& run : lines_[i].Runs)
            text += run.Text;
        if (LineEnded(i)) text += "\r\n";
    }
    return text;
}

void TOutputDocument::Changed() {
    ++revision_;
    if (onChange_) onChange_();
}

TOutputMark TOutputDocument::EndMark() const {
    TOutputMark mark;
    mark.Generation = generation_;
    mark.Line = lines_.size() - 1;
    const std::vector<TOutputRun>& runs = lines_.back().Runs;
    if (!runs.empty()) {
        mark.Run = runs.size() - 1;
        mark.Offset = runs.back().Text.size();
    }
    return mark;
}

void TOutputDocument::Replay(TOutputSink& sink, const TOutputMark& from) const {
    TOutputMark start = from;
    bool valid = from.Generation == generation_ && from.Line < lines_.size();
    if (valid) {
        const std::vector<TOutputRun>& runs = lines_[from.Line].Runs;
        valid = runs.empty() ? (from.Run == 0 && from.Offset == 0)
                             : (from.Run < runs.size() && from.Offset <= runs[from.Run].Text.size());
    }
    if (!valid) {
        sink.DocumentReset();
        start = TOutputMark{generation_, 0, 0, 0};
    }
    for (std::size_t l = start.Line; l < lines_.size(); ++l) {
        const TOutputLine& line = lines_[l];
        for (std::size_t r = (l == start.Line ? start.Run : 0); r < line.Runs.size(); ++r) {
            std::string_view text = line.Runs[r].Text;
            if (l == start.Line && r == start.Run) text.remove_prefix(start.Offset);
            if (!text.empty()) sink.TextAppended(text, line.Runs[r].Font);
        }
        if (LineEnded(l)) sink.LineEnded(line.BreakFont);
    }
}

} // namespace kivspc
