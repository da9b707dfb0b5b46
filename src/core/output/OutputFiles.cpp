// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputFiles.h"

#include "app/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace kivspc {

std::string OutputPlainText(const TOutputDocument& document) {
    std::string text;
    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        const TOutputLine& line = document.Line(i);
        if (line.ContainsPageMarker()) continue;
        for (const TOutputRun& run : line.Runs)
            text += run.Text;
        text += "\r\n";
    }
    return text;
}

namespace {

void AppendNumber(std::string& out, long long n) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
    (void)ec;
    out.append(buffer, end);
}

// Decodes one UTF-8 character at text[i]; a malformed byte reads as U+FFFD of length 1.
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    length = 1;
    if (b < 0x80) return b;
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
        extra = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) return 0xFFFD;
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = byte(i + static_cast<std::size_t>(k));
        if ((c & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    length = static_cast<std::size_t>(extra) + 1;
    return cp;
}

void AppendHexByte(std::string& out, unsigned value) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[(value >> 4) & 0xF];
    out += kHex[value & 0xF];
}

// \uN followed by a fallback for readers without Unicode: the Latin-1 byte where there is one.
void AppendUnicode(std::string& out, char32_t cp) {
    auto unit = [&](unsigned u) {
        out += "\\u";
        AppendNumber(out, u > 32767 ? static_cast<long long>(u) - 65536 : static_cast<long long>(u));
    };
    if (cp > 0xFFFF) {
        char32_t v = cp - 0x10000;
        unit(0xD800 + static_cast<unsigned>(v >> 10));
        out += '?';
        unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
        out += '?';
        return;
    }
    unit(static_cast<unsigned>(cp));
    if (cp >= 0xA0 && cp <= 0xFF) {
        AppendHexByte(out, static_cast<unsigned>(cp));
    } else {
        out += '?';
    }
}

void AppendEscaped(std::string& out, std::string_view text, bool inFontTable) {
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            std::size_t length = 1;
            char32_t cp = DecodeUtf8(text, i, length);
            AppendUnicode(out, cp);
            i += length;
            continue;
        }
        ++i;
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t' && !inFontTable) {
            out += "\\tab ";
        } else if (c < 0x20 || c == 0x7F) {
            if (!inFontTable) AppendHexByte(out, c);
        } else if (c == ';' && inFontTable) {
            // A semicolon ends a font table entry; a font name never needs one.
        } else {
            out += static_cast<char>(c);
        }
    }
}

std::string_view FontFamily(std::string_view name) {
    if (name == "Courier New" || name == "Courier" || name == "Consolas" || name == "Lucida Console")
        return "\\fmodern";
    if (name == "Arial" || name == "Helvetica" || name == "Tahoma" || name == "Verdana") return "\\fswiss";
    if (name == "Times New Roman" || name == "Times" || name == "Georgia") return "\\froman";
    return "\\fnil";
}

int HalfPoints(double size) { return static_cast<int>(std::nearbyint(ClampFontSize(size) * 2)); }

// The character formatting in force while writing, so that only changes are written.
// Font, size and colour start unknown so that the first text states them (rather than relying
// on the defaults of \plain); bold, italic and underline start off, as \plain leaves them.
struct RtfState {
    int font = -1;
    int halfPoints = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = -1;
};

class RtfWriter {
public:
    explicit RtfWriter(const TOutputDocument& document) : document_(document) {
        Collect(document.DefaultFont());
        for (std::size_t i = 0; i < document.LineCount(); ++i) {
            const TOutputLine& line = document.Line(i);
            if (line.ContainsPageMarker()) continue;
            for (const TOutputRun& run : line.Runs)
                Collect(run.Font);
            if (line.Runs.empty()) Collect(line.BreakFont);
        }
    }

