// SPDX-License-Identifier: GPL-3.0-or-later
// A temporary folder for tests that read and write files.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("kivspc-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string p = File(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
