// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputTestSupport.h"

#include <tuple>

using namespace kivspc;

namespace {

using Drawn = std::tuple<int, int, int, std::string>; // page, x, y, text

std::vector<Drawn> Draws(const RecordingTextDevice& device) {
    std::vector<Drawn> out;
    for (const auto& d : device.Drawings)
        out.emplace_back(d.page, d.x, d.y, d.text);
    return out;
}

TOutputFont Body(double size = 10) {
    TOutputFont f;
    f.Size = size;
    return f;
}

// One inch all round on a letter page at 100 dpi: text from x 100 to 750, y 100 to 1000.
// In a 10-point body font a character is 10 pixels wide and a printed line 22 pixels high.
class PrinterTest : public OutputTest {
protected:
    std::vector<Drawn> Print(const std::vector<std::string>& writes) {
        TMPrinter printer(device);
        printer.SetPrintMargins(1000, 1000, 1000, 1000);
        printer.SetFont(Body());
        for (const std::string& w : writes)
            printer.Write(w);
        printer.Close();
        return Draws(device);
    }

    RecordingTextDevice device;
};

} // namespace

TEST_F(PrinterTest, MarginsAllowForOffsetsAndFallBackToTheEdges) {
    struct Case {
        int left, right, bottom, top, ox, oy;
        int l, t, r, b;
    };
    const Case cases[] = {
        {1000, 500, 500, 600, 0, 0, 100, 60, 800, 1050},
        {1000, 500, 500, 600, 20, 10, 80, 50, 820, 1060}, // margins counted from the paper's edge
        {100, 100, 100, 100, 30, 30, 0, 0, 850, 1100},    // margins inside the unprintable border
        {0, 0, 0, 0, 0, 0, 0, 0, 850, 1100},
        {-1000, -1000, -1000, -1000, 0, 0, 0, 0, 850, 1100},
        {8500, 0, 0, 11000, 0, 0, 0, 0, 850, 1100},          // left and top as large as the page
        {5000, 4000, 6000, 6000, 0, 0, 500, 600, 850, 1100}, // no room after left or below top
        {5000, 3400, 4900, 6000, 0, 0, 500, 600, 510, 610},  // just room
        {2147483, 2147483, 2147483, 2147483, 0, 0, 0, 0, 850, 1100},
    };
    for (const Case& c : cases) {
        RecordingTextDevice d;
        d.OffX = c.ox;
        d.OffY = c.oy;
        TMPrinter printer(d);
        EXPECT_EQ(std::make_tuple(printer.Left(), printer.Top(), printer.Right(), printer.Bottom()),
                  std::make_tuple(0, 0, 850, 1100)); // the whole page until margins are set
        printer.SetPrintMargins(c.left, c.right, c.bottom, c.top);
        EXPECT_EQ(std::make_tuple(printer.Left(), printer.Top(), printer.Right(), printer.Bottom()),
                  std::make_tuple(c.l, c.t, c.r, c.b))
            << c.left << " " << c.right << " " << c.bottom << " " << c.top << " offsets " << c.ox << " "
            << c.oy;
    }
}

TEST_F(PrinterTest, PageAndDateFieldsAreFilledIn) {
    const std::pair<const char*, const char*> cases[] = {
        {"Page (&P)", "Page (1)"},
        {"&P", "1"},
        {"&p of it", "1 of it"},
        {"&P&P", "1&P"},
        {"&D", "06/05/2024"},
        {"on &d", "on 06/05/2024"},
        {"x&Dy&P", "x06/05/2024y1"},
        {"&", "&"},
        {"", ""},
        {"&&P", "&1"},
    };
    TMPrinter printer(device);
    for (auto [text, filled] : cases)
        EXPECT_EQ(printer.FillFields(text), filled) << text;
}

