// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a data file (numeric cache included) and optionally writes it back, reporting the
// seconds each step took and the peak memory of the process.
//   probe_load <file> [<file to write>]
#include "data/DataFile.h"
#include "data/DataU.h"

#include <chrono>
#include <cstdio>
#include <string>

#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: probe_load <file> [<file to write>]\n", stderr);
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    if (!kivspc::LoadFile(argv[1])) return 1;
    auto t1 = Clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double loadSeconds = std::chrono::duration<double>(t1 - t0).count();
    std::printf("rows %d columns %d\nload_seconds %.3f\npeak_kib %ld\n", kivspc::DataTable().RowCount(),
                kivspc::DataTable().ColumnCount(), loadSeconds, usage.ru_maxrss);
    if (argc > 2) {
        auto t2 = Clock::now();
        if (!kivspc::WriteDataFile(argv[2], true, false, true)) return 1;
        auto t3 = Clock::now();
        std::printf("write_seconds %.3f\n", std::chrono::duration<double>(t3 - t2).count());
    }
    return 0;
}
