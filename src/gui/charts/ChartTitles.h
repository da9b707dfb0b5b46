// SPDX-License-Identifier: GPL-3.0-or-later
// "Titles": the chart title, the axis titles and five font sizes of one chart, applied as they
// are typed (kept by the chart as its overrides record); Cancel puts the record back as it was.
#pragma once

#include "charts/ChartView.h"

#include <QDialog>
#include <QFont>
#include <QString>

class QComboBox;
class QCustomPlot;
class QCPAxis;
class QCPTextElement;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace kivspc::gui {

// The parts of a chart the titles dialog edits (see the chart view for how charts are built).
struct TChartTitleParts {
    QCPTextElement* title = nullptr;
    QCPAxis* left = nullptr;   // "Y"
    QCPAxis* bottom = nullptr; // "X": the bottom axis of the lowest axis rect
    QCPAxis* extra = nullptr;  // "Y2": the left axis of the second axis rect, when titled
};
TChartTitleParts ChartTitlePartsOf(QCustomPlot* chart);

class TForm_ChartTitles : public QDialog {
    Q_OBJECT
public:
    TForm_ChartTitles(TChartView* chart, QWidget* parent = nullptr);

    void accept() override;
    void reject() override;

private:
    struct Saved {
        QString title, y, x, y2;
        QFont titleFont, yFont, xFont, y2Font, yLabels, xLabels, y2Labels;
    };
    QComboBox* SizeBox(const char* name, double size);
    void ApplySize(QComboBox* box);
    void Apply();

    TChartView* chart_;
    TChartTitleParts parts_;
    Saved saved_;
    TChartOverrides savedOverrides_, overrides_;
    QPlainTextEdit* title_ = nullptr;
    QLineEdit* y_ = nullptr;
    QLineEdit* x_ = nullptr;
    QLineEdit* y2_ = nullptr;
    QComboBox* titleSize_ = nullptr;
    QComboBox* yTitleSize_ = nullptr;
    QComboBox* xTitleSize_ = nullptr;
    QComboBox* yLabelSize_ = nullptr;
    QComboBox* xLabelSize_ = nullptr;
};

// Opens the titles dialog for the chart (modal).
void EditChartTitles(TChartView* chart, QWidget* parent = nullptr);

} // namespace kivspc::gui
