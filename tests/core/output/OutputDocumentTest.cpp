// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputTestSupport.h"

#include <memory>

using namespace kivspc;

namespace {

std::vector<std::string> LineTexts(const TOutputDocument& doc) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < doc.LineCount(); ++i)
        texts.push_back(doc.Line(i).Text());
    return texts;
}

TOutputFont Font(std::string name, double size, bool bold, bool underline) {
    TOutputFont f;
    f.Name = std::move(name);
    f.Size = size;
    f.Bold = bold;
    f.Underline = underline;
    return f;
}

// Writes what it is sent as text: runs as "[text]", breaks as "|", resets as "#".
class TextSink : public TOutputSink {
public:
    void TextAppended(std::string_view text, const TOutputFont&) override {
        Seen += "[" + std::string(text) + "]";
    }
    void LineEnded(const TOutputFont&) override { Seen += "|"; }
    void DocumentReset() override { Seen += "#"; }
    std::string Seen;
};

} // namespace

TEST_F(OutputTest, WritingAppendsLinesInTheCurrentFont) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    SetHeadingFont(14);
    WriteOutputLine("Title");
    SetBodyFont(10);
    WriteOutputText("a");
    WriteOutputText("b\r\nc\nd");
    WriteBlankLine();
    WriteBlankLine();
    SetUnderlinedHeadingFont(12);
    WriteOutputText("h");
    SetUnderlineStyle();
    WriteOutputLine("u");

    EXPECT_EQ(LineTexts(doc), (std::vector<std::string>{"Title", "ab", "c", "d", "", "hu"}));
    EXPECT_EQ(doc.Text(), "Title\r\nab\r\nc\r\nd\r\n\r\nhu\r\n");
    EXPECT_EQ(doc.Line(0).Runs.at(0).Font, Font("Arial", 14, true, false));
    ASSERT_EQ(doc.Line(1).Runs.size(), 1u); // same font: one run
    EXPECT_EQ(doc.Line(1).Runs[0].Font, Font("Courier New", 10, false, false));
    // A blank line keeps the font its break was written in.
    EXPECT_TRUE(doc.Line(4).Runs.empty());
    EXPECT_EQ(doc.Line(4).FirstFont(), Font("Courier New", 10, false, false));
    ASSERT_EQ(doc.Line(5).Runs.size(), 2u);
    EXPECT_EQ(doc.Line(5).Runs[0].Font, Font("Arial", 12, true, true));
    EXPECT_EQ(doc.Line(5).Runs[1].Font, Font("Arial", 12, false, true)); // underline only
    EXPECT_EQ(doc.Line(5).BreakFont, Font("Arial", 12, false, true));
}

TEST_F(OutputTest, LineBreaksInsideWrittenText) {
    struct Case {
        std::vector<std::string> writes;
        std::vector<std::string> lines;
        std::string text;
    };
    const Case cases[] = {
        {{"a\r\nb"}, {"a", "b"}, "a\r\nb"},
        {{"a\nb\n"}, {"a", "b"}, "a\r\nb\r\n"},
        {{"a\rb"}, {"a", "b"}, "a\r\nb"},
        {{"a\r", "\nb"}, {"a", "b"}, "a\r\nb"}, // CR LF split over two writes is one break
        {{"a\n", "\nb"}, {"a", "", "b"}, "a\r\n\r\nb"},
        {{"\r\n\r\n"}, {"", ""}, "\r\n\r\n"},
        {{""}, {}, ""},
    };
    for (const Case& c : cases) {
        TOutputDocument doc;
        SetOutputDocument(&doc);
        for (const std::string& w : c.writes)
            WriteOutputText(w);
        EXPECT_EQ(LineTexts(doc), c.lines) << c.text;
        EXPECT_EQ(doc.Text(), c.text);
    }
}

TEST_F(OutputTest, SetOutputDocumentTakesTheDocumentsDefaultFont) {
    TOutputDocument plain;
    TOutputDocument large;
    large.SetDefaultFont(Font("Arial", 12.5, false, false));
    EXPECT_EQ(plain.DefaultFont(), Font("Courier New", 10, false, false));

    SetOutputDocument(&large);
    EXPECT_EQ(CurrentOutputFont(), Font("Arial", 12.5, false, false));
    SetHeadingFont(20);
    SetOutputDocument(&plain);
    EXPECT_EQ(CurrentOutputFont(), Font("Courier New", 10, false, false));
    WriteOutputLine("x");
    EXPECT_TRUE(large.IsEmpty()); // writing goes to the current document only
    EXPECT_EQ(plain.LineCount(), 1u);

    ClearOutputDocument();
    EXPECT_TRUE(plain.IsEmpty());
    EXPECT_EQ(plain.LineCount(), 0u);
    EXPECT_EQ(plain.Text(), "");
}

