// SPDX-License-Identifier: GPL-3.0-or-later
// The output document: what a report window shows, saves and prints. A document is a sequence
// of lines; a line is a sequence of runs of text, each in one font. Writing only ever appends
// at the end, so a view can follow a document by replaying what came after its last mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kivspc {

// A font of output text. Size is in points; half points are kept (rich text counts in them).
struct TOutputFont {
    std::string Name = "Courier New";
    double Size = 10.0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::uint32_t Color = 0x000000; // 0xRRGGBB

    bool operator==(const TOutputFont&) const = default;
};

inline constexpr double kMinFontSize = 1.0;
inline constexpr double kMaxFontSize = 1638.0;

// Courier New, 10 points, regular, black: the default font of a new document.
TOutputFont DefaultOutputFont();
// Font sizes are held within [1, 1638] points; a size that is not a number becomes 10 points.
double ClampFontSize(double size);

struct TOutputRun {
    std::string Text; // UTF-8, never holds a line break
    TOutputFont Font;
};

struct TOutputLine {
    std::vector<TOutputRun> Runs;
    // The font the line break was written in; it sets the height of a line without text.
    TOutputFont BreakFont;

    std::string Text() const;
    // The font of the first character, or of the line break when the line has no text.
    const TOutputFont& FirstFont() const { return Runs.empty() ? BreakFont : Runs.front().Font; }
    // A line reading exactly "-Page-" is a page-break marker.
    bool IsPageMarker() const;
    bool ContainsPageMarker() const;
};

inline constexpr std::string_view kPageMarker = "-Page-";

// Receives document content in writing order (see TOutputDocument::Replay).
class TOutputSink {
public:
    virtual ~TOutputSink() = default;
    // Text without line breaks, appended at the end in the given font.
    virtual void TextAppended(std::string_view text, const TOutputFont& font) = 0;
    // A line break appended at the end, written in the given font.
    virtual void LineEnded(const TOutputFont& font) = 0;
    // The document was cleared or changed in place: throw away what was rendered.
    virtual void DocumentReset() = 0;
};

// A place in a document's content; everything before it has been seen by whoever holds it.
struct TOutputMark {
    std::uint64_t Generation = 0; // 0 never matches a document, so a default mark replays all
    std::size_t Line = 0;
    std::size_t Run = 0;
    std::size_t Offset = 0; // bytes of the run already seen
};

class TOutputDocument {
public:
    TOutputDocument();
    ~TOutputDocument();
    // A document has an identity (it is the current output document of a window).
    TOutputDocument(const TOutputDocument&) = delete;
    TOutputDocument& operator=(const TOutputDocument&) = delete;

    const TOutputFont& DefaultFont() const { return defaultFont_; }
    void SetDefaultFont(const TOutputFont& font);

    // Appends text in the font; CR LF, LF and a lone CR are line breaks.
    void Write(std::string_view text, const TOutputFont& font);
    // Appends the text and a line break, both in the font.
    void WriteLine(std::string_view text, const TOutputFont& font);
    // Appends one line break written in the font.
    void WriteLineBreak(const TOutputFont& font);
    void Clear();
    // Every font size becomes round(N * factor) + 2 * increment half points, where N is the size
    // in half points (halves to the even neighbour). Nothing changes for a factor that is not a
    // finite number.
    void ScaleFonts(int increment, double factor);

    bool IsEmpty() const { return lines_.size() == 1 && lines_.back().Runs.empty(); }
    // Lines with text or a line break; an empty last line without a break is not counted.
    std::size_t LineCount() const { return lines_.back().Runs.empty() ? lines_.size() - 1 : lines_.size(); }
    const TOutputLine& Line(std::size_t index) const { return lines_[index]; }
    // True when the line ends in a line break (every line but possibly the last).
    bool LineEnded(std::size_t index) const { return index + 1 < lines_.size(); }
    // The whole text, CR LF after every line that ends in a break.
    std::string Text() const;

    // Advances on every change.
    std::uint64_t Revision() const { return revision_; }
    // Called after every change (the GUI re-renders from its mark, now or when shown).
    void SetOnChange(std::function<void()> callback) { onChange_ = std::move(callback); }
    // The end of the content as it is now.
    TOutputMark EndMark() const;
    // Sends everything after the mark to the sink. When the mark is from before the last
    // clearing or rescaling, the sink gets DocumentReset and then the whole document.
    void Replay(TOutputSink& sink, const TOutputMark& from) const;

private:
    void AppendText(std::string_view text, const TOutputFont& font);
    void WriteText(std::string_view text, const TOutputFont& font);
    void EndLine(const TOutputFont& font);
    void Changed();

    std::vector<TOutputLine> lines_; // never empty; the last line is the one being written
    TOutputFont defaultFont_;
    std::uint64_t generation_ = 1;
    std::uint64_t revision_ = 0;
    bool lastWasCR_ = false; // a CR at the end of one write pairs with an LF starting the next
    std::function<void()> onChange_;
};

} // namespace kivspc
