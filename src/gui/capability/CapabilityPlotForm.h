// SPDX-License-Identifier: GPL-3.0-or-later
// "Capability/Performance & Distribution Analysis": the data the capability setup chose, one
// group at a time, with the statistics table (descriptive statistics, the fitted distribution,
// tests of fit, counts and estimates out of specification, capability or performance indices)
// beside the histogram and probability plot pages.
#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QToolButton;

namespace kivspc::gui {

class TForm_CapabilityPlot : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_CapabilityPlot(QWidget* mainWindow);
    ~TForm_CapabilityPlot() override;

    // Starts the analysis of the stored setup (CapabilityConfig, CapabilityRun), lists its
    // groups, analyses the first and shows the window; `caption` names the window Return goes
    // back to ("Capability/Performance Setup Form").
    void ShowCapabilityAnalysis(QWidget* setupWindow, const QString& caption);
};

} // namespace kivspc::gui