TEST_F(OutputTest, WritingWithoutADocumentDoesNothing) {
    {
        auto doc = std::make_unique<TOutputDocument>();
        SetOutputDocument(doc.get());
    }
    // The document went away with its window: it is no longer current.
    EXPECT_EQ(CurrentOutputDocument(), nullptr);
    SetBodyFont(8);
    WriteOutputLine("x");
    WriteOutputText("y");
    WriteBlankLine();
    ClearOutputDocument();
    ScaleOutputFonts(1, 2);
    EXPECT_EQ(CurrentOutputDocument(), nullptr);
    EXPECT_EQ(CurrentOutputFont(), Font("Courier New", 8, false, false)) << "scaling without a document";
    EXPECT_TRUE(platform.Messages.empty());
    EXPECT_EQ(platform.BusyDepth, 0);

    // Nothing was held back for a later document.
    TOutputDocument next;
    SetOutputDocument(&next);
    EXPECT_TRUE(next.IsEmpty());
    WriteOutputLine("z");
    EXPECT_EQ(next.Text(), "z\r\n");
}

TEST_F(OutputTest, FontSizesAreHeldWithinBounds) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    const std::pair<double, double> cases[] = {{0, 1},      {-5, 1},      {std::nan(""), 10},
                                               {1e9, 1638}, {10.5, 10.5}, {-INFINITY, 1}};
    for (auto [in, out] : cases) {
        SetBodyFont(in);
        EXPECT_EQ(CurrentOutputFont().Size, out) << in;
    }
}

TEST_F(OutputTest, ReplayFollowsAppendsAndStartsOverAfterAClear) {
    TOutputDocument doc;
    int changes = 0;
    doc.SetOnChange([&] { ++changes; });
    SetOutputDocument(&doc);
    TextSink view;

    doc.Replay(view, TOutputMark{}); // a fresh view sees everything, after a reset
    EXPECT_EQ(view.Seen, "#");
    TOutputMark mark = doc.EndMark();

    WriteOutputLine("one");
    WriteOutputText("tw");
    doc.Replay(view, mark);
    mark = doc.EndMark();
    WriteOutputText("o"); // merges into the run the view has seen part of
    SetHeadingFont(12);
    WriteOutputLine("three");
    doc.Replay(view, mark);
    mark = doc.EndMark();
    doc.Replay(view, mark); // nothing new
    EXPECT_EQ(view.Seen, "#[one]|[tw][o][three]|");
    EXPECT_EQ(changes, 4);

    ClearOutputDocument();
    WriteOutputLine("new");
    doc.Replay(view, mark);
    EXPECT_EQ(view.Seen, "#[one]|[tw][o][three]|#[new]|");

    const std::uint64_t revision = doc.Revision();
    mark = doc.EndMark();
    ScaleOutputFonts(1, 1);
    EXPECT_GT(doc.Revision(), revision);
    view.Seen.clear();
    doc.Replay(view, mark);
    EXPECT_EQ(view.Seen, "#[new]|"); // resized in place: rendered again
}

TEST_F(OutputTest, ScaleOutputFontsRoundsHalfPointsToEven) {
    struct Case {
        int increment;
        double factor;
        double before;
        double after;
    };
    const Case cases[] = {
        {1, 1, 10, 11},        {0, 1.5, 10, 15},
        {-1, 1, 10, 9},        {0, 1.5, 10.5, 16}, // 21 half points x 1.5 = 31.5 -> 32
        {0, 1.5, 11.5, 17},                        // 23 x 1.5 = 34.5 -> 34
        {0, 1.25, 9, 11},                          // 18 x 1.25 = 22.5 -> 22
        {2, 0.5, 9, 6.5},                          // 18 x 0.5 = 9, + 4 half points
        {-100, 1, 10, 1},      {0, 1e12, 10, 1638},
        {0, -2, 10, 1},        {0, std::nan(""), 10, 10},
        {0, INFINITY, 10, 10},
    };
    for (const Case& c : cases) {
        TOutputDocument doc;
        SetOutputDocument(&doc);
        SetBodyFont(c.before);
        WriteOutputText("a");
        SetHeadingFont(c.before);
        WriteOutputLine("b");
        WriteBlankLine();
        int busyBefore = platform.BusyDepth;
        ScaleOutputFonts(c.increment, c.factor);
        EXPECT_EQ(platform.BusyDepth, busyBefore);
        EXPECT_EQ(doc.Line(0).Runs[0].Font.Size, c.after)
            << c.increment << " " << c.factor << " " << c.before;
        EXPECT_EQ(doc.Line(0).Runs[1].Font.Size, c.after);
        EXPECT_EQ(doc.Line(1).FirstFont().Size, c.after);             // the blank line's height too
        EXPECT_EQ(CurrentOutputFont().Size, ClampFontSize(c.before)); // the writing font stays
    }
}

TEST_F(OutputTest, ScalingAnEmptyDocumentChangesNothing) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    const std::uint64_t revision = doc.Revision();
    ScaleOutputFonts(1, 2);
    EXPECT_EQ(doc.Revision(), revision);
}