TEST_F(PrinterTest, HeaderAndFooterPositions) {
    struct Case {
        int oy, position;
        int headerY, footerY;
    };
    // The footer stands twice the height of "A" (2 x 18 pixels at 9 points) above its position.
    const Case cases[] = {{0, 250, 25, 1039}, {10, 250, 15, 1049}, {10, 50, 0, 1064}, {0, -500, 0, 1064}};
    for (const Case& c : cases) {
        RecordingTextDevice d;
        d.OffY = c.oy;
        TMPrinter printer(d);
        printer.SetPrintMargins(1000, 1000, 1000, 1000);
        TOutputFont small = Body(9);
        printer.SetPrintHeaderFooter(kPrintHeader, "Left &P", "Mid", small, true, c.position, "&D");
        printer.SetPrintHeaderFooter(kPrintFooter, "", "", small, false, c.position, "Page (&P)");
        printer.SetPrintHeaderFooter(kPrintFooter + 1, "never", "", small, true, c.position, "");
        // Page 1: the header at once, no footer. Centred: 100 + (650 - 27) / 2.
        EXPECT_EQ(Draws(d), (std::vector<Drawn>{{1, 100, c.headerY, "Left 1"},
                                                {1, 411, c.headerY, "Mid"},
                                                {1, 660, c.headerY, "06/05/2024"}}));
        d.Drawings.clear();
        printer.Write("\f");
        EXPECT_EQ(Draws(d), (std::vector<Drawn>{{2, 100, c.headerY, "Left 2"},
                                                {2, 411, c.headerY, "Mid"},
                                                {2, 660, c.headerY, "06/05/2024"},
                                                {2, 678, c.footerY, "Page (2)"}}));
        EXPECT_EQ(d.Drawings.back().font, small);
    }
}

TEST_F(PrinterTest, DrawNowOnlyOnTheFirstPage) {
    TMPrinter printer(device);
    printer.Write("\f");
    printer.SetPrintHeaderFooter(kPrintFooter, "foot", "", Body(9), true, 250, "");
    EXPECT_TRUE(device.Drawings.empty());
    printer.Write("\f");
    EXPECT_EQ(device.TextsOn(3), (std::vector<std::string>{"foot"}));
}

TEST_F(PrinterTest, TextWrapsAtTheLastCharacterThatFits) {
    const std::string a65(65, 'a'), a70(70, 'a');
    std::string e70;
    for (int i = 0; i < 70; ++i)
        e70 += "\xC3\xA9";
    struct Case {
        const char* name;
        std::vector<std::string> writes;
        std::vector<Drawn> draws;
    };
    const Case cases[] = {
        {"exactly full", {a65, "\n", "b"}, {{1, 100, 100, a65}, {1, 100, 122, "b"}}},
        {"one too many", {a70}, {{1, 100, 100, a65}, {1, 100, 122, std::string(5, 'a')}}},
        {"by characters, not bytes",
         {e70},
         {{1, 100, 100, e70.substr(0, 130)}, {1, 100, 122, e70.substr(130)}}},
        {"second run",
         {std::string(60, 'c'), "0123456789"},
         {{1, 100, 100, std::string(60, 'c')}, {1, 700, 100, "01234"}, {1, 100, 122, "56789"}}},
        {"nothing fits after a full line", {a65, "b"}, {{1, 100, 100, a65}, {1, 100, 122, "b"}}},
        {"CR only prints", {"ab\rcd"}, {{1, 100, 100, "ab"}, {1, 120, 100, "cd"}}},
        {"blank lines advance by the text height", {"a\n\nb"}, {{1, 100, 100, "a"}, {1, 100, 142, "b"}}},
        {"leading blank line below the top margin", {"\nb"}, {{1, 100, 120, "b"}}},
    };
    for (const Case& c : cases) {
        device = RecordingTextDevice{};
        EXPECT_EQ(Print(c.writes), c.draws) << c.name;
    }
}

TEST_F(PrinterTest, TabsStopEveryEightCharactersFromTheLeftMargin) {
    const std::pair<int, int> cases[] = {{0, 180}, {7, 180}, {8, 260}, {9, 260}, {15, 260}, {16, 340}};
    for (auto [before, stop] : cases) {
        device = RecordingTextDevice{};
        std::vector<Drawn> draws = Print({std::string(static_cast<std::size_t>(before), 'a') + "\tX"});
        ASSERT_FALSE(draws.empty());
        EXPECT_EQ(draws.back(), (Drawn{1, stop, 100, "X"})) << before;
    }
    // A tab past the right margin starts a new line.
    device = RecordingTextDevice{};
    EXPECT_EQ(Print({std::string(64, 'a') + "\tX"}).back(), (Drawn{1, 100, 122, "X"}));
}

TEST_F(PrinterTest, ACharacterWiderThanTheLineStillPrints) {
    device.Widths["W"] = 1000;
    EXPECT_EQ(
        Print({"aWWb"}),
        (std::vector<Drawn>{{1, 100, 100, "a"}, {1, 100, 122, "W"}, {1, 100, 144, "W"}, {1, 100, 166, "b"}}));

    // No printable width or height at all: one character per line, and printing ends.
    RecordingTextDevice empty;
    empty.Width = 0;
    empty.Height = 0;
    TMPrinter printer(empty);
    printer.SetPrintMargins(1000, 1000, 1000, 1000);
    printer.Write("abc\tdef\n");
    EXPECT_EQ(empty.Drawings.size(), 6u);
}

