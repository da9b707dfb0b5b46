// SPDX-License-Identifier: GPL-3.0-or-later
// "Variables Chart Setup": which columns are measured and how they form subgroups, which
// location and dispersion charts to draw and how their limits are found. "&Action" checks the
// entries, hands them to the chart computation and shows the charts.
#pragma once

#include "charts/VARchartForm.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace kivspc::gui {

class TForm_VARsetup : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_VARsetup(QWidget* mainWindow);
    ~TForm_VARsetup() override;

    // Validates the entries, stores them in the shared settings and shows the charts; false when
    // an entry was refused (the user has been told) or no chart could be prepared.
    bool CalcButtonClick();
    // Empties the lists and refills "Data Variables" from the current table.
    void ResetLists();
    // What activation does: the lists start over when the table changed shape.
    void FormActivate();
    // The chart window, while one exists.
    TVARchart_Form* ChartWindow() const { return chartWindow_; }
    // True while the combo boxes offer the individual-values charts.
    bool IndividualMode() const;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    struct LimitGroup {
        QGroupBox* box = nullptr;
        QCheckBox* check[3] = {};
        QLineEdit* edit[3] = {};
    };

    void BuildControls();
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildListsPanel();
    QWidget* BuildChartPanel();
    LimitGroup MakeLimitGroup(const QString& name, const QString& title, const QStringList& names,
                              bool signedValues);

    // Moves the selected entries of `from` to `to`.
    void MoveEntries(QListWidget* from, QListWidget* to);
    void MoveAll(QListWidget* from, QListWidget* to);
    void SampleButtonClick();
    void SetsButtonClick();
    // Returns a column shown in the sample or sets box to "Data Variables".
    void ReturnSingle(QLineEdit* box, QToolButton* button, int& column);
    void ConstantSizeClick();
    void LayoutClick();
    void LocChartChange();
    void DispChartChange();
    void DispCalcChange();
    void ListsChanged();
    // The dispersion centerline and calculation names follow the dispersion chart, and the
    // estimate follows the location chart.
    void LinkDispersion();
    void RefreshControls();
    void FillChartCombos(bool individual);
    void RenameLocationMethods();
    void RenameDispersionItems();
    void ReturnToMainForm();
    void FormResizeClick();
    void ReturnHere(bool opened);
    void UpdateCaption();
    void FreeChartWindow();
    void FocusChanged(QWidget* now);

    // Reads the entries into the settings; false (with a message) when one is refused.
    bool StoreSettings();
    bool ReadUserLimits(const LimitGroup& group, double values[3], const char* message);

    QWidget* mainWindow_;
    QListWidget* dataList_ = nullptr;
    QListWidget* measures_ = nullptr;
    QListWidget* chartGroups_ = nullptr;
    QLabel* measuresLabel_ = nullptr;
    QLabel* groupsLabel_ = nullptr;
    QPushButton* includeMeasure_ = nullptr;
    QPushButton* excludeMeasure_ = nullptr;
    QPushButton* excludeAllMeasure_ = nullptr;
    QPushButton* includeChart_ = nullptr;
    QPushButton* excludeChart_ = nullptr;
    QPushButton* excludeAllChart_ = nullptr;
    QLabel* sampleLabel_ = nullptr;
    QToolButton* sampleButton_ = nullptr;
    QLineEdit* sampleEdit_ = nullptr;
    QLabel* setsLabel_ = nullptr;
    QToolButton* setsButton_ = nullptr;
    QLineEdit* setsEdit_ = nullptr;
    QCheckBox* constantSize_ = nullptr;
    QSpinBox* sampleSize_ = nullptr;
    QGroupBox* layoutBox_ = nullptr;
    QRadioButton* inColumns_ = nullptr;
    QRadioButton* inRows_ = nullptr;
    QComboBox* locChart_ = nullptr;
    QComboBox* dispChart_ = nullptr;
    QComboBox* locCalc_ = nullptr;
    QComboBox* dispCalc_ = nullptr;
    QComboBox* locCL_ = nullptr;
    QComboBox* dispCL_ = nullptr;
    QLabel* locCalcLabel_ = nullptr;
    QLabel* dispCalcLabel_ = nullptr;
    QLabel* locCLLabel_ = nullptr;
    QLabel* dispCLLabel_ = nullptr;
    QLabel* stdErrLabel_ = nullptr;
    QLineEdit* stdErr_ = nullptr;
    QLabel* mrLabel_ = nullptr;
    QSpinBox* mrCount_ = nullptr;
    QLabel* sigmaLabel_ = nullptr;
    QLineEdit* sigma_ = nullptr;
    QLabel* muLabel_ = nullptr;
    QLineEdit* mu_ = nullptr;
    LimitGroup locLimits_;
    LimitGroup dispLimits_;
    QCheckBox* positiveLimits_ = nullptr;
    QComboBox* axisLabels_ = nullptr;
    QPushButton* calcButton_ = nullptr;
    QAction* resizeAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;

    int sampleColumn_ = 0;
    int setsColumn_ = 0;
    int filledMode_ = -1; // 1 individual values, 0 subgroups, -1 not filled yet
    bool linking_ = false;
    double scale_ = 1;
    std::int32_t seenColumnChanges_ = -1;
    std::int32_t seenNewTables_ = -1;
    int seenColumns_ = -1;
    QPointer<TVARchart_Form> chartWindow_;
};

} // namespace kivspc::gui
