// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilityPlotForm.h"

namespace kivspc::gui {

TForm_CapabilityPlot::TForm_CapabilityPlot(QWidget* mainWindow) : QMainWindow(mainWindow) {
    setObjectName("Form_CapabilityPlot");
    setWindowTitle("Capability/Performance & Distribution Analysis");
}

TForm_CapabilityPlot::~TForm_CapabilityPlot() = default;

void TForm_CapabilityPlot::ShowCapabilityAnalysis(QWidget*, const QString&) { show(); }

} // namespace kivspc::gui
