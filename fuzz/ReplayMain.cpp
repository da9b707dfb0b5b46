// SPDX-License-Identifier: GPL-3.0-or-later
// Replays fuzz inputs through their targets without libFuzzer, so that every build (and the
// sanitizer build) runs the committed corpus as a regression test.
//
//   kivspc_fuzz_replay <target> <file or folder>...
//
// Runs the target on an empty input and on every file given or found (recursively, in name
// order) in the folders. A fault stops the process; otherwise it prints the count and exits 0.
#include "FuzzTargets.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <target> <file or folder>...\ntargets:", argv[0]);
        for (const auto& t : kivspc::fuzz::AllTargets())
            std::fprintf(stderr, " %s", t.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    const kivspc::fuzz::Target* target = kivspc::fuzz::FindTarget(argv[1]);
    if (!target) {
        std::fprintf(stderr, "no fuzz target named %s\n", argv[1]);
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 2; i < argc; ++i) {
        const fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const auto& entry : fs::recursive_directory_iterator(p))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else if (fs::is_regular_file(p)) {
            files.push_back(p);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
    std::sort(files.begin(), files.end());

    target->run(nullptr, 0);
    for (const fs::path& file : files) {
        std::fprintf(stderr, "%s\n", file.string().c_str());
        const std::vector<std::uint8_t> bytes = ReadFile(file);
        target->run(bytes.data(), bytes.size());
    }
    std::printf("%s: %zu inputs replayed\n", target->name, files.size() + 1);
    return 0;
}