TEST_F(PrinterTest, PagesBreakWhenTheNextLineWouldCrossTheBottomMargin) {
    std::vector<std::string> forty(40, "x\n");
    // 40 lines of 22 pixels fill the page: the 41st goes to the top of page 2.
    std::vector<std::string> writes = forty;
    writes.push_back("y");
    std::vector<Drawn> draws = Print(writes);
    EXPECT_EQ(draws[39], (Drawn{1, 100, 958, "x"}));
    EXPECT_EQ(draws.back(), (Drawn{2, 100, 100, "y"}));

    // A full page ejects nothing until more comes: no blank page at the end, and a page marker
    // right after a full page does not leave a blank page either.
    device = RecordingTextDevice{};
    Print(forty);
    EXPECT_EQ(device.Page, 1);
    device = RecordingTextDevice{};
    writes = forty;
    writes.push_back("\fy");
    EXPECT_EQ(Print(writes).back(), (Drawn{2, 100, 100, "y"}));

    device = RecordingTextDevice{};
    EXPECT_EQ(Print({"a\fb\f\fc"}),
              (std::vector<Drawn>{{1, 100, 100, "a"}, {2, 100, 100, "b"}, {4, 100, 100, "c"}}));
}

TEST_F(OutputTest, PrintingAOnePageDocument) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    SetHeadingFont(12);
    WriteOutputLine("Capability Report");
    SetBodyFont(10);
    WriteBlankLine();
    WriteOutputText("Cp");
    SetHeadingFont(10);
    WriteOutputLine("k only the first font counts");

    RecordingTextDevice device;
    PrintOutputDocument(doc, "My Title", PrintOrientation::Portrait, device);
    // Portrait: text from x 100 to 800 and y 60; header 0.25 inch from the top.
    EXPECT_EQ(Draws(device), (std::vector<Drawn>{{1, 100, 25, "My Title"},
                                                 {1, 710, 25, "06/05/2024"},
                                                 {1, 100, 60, "Capability Report"},
                                                 {1, 100, 114, "Cpk only the first font counts"}}));
    EXPECT_EQ(device.Page, 1);
    EXPECT_EQ(device.Drawings[0].font, HeaderFooterFont());
    EXPECT_EQ(HeaderFooterFont(), Body(9));
    TOutputFont heading = Body(14);
    heading.Name = "Arial";
    heading.Bold = true;
    EXPECT_EQ(device.Drawings[2].font, heading); // two points larger than written
    EXPECT_EQ(device.Drawings[3].font, Body(12));
}

TEST_F(OutputTest, PrintingNumbersThePagesAfterTheFirst) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    WriteOutputLine("one");
    WriteOutputLine("-Page-");
    for (int i = 0; i < 100; ++i)
        WriteOutputLine("line");

    RecordingTextDevice device;
    PrintOutputDocument(doc, "T", PrintOrientation::Portrait, device);
    // 26-pixel lines from y 60 to 1050: 38 to a page.
    EXPECT_EQ(device.Page, 4);
    EXPECT_EQ(device.TextsOn(1), (std::vector<std::string>{"T", "06/05/2024", "one"}));
    for (int page = 2; page <= 4; ++page) {
        std::vector<std::string> texts = device.TextsOn(page);
        ASSERT_GE(texts.size(), 4u);
        EXPECT_EQ(texts[0], "T");
        EXPECT_EQ(texts[2], "Page (" + std::to_string(page) + ")");
        EXPECT_EQ(texts.size(), page < 4 ? 41u : 27u) << page;
    }
    const auto& footer = device.Drawings[5];
    EXPECT_EQ(std::make_tuple(footer.page, footer.x, footer.y), std::make_tuple(2, 728, 1039));
    const auto& first = device.Drawings[6];
    EXPECT_EQ(std::make_tuple(first.page, first.x, first.y, first.text), std::make_tuple(2, 100, 60, "line"));
}

TEST_F(OutputTest, PrintingInLandscape) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    WriteOutputLine("wide");
    WriteOutputLine(std::string(80, 'w'));
    RecordingTextDevice device;
    device.Width = 1100;
    device.Height = 850;
    PrintOutputDocument(doc, "T", PrintOrientation::Landscape, device);
    // One inch left and right, one inch at the top, the header 0.65 inch from the top.
    EXPECT_EQ(Draws(device), (std::vector<Drawn>{{1, 100, 65, "T"},
                                                 {1, 910, 65, "06/05/2024"},
                                                 {1, 100, 100, "wide"},
                                                 {1, 100, 126, std::string(75, 'w')},
                                                 {1, 100, 152, std::string(5, 'w')}}));
}
