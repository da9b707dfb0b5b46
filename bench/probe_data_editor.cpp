// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a data file into the data editor and shows it offscreen, then scrolls to the end and back
// and jumps with Ctrl+Down/Ctrl+Up, reporting the milliseconds of each step and the peak
// resident memory. Runs offscreen unless a platform is named in QT_QPA_PLATFORM.
//   probe_data_editor <file>
#include "app/Application.h"
#include "app/QtPlatform.h"
#include "data/DataForm.h"
#include "data/DataTableModel.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// A figure of /proc/self/status in KiB: "VmHWM:" the peak, "VmRSS:" the present.
long StatusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 2) {
        std::cerr << "usage: probe_data_editor <file>\n";
        return 2;
    }
    QApplication app(argc, argv);
    kivspc::gui::QtPlatform platform;
    kivspc::SetPlatform(&platform);
    kivspc::gui::InitProgramState();

    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    auto settle = [] {
        QApplication::processEvents();
        QApplication::processEvents();
    };

    const auto t0 = Clock::now();
    kivspc::gui::TDataForm& form = kivspc::gui::EnsureDataForm();
    form.resize(1000, 700);
    form.OpenFile(QString::fromLocal8Bit(argv[1]));
    form.show();
    settle();
    form.DataGrid()->viewport()->grab();
    const auto t1 = Clock::now();
    QTableView* grid = form.DataGrid();
    grid->scrollToBottom();
    settle();
    grid->viewport()->grab();
    const auto t2 = Clock::now();
    grid->scrollToTop();
    settle();
    grid->viewport()->grab();
    const auto t3 = Clock::now();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
    settle();
    grid->viewport()->grab();
    const auto t4 = Clock::now();
    const int reached = grid->currentIndex().row() + 1;
    QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier);
    settle();
    grid->viewport()->grab();
    const auto t5 = Clock::now();

    // The model's data() for one screen of rows at the end of the table.
    const auto* model = form.DataModel();
    const int rows = model->rowCount();
    const int screen = 40;
    const auto t6 = Clock::now();
    long long chars = 0;
    for (int r = std::max(rows - screen, 0); r < rows; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            for (int role : {Qt::DisplayRole, Qt::BackgroundRole, Qt::TextAlignmentRole, Qt::ForegroundRole})
                chars += model->data(model->index(r, c), role).toString().size();
    const auto t7 = Clock::now();

    std::cout << "rows " << rows << ", columns " << model->columnCount() << "\n"
              << "load and show ms " << ms(t0, t1) << "\n"
              << "scroll to end ms " << ms(t1, t2) << "\n"
              << "scroll to start ms " << ms(t2, t3) << "\n"
              << "ctrl+down ms " << ms(t3, t4) << " (row " << reached << ")\n"
              << "ctrl+up ms " << ms(t4, t5) << "\n"
              << "data() for a screen of rows ms " << ms(t6, t7) << " (" << chars << " chars)\n"
              << "resident KiB " << StatusKiB("VmRSS:") << ", peak " << StatusKiB("VmHWM:") << "\n";
    kivspc::gui::ReleaseDataForm();
    kivspc::SetPlatform(nullptr);
    return 0;
}
