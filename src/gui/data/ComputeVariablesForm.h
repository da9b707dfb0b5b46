// SPDX-License-Identifier: GPL-3.0-or-later
// "Compute Variables from Sample Data": a new column computed from the table, per run of
// independent columns (deviations, log variances, standardised values, run statistics, ranks of
// a dependent column) or across the selected columns of each row, with a log of what was added.
#pragma once

#include <QDialog>
#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace kivspc {
struct TSubgroupQuestion;
}

namespace kivspc::gui {

// "Generate BKB": the number of subgroups per run.
class TGetSubgroups_Form : public QDialog {
    Q_OBJECT
public:
    TGetSubgroups_Form(const TSubgroupQuestion& question, QWidget* parent);
    QSpinBox* Count() const { return count_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QSpinBox* count_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Generate BKB": the minimum range used for subgroups without variance.
class TMinVar_Form : public QDialog {
    Q_OBJECT
public:
    TMinVar_Form(const QString& runLabel, QWidget* parent);
    QLineEdit* Range() const { return range_; }
    QPushButton* OkButton() const { return ok_; }
    double Value() const;

private:
    QLineEdit* range_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class TBkbox_Form : public QMainWindow {
    Q_OBJECT
public:
    explicit TBkbox_Form(QWidget* mainWindow);

    // The dialogs the computation asks through; replaced by tests.
    std::function<std::optional<int>(const TSubgroupQuestion&)> AskSubgroups;
    std::function<std::optional<double>(const std::string&)> AskMinimumRange;

    // "&Action": computes the new column; false when nothing was added.
    bool CalcButtonClick();
    // Refills the lists when the table's columns changed; clears the log for a new table.
    void FormActivate();

    QTabWidget* Tabs() const { return tabs_; }
    QListWidget* DataList() const { return dataList_; }
    QListWidget* Independents() const { return independents_; }
    QListWidget* RowDataList() const { return rowDataList_; }
    QListWidget* RowSelected() const { return rowSelected_; }
    QLineEdit* DependentBox() const { return dependentEdit_; }
    QToolButton* DependentButton() const { return dependentButton_; }
    QLineEdit* NameBox() const { return name_; }
    QPlainTextEdit* Log() const { return log_; }
    QPushButton* ActionButton() const { return action_; }
    void ChooseRunStatistic(int statistic);
    void ChooseRowStatistic(int statistic);

protected:
    bool event(QEvent* e) override;

private:
    QWidget* BuildRunsTab();
    QWidget* BuildRowsTab();
    void BuildMenus();
    void FillLists();
    void DependentButtonClick();
    void UpdateDefaultName();
    void UpdateButtons();
    void AppendLog(const std::vector<std::string>& lines);

    QWidget* mainWindow_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QListWidget* dataList_ = nullptr;
    QListWidget* independents_ = nullptr;
    QLineEdit* dependentEdit_ = nullptr;
    QToolButton* dependentButton_ = nullptr;
    int dependent_ = 0;
    QButtonGroup* runStatistic_ = nullptr;
    QListWidget* rowDataList_ = nullptr;
    QListWidget* rowSelected_ = nullptr;
    QButtonGroup* rowStatistic_ = nullptr;
    std::array<int, 10> rowCounters_{};
    QLineEdit* name_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QPushButton* action_ = nullptr;
    QAction* resizeAction_ = nullptr;
    double scale_ = 1;
    int seenColumnChanges_ = -1;
    int seenNewTables_ = -1;
};

// Opens the window (created on first use) from the data editor.
TBkbox_Form* ShowComputeVariablesDialog(QWidget* mainWindow);

} // namespace kivspc::gui
