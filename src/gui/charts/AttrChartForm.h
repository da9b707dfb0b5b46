// SPDX-License-Identifier: GPL-3.0-or-later
// "Attributes Chart": the analyses the setup prepared, one drawn at a time as a p, np, c or u
// chart from its scene, with the limit summary under it, the display options, point texts, zoom
// and the chart tools (titles, print, copy, save).
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QSpinBox;

namespace kivspc::gui {

class TChartView;

class TAttrChart_Form : public QMainWindow {
    Q_OBJECT
public:
    TAttrChart_Form(QWidget* setupWindow, QWidget* mainWindow);

    // After Action: lists the analyses that have points and draws the first (an empty list
    // draws nothing).
    void Reload();
    // Shows the window with `caller` as the window to return to, named `name` in the return
    // tool button's hint and menu item.
    void ShowFrom(QWidget* caller, const QString& name);
    // Loads analysis `row` of the list and draws it.
    void ShowAnalysis(int row);
    // Loads the current analysis again (Enter in the list, "Show Breaks").
    void ReloadCurrent();
    // Rebuilds the picture and the limit summary from the points and the display options.
    void RedrawChart();
    // Forgets every point text (the setup's lists were reset).
    void ClearPointTexts();

    TChartView* Chart() const { return chart_; }
    QListWidget* AnalysisList() const { return analyses_; }
    QPlainTextEdit* LimitText() const { return limits_; }
    // The View menu's enabling and check marks, as they are set when it opens.
    void UpdateViewMenu();

    void ReturnToCaller();
    void PointClicked(bool dispersion, double position);
    void EditTitles();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildMenus();
    QAction* Option(QMenu* menu, const char* name, const QString& text, bool checked,
                    const std::function<void(bool)>& changed);
    void FormActivate();
    void UpdateCaption();
    void CopyText();

    QPointer<QWidget> caller_;
    QWidget* mainWindow_;
    QListWidget* analyses_ = nullptr;
    TChartView* chart_ = nullptr;
    QPlainTextEdit* limits_ = nullptr;
    QLabel* lineTitle_ = nullptr;
    QLabel* pointValue_ = nullptr;
    QScrollBar* pointSize_ = nullptr;
    QSpinBox* lineThickness_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* zoomOutTool_ = nullptr;
    QAction* blackWhite_ = nullptr;
    QAction* returnItem_ = nullptr;
    QAction* returnTool_ = nullptr;
    QAction* copyText_ = nullptr;
    QMenu* decimalsMenu_ = nullptr;
    std::map<std::string, QAction*> options_;
    // The table's column changes when the chart was computed; -1: no chart.
    std::int32_t builtChanges_ = -1;
};

} // namespace kivspc::gui
