// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ReditU.h"

#include "app/Platform.h"
#include "output/OutputPrinting.h"

namespace kivspc {

namespace {

TOutputDocument* currentDocument = nullptr;
TOutputFont currentFont;

} // namespace

TOutputDocument* CurrentOutputDocument() { return currentDocument; }

const TOutputFont& CurrentOutputFont() { return currentFont; }

void SetOutputFont(const TOutputFont& font) {
    currentFont = font;
    currentFont.Size = ClampFontSize(font.Size);
}

void SetOutputDocument(TOutputDocument* document) {
    currentDocument = document;
    if (document) currentFont = document->DefaultFont();
}

void ClearOutputDocument() {
    if (currentDocument) currentDocument->Clear();
}

void WriteOutputLine(std::string_view text) {
    if (!currentDocument) return;
    currentDocument->WriteLine(text, currentFont);
}

void WriteOutputText(std::string_view text) {
    if (currentDocument) currentDocument->Write(text, currentFont);
}

void WriteBlankLine() {
    if (currentDocument) currentDocument->WriteLineBreak(currentFont);
}

void SetHeadingFont(double size) {
    currentFont.Name = "Arial";
    currentFont.Size = ClampFontSize(size);
    currentFont.Bold = true;
    currentFont.Italic = false;
    currentFont.Underline = false;
}

void SetUnderlinedHeadingFont(double size) {
    SetHeadingFont(size);
    currentFont.Underline = true;
}

void SetBodyFont(double size) {
    currentFont.Name = "Courier New";
    currentFont.Size = ClampFontSize(size);
    currentFont.Bold = false;
    currentFont.Italic = false;
    currentFont.Underline = false;
}

void SetUnderlineStyle() {
    currentFont.Bold = false;
    currentFont.Italic = false;
    currentFont.Underline = true;
}

void ScaleOutputFonts(int increment, double factor) {
    if (!currentDocument || currentDocument->IsEmpty()) return;
    BusyCursor busy;
    currentDocument->ScaleFonts(increment, factor);
}

void ForgetOutputDocument(const TOutputDocument* document) {
    if (currentDocument == document) currentDocument = nullptr;
}

void ResetOutputModule() {
    currentDocument = nullptr;
    currentFont = DefaultOutputFont();
    RememberedPrintOrientation = PrintOrientation::Portrait;
}

} // namespace kivspc
