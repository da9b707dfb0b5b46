// SPDX-License-Identifier: GPL-3.0-or-later
// Large column arrays ask the system for huge pages: a table of millions of rows is touched
// once while it is filled, and 2 MB pages make that first touch far cheaper than 4 KB pages.
#pragma once

#include <cstddef>

namespace kivspc {

// Advisory only; does nothing for small blocks or where the system offers no such advice.
void AdviseHugePages(const void* data, std::size_t bytes);

} // namespace kivspc
