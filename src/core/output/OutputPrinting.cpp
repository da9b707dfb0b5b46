// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputPrinting.h"

namespace kivspc {

PrintOrientation RememberedPrintOrientation = PrintOrientation::Portrait;

TOutputFont HeaderFooterFont() {
    TOutputFont font;
    font.Name = "Courier New";
    font.Size = 9.0;
    return font;
}

void PrintOutputDocument(const TOutputDocument& document, std::string_view title,
                         PrintOrientation orientation, TextDevice& device) {
    const bool landscape = orientation == PrintOrientation::Landscape;
    TMPrinter printer(device);
    if (landscape) {
        printer.SetPrintMargins(1000, 1000, 500, 1000);
    } else {
        printer.SetPrintMargins(1000, 500, 500, 600);
    }
    printer.SetFont(document.DefaultFont());
    // The header goes first and is drawn at once: page 1 carries the header only.
    printer.SetPrintHeaderFooter(kPrintHeader, title, "", HeaderFooterFont(), true, landscape ? 650 : 250,
                                 "&D");
    printer.SetPrintHeaderFooter(kPrintFooter, "", "", HeaderFooterFont(), false, 250, "Page (&P)");

    for (std::size_t i = 0; i < document.LineCount(); ++i) {
        const TOutputLine& line = document.Line(i);
        if (line.IsPageMarker()) {
            printer.Write("\f");
            continue;
        }
        TOutputFont font = printer.Font();
        const TOutputFont& first = line.FirstFont();
        font.Name = first.Name;
        font.Bold = first.Bold;
        font.Italic = first.Italic;
        font.Underline = first.Underline;
        font.Size = ClampFontSize(first.Size + 2);
        printer.SetFont(font);
        printer.Write(line.Text());
        printer.Write("\n");
    }
    printer.Close();
}

} // namespace kivspc
