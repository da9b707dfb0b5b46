// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing data files: tab-, comma- or blank-delimited text with an optional names
// line, "Title:", "USL:", "Target:" and "LSL:" description lines and "*" comment lines.
// These work without any window, so batch programs can load and save tables too.
#pragma once

#include "data/TableHooks.h"

#include <string>

namespace kivspc {

// Starts a new empty table, offering to save a modified one first. False (StatErrorCode 1)
// when the user cancels; Process If and the transform are switched off.
bool NewData();
// Replaces the table by the file's contents. False when nothing was loaded; the message has
// been shown. A file that cannot be opened leaves the current table as it was.
bool LoadFile(const std::string& path);

// True when any column name differs (ignoring case) from "Col" + its number.
bool HasCustomNames();

// A block of cells, 1-based and inclusive.
struct CellRange {
    int FirstColumn = 0;
    int LastColumn = 0;
    int FirstRow = 0;
    int LastRow = 0;
};

// Writes the table (or, with selectionOnly, the block `selection`) as tab-delimited text with
// CR LF line ends. The file is replaced atomically: a failed write leaves the old file intact.
bool WriteDataFile(const std::string& path, bool withNames, bool selectionOnly, bool withDescriptions,
                   const CellRange& selection = {});
// Rewrites the current file with names and descriptions, or runs "Save As" when there is none.
bool Save();

} // namespace kivspc
