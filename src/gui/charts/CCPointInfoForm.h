// SPDX-License-Identifier: GPL-3.0-or-later
// "Variables Control Chart Analysis": the analysis report of the current chart and its point
// grid, with printing, copying, decimals and font sizes.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <cstdint>

class QAction;
class QLabel;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace kivspc::gui {

class TOutputRichEdit;
class TVarPointModel;

class TForm_CChart_Info : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_CChart_Info(QWidget* parent = nullptr);
    ~TForm_CChart_Info() override;

    // Rebuilds report and grid when the chart changed since the last time.
    void Refresh(bool force = false);
    void SetReturn(QWidget* chartWindow, const QString& caption);

    TOutputRichEdit* Report() const { return report_; }
    QTableView* Grid() const { return grid_; }
    TVarPointModel* Model() const { return model_; }
    QTabWidget* Pages() const { return pages_; }

    void CopyClick();
    void SelectAllClick();
    void PrintGridClick();
    // The grid as Print Grid prints it, written to a PDF file.
    bool PrintGridToFile(const QString& path);
    void PrintTextClick();
    // +1 or -1 point for the three report sizes.
    void ChangeFontSize(int step);
    void DecimalsChanged(int decimals);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildReport(bool keepView);
    void FitColumns();
    void UpdateCommands();
    void ReturnToChart();

    QTabWidget* pages_ = nullptr;
    TOutputRichEdit* report_ = nullptr;
    QTableView* grid_ = nullptr;
    TVarPointModel* model_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    QLabel* pointCount_ = nullptr;
    QAction* returnItem_ = nullptr;
    QAction* returnTool_ = nullptr;
    QList<QAction*> reportOnly_;
    QPointer<QWidget> chartWindow_;
    std::uint64_t reported_ = 0;
};

// Opens (creating when needed) the information window for the current chart, returning to the
// chart window; `caption` names it ("Variables Chart").
TForm_CChart_Info* ShowChartInfo(QWidget* chartWindow, const QString& caption);
// The window, when it exists.
TForm_CChart_Info* ChartInfoWindow();

} // namespace kivspc::gui
