// SPDX-License-Identifier: GPL-3.0-or-later
// Text of Windows metafiles: a text record holds one byte per character, read in the code page of
// the selected font's character set. A string is written as runs, each in a character set that
// holds its characters.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace kivspc::gui {

// The character sets of font records that runs use.
enum TWindowsCharset : int {
    kAnsiCharset = 0,         // code page 1252, Western
    kSymbolCharset = 2,       // the Symbol font's own encoding: mathematical signs
    kGreekCharset = 161,      // code page 1253
    kTurkishCharset = 162,    // code page 1254
    kBalticCharset = 186,     // code page 1257
    kRussianCharset = 204,    // code page 1251, Cyrillic
    kEastEuropeCharset = 238, // code page 1250, Central European
};

struct TCharsetRun {
    int Charset = kAnsiCharset;
    QByteArray Bytes;     // one byte per character, in the character set's code page
    qsizetype First = 0;  // where the run starts in the text, in UTF-16 units
    qsizetype Length = 0; // its UTF-16 units
};

// The byte that stands for a character (a code point) in a character set, if the set holds it.
// The Symbol set holds only the signs no code page has (its letters would read as Greek).
std::optional<char> CharsetByte(int charset, char32_t character);

// Splits a text into runs of one character set each, together covering the whole text. A
// character stays in the run before it when that run's set holds it; otherwise it starts a run in
// the first set that holds it (Western, Central European, Turkish, Baltic, Greek, Cyrillic,
// Symbol). A character no set holds is written as its base letter when one holds that ("ṡ" as
// "s"), else as "?" (Hebrew, Arabic, Chinese, Japanese and Korean script, for example).
std::vector<TCharsetRun> CharsetRuns(const QString& text);

} // namespace kivspc::gui
