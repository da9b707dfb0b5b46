// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a long report into a hidden rich-text box, then shows it, reporting the seconds each
// step took. Runs offscreen unless a platform is named in QT_QPA_PLATFORM.
//   probe_report_widget [<lines>]
#include "app/NumberFormat.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"

#include <QApplication>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int lines = 20000;
    if (argc > 1) {
        const char* end = argv[1] + std::strlen(argv[1]);
        if (std::from_chars(argv[1], end, lines).ptr != end || lines < 1) {
            std::cerr << "usage: probe_report_widget [<lines>]\n";
            return 2;
        }
    }
    QApplication app(argc, argv);
    kivspc::gui::TOutputRichEdit box;
    box.resize(800, 600);
    kivspc::SetOutputDocument(&box.Document());

    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    // A report as the chart analysis writes one: a heading now and then, body lines between.
    for (int i = 0; i < lines; ++i) {
        if (i % 50 == 0) {
            kivspc::SetUnderlinedHeadingFont(10);
            kivspc::WriteOutputLine("Subgroups " + kivspc::FormatFixed(0, i + 1) + " to " +
                                    kivspc::FormatFixed(0, i + 50));
            kivspc::SetBodyFont(8);
            continue;
        }
        kivspc::WriteOutputLine("Subgroup " + kivspc::FormatFixedRight(6, 0, i) +
                                "   Mean = " + kivspc::FormatFixedLeft(10, 4, 10 + (i % 97) / 97.0) +
                                "Range = " + kivspc::FormatFixed(4, 2 + (i % 13) / 13.0));
    }
    const auto t1 = Clock::now();
    box.show();
    box.Render();
    QCoreApplication::processEvents();
    const auto t2 = Clock::now();

    const double writeSeconds = std::chrono::duration<double>(t1 - t0).count();
    const double showSeconds = std::chrono::duration<double>(t2 - t1).count();
    std::cout << "lines " << kivspc::FormatFixed(0, lines) << "\nwrite_seconds "
              << kivspc::FormatFixed(3, writeSeconds) << "\nshow_seconds "
              << kivspc::FormatFixed(3, showSeconds) << "\ntotal_seconds "
              << kivspc::FormatFixed(3, writeSeconds + showSeconds) << "\nshown_blocks "
              << kivspc::FormatFixed(0, box.document()->blockCount()) << "\n";
    return box.document()->blockCount() > lines ? 0 : 1;
}
