// SPDX-License-Identifier: GPL-3.0-or-later
// "Capability/Performance & Distribution Analysis": the data the capability setup chose, one
// group at a time, with the statistics table (descriptive statistics, the fitted distribution,
// tests of fit, counts and estimates out of tolerance, capability or performance indices)
// beside the histogram and probability plot pages.
#pragma once

#include "capability/CapabilityGraphs.h"
#include "capability/CapabilityPlot.h"

#include <QMainWindow>
#include <QPointer>

#include <map>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QStackedWidget;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabBar;
class QTableWidget;

namespace kivspc::gui {

class TChartView;
class TForm_CapabilitySummary;
class TForm_DistCalc;
class TForm_FixedDistParam;

class TForm_CapabilityPlot : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_CapabilityPlot(QWidget* mainWindow);
    ~TForm_CapabilityPlot() override;

    // Starts the analysis of the stored setup (CapabilityConfig, CapabilityRun), lists its
    // groups, analyses the first and shows the window; `caption` names the window Return goes
    // back to ("Capability/Performance Setup Form").
    void ShowCapabilityAnalysis(QWidget* setupWindow, const QString& caption);
    // Analyses the group chosen in the list again and redraws the page and the table.
    void SelectGroup(int row);
    // Redraws the active page; every redraw builds the statistics table again.
    void RedrawCapabilityGraph();
    // The statistics table from the current options (the check boxes, decimals).
    void BuildTable();
    // What activation does: the groups are formed again, or, when the table's columns changed,
    // the window empties itself and the setup comes back.
    void FormActivate();
    void ReturnToCaller();

    const TCapabilityAnalysis& Analysis() const { return analysis_; }
    QListWidget* GroupList() const { return groups_; }
    QComboBox* DistributionBox() const { return distribution_; }
    QTableWidget* Table() const { return table_; }
    QSpinBox* Decimals() const { return decimals_; }
    QCheckBox* Check(const char* name) const;
    QRadioButton* CapabilityButton() const { return capability_; }
    QRadioButton* PerformanceButton() const { return performance_; }
    QTabBar* Pages() const { return pages_; }
    TChartView* Chart() const { return chart_; }
    // "&Copy" of the table's pop-up menu: the selected cells, tab-delimited.
    void CopyTableSelection();
    // The graph options as the page controls and the View menu set them.
    TGraphOptions GraphOptions() const;
    const TGraphResult& LastGraph() const { return lastGraph_; }
    QLineEdit* IntervalEdit() const { return intervalEdit_; }
    QLineEdit* FirstEdit() const { return firstEdit_; }
    QCheckBox* IntervalCheck() const { return intervalCheck_; }
    QCheckBox* FirstCheck() const { return firstCheck_; }
    QCheckBox* LinearCheck() const { return linear_; }
    QCheckBox* PaperCheck() const { return paper_; }
    QRadioButton* PolygonButton() const { return polygon_; }
    QAction* ViewOption(const char* name) const;
    // "Capability &Summary": the one-page summary of the chosen group in its own window.
    TForm_CapabilitySummary* ShowSummary();

    // The distribution calculator and the fixed-parameter window, made when first asked for.
    TForm_DistCalc* DistCalcWindow();
    TForm_FixedDistParam* FixedParamWindow();
    QPushButton* DistCalcButton() const { return distCalc_; }
    QPushButton* SetParametersButton() const { return setParameters_; }
    // Selects the list entry `distKind` without switching parameters fixed by hand off, then
    // redraws; -1 only redraws.
    void UseFixedParameters(int distKind);

protected:
    bool event(QEvent* e) override;

private:
    QWidget* BuildTablePanel(QWidget* parent);
    QWidget* BuildGraphPanel(QWidget* parent);
    void BuildMenus();
    void ModeChanged();
    void DistributionChanged(int index);
    void UpdateVisibility();
    void UpdateCaption();
    QWidget* BuildHistogramControls(QWidget* parent);
    QWidget* BuildProbabilityControls(QWidget* parent);
    void FillTable(const std::vector<TStatRow>& rows);
    // The calculator's title lines: the chosen model and the analysis label.
    void UpdateCalculatorTitles();
    // The current entry's sample, sorted, with the chosen model fitted: what the calculator reads.
    bool PrepareCalculation();

    TCapabilityAnalysis analysis_;
    QPointer<QWidget> caller_;
    QWidget* mainWindow_ = nullptr;
    int builtChanges_ = -1;
    int savedDistKind_ = 0;
    bool constantAxis_ = false;

    TGraphResult lastGraph_;
    QPointer<TForm_CapabilitySummary> summary_;
    // A typed entry the graph could not use is reported when the user has just typed it.
    bool reportProblem_ = false;
    QTabBar* pages_ = nullptr;
    QStackedWidget* pageControls_ = nullptr;
    QRadioButton* histogram_ = nullptr;
    QRadioButton* polygon_ = nullptr;
    QCheckBox* intervalCheck_ = nullptr;
    QLineEdit* intervalEdit_ = nullptr;
    QLabel* sizeUsed_ = nullptr;
    QCheckBox* firstCheck_ = nullptr;
    QLineEdit* firstEdit_ = nullptr;
    QLabel* firstUsed_ = nullptr;
    QCheckBox* linear_ = nullptr;
    QCheckBox* paper_ = nullptr;
    QScrollBar* pointSize_ = nullptr;
    QLabel* pointSizeLabel_ = nullptr;
    TChartView* chart_ = nullptr;
    QCheckBox* fixX_ = nullptr;
    QCheckBox* interpolate_ = nullptr;
    QPushButton* distCalc_ = nullptr;
    QPushButton* setParameters_ = nullptr;
    TForm_DistCalc* distCalcForm_ = nullptr;
    TForm_FixedDistParam* fixedForm_ = nullptr;
    QListWidget* groups_ = nullptr;
    QLabel* distributionLabel_ = nullptr;
    QComboBox* distribution_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    std::map<std::string, QCheckBox*> checks_;
    QRadioButton* capability_ = nullptr;
    QRadioButton* performance_ = nullptr;
    QTableWidget* table_ = nullptr;
    QAction* returnItem_ = nullptr;
    QAction* returnTool_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* zoomOutTool_ = nullptr;
    std::map<std::string, QAction*> options_;
};

} // namespace kivspc::gui