    std::string Write() {
        std::string out;
        out.reserve(64 + document_.LineCount() * 48);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (std::size_t f = 0; f < fonts_.size(); ++f) {
            out += "{\\f";
            AppendNumber(out, static_cast<long long>(f));
            out += FontFamily(fonts_[f]);
            out += "\\fcharset0 ";
            AppendEscaped(out, fonts_[f], true);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (std::uint32_t color : colors_) {
            out += "\\red";
            AppendNumber(out, (color >> 16) & 0xFF);
            out += "\\green";
            AppendNumber(out, (color >> 8) & 0xFF);
            out += "\\blue";
            AppendNumber(out, color & 0xFF);
            out += ';';
        }
        out += "}\r\n\\pard\\plain";
        for (std::size_t i = 0; i < document_.LineCount(); ++i) {
            const TOutputLine& line = document_.Line(i);
            if (line.ContainsPageMarker()) {
                out += "\\page\r\n";
                continue;
            }
            for (const TOutputRun& run : line.Runs) {
                SwitchTo(out, run.Font);
                AppendEscaped(out, run.Text, false);
            }
            if (document_.LineEnded(i)) {
                if (line.Runs.empty()) SwitchTo(out, line.BreakFont);
                out += "\\par\r\n";
            }
        }
        out += "}\r\n";
        return out;
    }

private:
    void Collect(const TOutputFont& font) {
        if (std::find(fonts_.begin(), fonts_.end(), font.Name) == fonts_.end()) fonts_.push_back(font.Name);
        std::uint32_t color = font.Color & 0xFFFFFF;
        if (std::find(colors_.begin(), colors_.end(), color) == colors_.end()) colors_.push_back(color);
    }

    int FontIndex(const std::string& name) {
        if (lastFont_ >= 0 && fonts_[static_cast<std::size_t>(lastFont_)] == name) return lastFont_;
        lastFont_ = static_cast<int>(std::find(fonts_.begin(), fonts_.end(), name) - fonts_.begin());
        return lastFont_;
    }

    // Entry 0 of the colour table is the reader's default colour; ours start at 1.
    int ColorIndex(std::uint32_t color) {
        if (lastColorIndex_ > 0 &&
            colors_[static_cast<std::size_t>(lastColorIndex_ - 1)] == (color & 0xFFFFFF))
            return lastColorIndex_;
        auto at = std::find(colors_.begin(), colors_.end(), color & 0xFFFFFF);
        lastColorIndex_ = static_cast<int>(at - colors_.begin()) + 1;
        return lastColorIndex_;
    }

    void SwitchTo(std::string& out, const TOutputFont& font) {
        RtfState next{FontIndex(font.Name), HalfPoints(font.Size), font.Bold,
                      font.Italic,          font.Underline,        ColorIndex(font.Color)};
        std::size_t before = out.size();
        if (next.font != state_.font) {
            out += "\\f";
            AppendNumber(out, next.font);
        }
        if (next.halfPoints != state_.halfPoints) {
            out += "\\fs";
            AppendNumber(out, next.halfPoints);
        }
        if (next.bold != state_.bold) out += next.bold ? "\\b" : "\\b0";
        if (next.italic != state_.italic) out += next.italic ? "\\i" : "\\i0";
        if (next.underline != state_.underline) out += next.underline ? "\\ul" : "\\ulnone";
        if (next.color != state_.color) {
            out += "\\cf";
            AppendNumber(out, next.color);
        }
        // A blank ends the control words and is not text; it is also needed after "\pard\plain".
        if (out.size() != before || !started_) out += ' ';
        started_ = true;
        state_ = next;
    }

    const TOutputDocument& document_;
    std::vector<std::string> fonts_;
    std::vector<std::uint32_t> colors_;
    RtfState state_;
    int lastFont_ = -1;
    int lastColorIndex_ = 0;
    bool started_ = false;
};

} // namespace

std::string OutputRichText(const TOutputDocument& document) { return RtfWriter(document).Write(); }

bool SaveOutputDocument(const TOutputDocument& document, const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (extension == ".RTF") return WriteFileAtomically(path, OutputRichText(document));
    return WriteFileAtomically(path, OutputPlainText(document));
}

} // namespace kivspc
