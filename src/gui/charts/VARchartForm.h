// SPDX-License-Identifier: GPL-3.0-or-later
// "Variables Chart": the list of charts the setup prepared and the chosen chart drawn from its
// scene, with the display options, point labels, zoom, the chart tools (titles, print, copy,
// save) and the chart information window.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QSlider;
class QSpinBox;

namespace kivspc::gui {

class TChartView;

class TVARchart_Form : public QMainWindow {
    Q_OBJECT
public:
    TVARchart_Form(QWidget* setupWindow, QWidget* mainWindow);

    // Lists the charts of the chart list and shows the first (a chart list without charts
    // shows no chart).
    void Reload();
    // Computes and shows chart `index` of the list.
    void ShowChart(int index);
    // Rebuilds the picture from the points and the display options.
    void RedrawChart();
    // Recomputes the current chart from the data and redraws it.
    void Recalculate();

    TChartView* Chart() const { return chart_; }
    QListWidget* ChartList() const { return charts_; }
    // The View menu's enabling and check marks, as they are set when it opens.
    void UpdateViewMenu();

    void ReturnToSetup();
    void PointClicked(bool dispersion, double position);
    void EditTitles();
    void ShowInformation();

protected:
    bool event(QEvent* e) override;

private:
    void BuildMenus();
    QAction* Option(QMenu* menu, const char* name, const QString& text, bool checked,
                    const std::function<void(bool)>& changed);
    void SizingMoved(int position);
    void FormActivate();
    void UpdateCaption();

    QWidget* setupWindow_;
    QWidget* mainWindow_;
    QListWidget* charts_ = nullptr;
    TChartView* chart_ = nullptr;
    QLabel* lineTitle_ = nullptr;
    QLabel* pointValue_ = nullptr;
    QLabel* notes_ = nullptr;
    QScrollBar* pointSize_ = nullptr;
    QSpinBox* lineThickness_ = nullptr;
    QSlider* sizing_ = nullptr;
    QWidget* sizingPanel_ = nullptr;
    QPushButton* infoButton_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* zoomOutTool_ = nullptr;
    QAction* blackWhite_ = nullptr;
    QAction* returnItem_ = nullptr;
    QMenu* decimalsMenu_ = nullptr;
    std::map<std::string, QAction*> options_;
    int builtColumns_ = -1;
    int lastSizing_ = 60;
};

} // namespace kivspc::gui
