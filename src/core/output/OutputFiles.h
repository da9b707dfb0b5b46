// SPDX-License-Identifier: GPL-3.0-or-later
// Saving output documents as plain text or rich text (RTF).
#pragma once

#include "app/AtomicFile.h"
#include "output/OutputDocument.h"

#include <string>
#include <string_view>

namespace kivspc {

// One line per document line with CR LF line ends; every line containing "-Page-" is left out.
std::string OutputPlainText(const TOutputDocument& document);
// The document as RTF: fonts, sizes, styles and colours; every line containing "-Page-" becomes
// a page break. The same document always gives the same bytes.
std::string OutputRichText(const TOutputDocument& document);

// Rich text when the name's extension is ".rtf" in any case, else plain text. The file is
// replaced atomically; false (and the old file untouched) when it could not be written.
bool SaveOutputDocument(const TOutputDocument& document, const std::string& path);

} // namespace kivspc
