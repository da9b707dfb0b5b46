// SPDX-License-Identifier: GPL-3.0-or-later
// "Attributes Chart Setup": the chart type, the columns of counts, sample sizes and sets (in
// columns, or by the values of grouping columns), how the limits and the centre line are found.
// "&Action" checks the entries, hands them to the chart computation and shows the chart.
#pragma once

#include "charts/AttrChartForm.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace kivspc::gui {

class TForm_AttrSetup : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_AttrSetup(QWidget* mainWindow);
    ~TForm_AttrSetup() override;

    // Checks and stores the entries and shows the chart; false when an entry was refused (the
    // user has been told, or heard a beep).
    bool CalcButtonClick();
    // Empties the lists and refills them from the current table.
    void ResetLists();
    // What activation does: the lists start over when the table's columns changed.
    void FormActivate();
    TAttrChart_Form* ChartWindow() const { return chartWindow_; }

    // One column box: a column moved out of the tab's source list and shown by name.
    struct SingleBox {
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;
        QToolButton* button = nullptr;
        int column = 0;
    };
    // The controls of one tab.
    struct Tab {
        QWidget* page = nullptr;
        QListWidget* source = nullptr;
        QListWidget* target = nullptr;
        QPushButton* include = nullptr;
        QPushButton* includeAll = nullptr;
        QPushButton* exclude = nullptr;
        QPushButton* excludeAll = nullptr;
        SingleBox sample, sets, measure; // measure: Reference tab only
        QCheckBox* constant = nullptr;
    };
    const Tab& ColumnsTab() const { return tabs_[0]; }
    const Tab& ReferenceTab() const { return tabs_[1]; }
    QTabWidget* Tabs() const { return tabWidget_; }

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildControls();
    QWidget* BuildTab(Tab& tab, bool reference);
    QWidget* BuildChoices();
    void BuildMenus();
    void BuildToolBar();

    void MoveEntries(Tab& tab, QListWidget* from, QListWidget* to, bool all);
    void UpdateMoveButtons(Tab& tab);
    void SingleClick(Tab& tab, SingleBox& box);
    void ReturnSingle(Tab& tab, SingleBox& box);
    void ConstantClick(Tab& tab);
    void TypeClick();
    // The visibility rules of the method, centre line, sets and standard errors.
    void ApplyVisibility();
    void ChoiceChanged();
    void HideChart();
    void UpdateCaption();
    void UpdateSummary();
    void ReturnToMainForm();
    void ReturnHere(bool opened);
    void FocusChanged(QWidget* now);

    QWidget* mainWindow_;
    QTabWidget* tabWidget_ = nullptr;
    std::array<Tab, 2> tabs_;
    QButtonGroup* type_ = nullptr;
    QButtonGroup* method_ = nullptr;
    QButtonGroup* centre_ = nullptr;
    QGroupBox* centreBox_ = nullptr;
    QLabel* parameterLabel_ = nullptr;
    QLineEdit* parameter_ = nullptr;
    QLabel* userLabel_ = nullptr;
    std::array<QCheckBox*, 3> userChecks_{};
    std::array<QLineEdit*, 3> userEdits_{};
    QComboBox* axisLabels_ = nullptr;
    QLabel* stdErrLabel_ = nullptr;
    QLineEdit* stdErr_ = nullptr;
    QPushButton* calcButton_ = nullptr;
    std::array<QLabel*, 3> summary_{};
    QAction* resizeAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    double scale_ = 1;
    std::int32_t seenColumnChanges_ = -1;
    std::int32_t seenNewTables_ = -1;
    QPointer<TAttrChart_Form> chartWindow_;
};

} // namespace kivspc::gui
