// SPDX-License-Identifier: GPL-3.0-or-later
// "Capability/Performance Setup": which columns are measures, which define groups or process
// streams, how several measures are read and an optional sample column. "&Action" stores the
// choice as the capability run and shows the analysis window.
#pragma once

#include "capability/CapabilityPlotForm.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace kivspc::gui {

class TForm_CapabilitySetup : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_CapabilitySetup(QWidget* mainWindow);
    ~TForm_CapabilitySetup() override;

    // Stores the choice (CapabilityConfig, CapabilityRun) and shows the analysis; false when
    // there is nothing to analyse.
    bool CalcButtonClick();
    // Empties the lists and the sample column and fills them from the current table.
    void FillColumnLists();
    // What activation does: the lists start over when the table's columns changed.
    void FormActivate();
    // The analysis window, once Action has made it.
    TForm_CapabilityPlot* AnalysisWindow() const { return analysis_; }

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildToolBar();

    void MoveEntries(QListWidget* from, QListWidget* to, bool all);
    void SampleButtonClick();
    void ReturnSample();
    void LayoutClick();
    // The enabling and visibility rules, after every change.
    void UpdateSetupControls();
    void HideAnalysis();
    void UpdateCaption();
    void ReturnHere(bool opened);
    void NoteColumnsSeen();

    QWidget* mainWindow_;
    QListWidget* dataList_ = nullptr;
    QListWidget* measures_ = nullptr;
    QListWidget* groups_ = nullptr;
    QLabel* groupsLabel_ = nullptr;
    QPushButton* includeMeasure_ = nullptr;
    QPushButton* excludeMeasure_ = nullptr;
    QPushButton* excludeAllMeasure_ = nullptr;
    QPushButton* includeGroup_ = nullptr;
    QPushButton* excludeGroup_ = nullptr;
    QPushButton* excludeAllGroup_ = nullptr;
    QLabel* sampleLabel_ = nullptr;
    QToolButton* sampleButton_ = nullptr;
    QLineEdit* sampleEdit_ = nullptr;
    QGroupBox* layoutBox_ = nullptr;
    QButtonGroup* layout_ = nullptr;
    QGroupBox* groupsBox_ = nullptr;
    QButtonGroup* groupsKind_ = nullptr;
    QPushButton* calcButton_ = nullptr;
    QAction* resizeAction_ = nullptr;
    double scale_ = 1;
    int sampleColumn_ = 0;
    std::int32_t seenColumnChanges_ = -1;
    std::int32_t seenNewTables_ = -1;
    QPointer<TForm_CapabilityPlot> analysis_;
};

} // namespace kivspc::gui
