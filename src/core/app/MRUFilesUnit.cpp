// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MRUFilesUnit.h"

#include "app/Settings.h"
#include "app/SharedState.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace kivspc {

namespace {
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
// The list outlives the folder the program was started from: a relative name is made absolute
// against the current folder (without resolving links), so the entry still opens from anywhere.
std::string AbsolutePath(const std::string& path) {
    const std::filesystem::path p(path);
    if (p.is_absolute()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(p, error);
    return error ? path : absolute.lexically_normal().string();
}
} // namespace

TMRUFiles::TMRUFiles(std::string keyPath) : KeyPath(std::move(keyPath)) {}

bool TMRUFiles::Load() {
    bool ok = true;
    for (int n = 1; n <= kEntries; ++n) {
        Entries[n] = ReadSettingStringCreate(KeyPath, "File" + std::to_string(n));
        if (StatErrorCode != 0) {
            Entries[n].clear();
            ok = false;
        }
    }
    return ok;
}

void TMRUFiles::Add(const std::string& given) {
    if (given.empty() || !Load()) return;
    const std::string path = AbsolutePath(given);
    if (SameIgnoringCase(path, Entries[1])) return;
    int found = 0;
    for (int n = 1; n <= kEntries - 1; ++n)
        if (SameIgnoringCase(path, Entries[n])) found = n;
    int last = found ? found : kEntries;
    for (int n = last; n > 1; --n)
        Entries[n] = Entries[n - 1];
    Entries[1] = path;
    for (int n = 1; n <= kEntries; ++n)
        WriteSettingString(KeyPath, "File" + std::to_string(n), Entries[n]);
}

std::string TMRUFiles::LastFolder() const {
    const std::string& p = Entries[1];
    std::size_t slash = p.find_last_of("/\\");
    if (slash == std::string::npos) return {};
    return p.substr(0, slash == 0 ? 1 : slash);
}

TMRUFiles& MRUFiles() {
    static TMRUFiles list(MRUKey);
    list.KeyPath = MRUKey;
    return list;
}

void ResetMRUFiles() { MRUFiles().Entries.fill(std::string()); }

} // namespace kivspc
