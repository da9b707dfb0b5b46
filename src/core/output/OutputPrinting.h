// SPDX-License-Identifier: GPL-3.0-or-later
// Printing an output document through the printer text device: margins by orientation, the
// title and date in the header, page numbers in the footer from page 2 on.
#pragma once

#include "output/MPrinters.h"
#include "output/OutputDocument.h"

#include <string_view>

namespace kivspc {

enum class PrintOrientation { Portrait, Landscape };

// Portrait at start-up, afterwards the orientation last chosen in the print dialog.
extern PrintOrientation RememberedPrintOrientation;

// Courier New, 9 points, regular, black.
TOutputFont HeaderFooterFont();

// Prints the document on the device, whose print job the caller has started and ends
// afterwards. A line reading "-Page-" starts a new page; every other line is printed in the
// name and style of its first character's font, two points larger.
void PrintOutputDocument(const TOutputDocument& document, std::string_view title,
                         PrintOrientation orientation, TextDevice& device);

} // namespace kivspc
