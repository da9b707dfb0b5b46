// SPDX-License-Identifier: GPL-3.0-or-later
// The printer text device: text written to it is laid out on printed pages with margins, tab
// stops, line wrapping, page breaks and a page header and footer. The drawing itself goes to a
// TextDevice, which the GUI implements over its printer and tests implement with a recorder.
#pragma once

#include "output/OutputDocument.h"

#include <string>
#include <string_view>

namespace kivspc {

// A page-oriented drawing surface measured in device pixels.
class TextDevice {
public:
    virtual ~TextDevice() = default;
    // Width of the text drawn in the font.
    virtual int TextWidth(std::string_view text, const TOutputFont& font) = 0;
    // Height of a line of the text in the font; text may be empty and still gives the font's
    // line height (with Qt: QFontMetrics::height()).
    virtual int TextHeight(std::string_view text, const TOutputFont& font) = 0;
    virtual int AverageCharWidth(const TOutputFont& font) = 0;
    // Draws the text with the top of its line at y.
    virtual void DrawText(int x, int y, std::string_view text, const TOutputFont& font) = 0;
    // The printable area in pixels.
    virtual int PageWidth() = 0;
    virtual int PageHeight() = 0;
    // Pixels per inch.
    virtual int DpiX() = 0;
    virtual int DpiY() = 0;
    // Offset of the printable area from the paper's edge, in pixels.
    virtual int OffsetX() = 0;
    virtual int OffsetY() = 0;
    // Ends the current page and starts the next.
    virtual void NewPage() = 0;
    // Today's date in the short date format.
    virtual std::string DateText() = 0;
};

// Which decoration SetPrintHeaderFooter sets.
enum PrintDecoration : int { kPrintHeader = 1, kPrintFooter = 2 };

// The text device's state from opening (construction) to closing. Characters: TAB moves to the
// next tab stop, LF starts a new line, CR prints what is pending, FF starts a new page.
class TMPrinter {
public:
    // Opens the device: the whole page is printable, header and footer are off.
    explicit TMPrinter(TextDevice& device);
    TMPrinter(const TMPrinter&) = delete;
    TMPrinter& operator=(const TMPrinter&) = delete;

    // Margins in thousandths of an inch from the paper's edges.
    void SetPrintMargins(int left, int right, int bottom, int top);
    // which: a PrintDecoration (anything else is ignored). position: thousandths of an inch from
    // the top (header) or bottom (footer). In the texts the first "&P" becomes the page number and
    // the first "&D" the date. With drawNow on page 1 the decorations are drawn at once.
    void SetPrintHeaderFooter(int which, std::string_view left, std::string_view centre,
                              const TOutputFont& font, bool drawNow, int position, std::string_view right);

    const TOutputFont& Font() const { return font_; }
    void SetFont(const TOutputFont& font) { font_ = font; }

    void Write(std::string_view text);
    void WriteLine(std::string_view text);
    // Ends the job; a page break still waiting for text is dropped, so no blank page is ejected.
    void Close() { pageBreakDue_ = false; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    int X() const { return x_; }
    int Y() const { return y_; }
    int PageNumber() const { return page_; }
    // The text with its first "&P" and first "&D" (any case) filled in.
    std::string FillFields(std::string_view text);

private:
    struct Decoration {
        bool Enabled = false;
        std::string Left, Centre, Right;
        TOutputFont Font;
        int Position = 0;
    };

    void PrintRun(std::string_view run);
    void Tab();
    void NewLine();
    void NewPage();
    void StartDuePage();
    void DrawDecorations();
    void DrawDecoration(const Decoration& decoration, int y);

    TextDevice& device_;
    TOutputFont font_;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    int x_ = 0, y_ = 0;
    int lineHeight_ = 0;
    int page_ = 1;
    // The last line filled the page: the next page starts when more output comes.
    bool pageBreakDue_ = false;
    Decoration header_, footer_;
};

} // namespace kivspc
