// SPDX-License-Identifier: GPL-3.0-or-later
// Report writing: the current output document and the current output font, shared by every
// report window. A window makes its document current, then writes line by line; all writing
// appends at the end of the document in the current font.
#pragma once

#include "output/OutputDocument.h"

#include <string_view>

namespace kivspc {

// The current document (owned by its report window), or nullptr: writing then does nothing.
TOutputDocument* CurrentOutputDocument();
const TOutputFont& CurrentOutputFont();
void SetOutputFont(const TOutputFont& font);

// Makes the document current; the current font becomes the document's default font.
void SetOutputDocument(TOutputDocument* document);
void ClearOutputDocument();
// Appends the text and a line break.
void WriteOutputLine(std::string_view text);
// Appends the text; CR LF and LF inside it are line breaks.
void WriteOutputText(std::string_view text);
void WriteBlankLine();

// Arial, bold, the given size in points.
void SetHeadingFont(double size);
// Arial, bold and underlined, the given size in points.
void SetUnderlinedHeadingFont(double size);
// Courier New, regular, the given size in points.
void SetBodyFont(double size);
// Underlined only: bold and italic are turned off, name and size stay.
void SetUnderlineStyle();

// Every font size of the current document becomes size * factor + increment points (in half
// points, halves to the even neighbour). Does nothing for an empty document.
void ScaleOutputFonts(int increment, double factor);

// A document that goes away stops being current.
void ForgetOutputDocument(const TOutputDocument* document);
// No current document and the default font (start-up and tests).
void ResetOutputModule();

} // namespace kivspc
