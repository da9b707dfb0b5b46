// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file safely: everything goes to a temporary file in the same folder, which is
// renamed over the target only once it is complete, so a failed save never damages the old file.
#pragma once

#include <string>
#include <string_view>

namespace kivspc {

class TAtomicFile {
public:
    explicit TAtomicFile(std::string path);
    // A file neither committed nor opened leaves nothing behind.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file (with the permissions of the file it will replace).
    bool Open();
    // Buffered; an error is remembered and reported by Commit.
    void Write(std::string_view bytes);
    // Writes what is buffered, syncs and renames over the target; false on any failure.
    bool Commit();

private:
    bool Flush();
    void Discard();

    std::string path_;
    std::string temp_;
    std::string buffer_;
    int fd_ = -1;
    bool failed_ = false;
};

// Writes the bytes to a temporary file beside the target and renames it over the target.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace kivspc
