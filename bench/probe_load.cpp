// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a data file (numeric cache included) and optionally writes it back, reporting the
// seconds each step took and the peak memory of the process.
//   probe_load <file> [<file to write>]
#include "app/NumberFormat.h"
#include "data/DataFile.h"
#include "data/DataU.h"

#include <chrono>
#include <iostream>
#include <string>

#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: probe_load <file> [<file to write>]\n";
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    if (!kivspc::LoadFile(argv[1])) return 1;
    auto t1 = Clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double loadSeconds = std::chrono::duration<double>(t1 - t0).count();
    std::cout << "rows " << kivspc::DataTable().RowCount() << " columns " << kivspc::DataTable().ColumnCount()
              << "\nload_seconds " << kivspc::FormatFixed(3, loadSeconds) << "\npeak_kib " << usage.ru_maxrss
              << "\n";
    if (argc > 2) {
        auto t2 = Clock::now();
        if (!kivspc::WriteDataFile(argv[2], true, false, true)) return 1;
        auto t3 = Clock::now();
        std::cout << "write_seconds "
                  << kivspc::FormatFixed(3, std::chrono::duration<double>(t3 - t2).count()) << "\n";
    }
    return 0;
}
