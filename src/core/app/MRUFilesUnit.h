// SPDX-License-Identifier: GPL-3.0-or-later
// The nine data files most recently loaded or saved, kept in the settings store.
#pragma once

#include <array>
#include <string>

namespace kivspc {

class TMRUFiles {
public:
    static constexpr int kEntries = 9;

    explicit TMRUFiles(std::string keyPath);

    // Reads "File1".."File9" (absent values are created empty). Returns false, leaving the
    // list empty, when the key cannot be opened.
    bool Load();
    // Puts path, made absolute, at the top (letter case ignored when looking for it) and writes
    // the list.
    void Add(const std::string& path);
    // The folder of the most recent file; empty when there is none.
    std::string LastFolder() const;

    // Entries[1..9]; entry 1 is the most recent; index 0 is unused.
    std::array<std::string, kEntries + 1> Entries;
    std::string KeyPath;
};

// The program's one list, over MRUKey.
TMRUFiles& MRUFiles();
// Empties the list in memory (the settings store keeps it; Load reads it again).
void ResetMRUFiles();

} // namespace kivspc
