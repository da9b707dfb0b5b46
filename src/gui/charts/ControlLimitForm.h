// SPDX-License-Identifier: GPL-3.0-or-later
// "Control Limit Calculations": ten pages, one per chart kind; a statistic, a subgroup size and
// a number of standard errors in, a short report of centerline, sigma and limits out.
#pragma once

#include "charts/contcalc.h"

#include <QLabel>
#include <QMainWindow>

#include <array>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace kivspc::gui {

class TOutputRichEdit;

// A label with a mark above its first letter: a bar (a mean), two bars (a grand mean) or a
// tilde (a median).
class TDecoratedLabel : public QLabel {
    Q_OBJECT
public:
    enum class Mark { None, Bar, DoubleBar, Tilde };
    TDecoratedLabel(const QString& text, Mark mark, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Mark mark_;
};

class TControl_Limit_Form : public QMainWindow {
    Q_OBJECT
public:
    explicit TControl_Limit_Form(QWidget* mainWindow);

    // The chart kind of the page shown.
    TChartKind CurrentPage() const;
    // The report pane of page 1-10, or of a chart kind's page.
    TOutputRichEdit* Pane(int page) const { return pages_[static_cast<std::size_t>(page - 1)].pane; }
    TOutputRichEdit* Pane(TChartKind page) const { return Pane(CalculatorPageOf(page)); }
    double TextScale() const { return scale_; }

    void Button_ActionClick();
    void FormResizeClick();

protected:
    bool event(QEvent* e) override;

private:
    struct Page {
        QLineEdit* centre = nullptr;
        QLineEdit* statistic = nullptr;
        QLineEdit* n = nullptr;
        QLineEdit* k = nullptr;
        QLabel* nLabel = nullptr;
        QGroupBox* group = nullptr;
        QButtonGroup* methods = nullptr;
        TOutputRichEdit* pane = nullptr;
        bool reported = false; // the pane holds the report of an action
    };

    Page& PageOf(TChartKind page) { return pages_[static_cast<std::size_t>(CalculatorPageOf(page) - 1)]; }
    const Page& PageOf(TChartKind page) const {
        return pages_[static_cast<std::size_t>(CalculatorPageOf(page) - 1)];
    }
    QWidget* BuildPage(TChartKind page);
    void BuildMenus();
    void BuildToolBar();
    void PageChanged();
    void RadioGroup3Click();
    void ReturnToMainForm();
    void SaveAs1Click();
    void Print1Click();
    TControlLimitInput ReadInput(TChartKind page) const;
    void WriteReport(TChartKind page, const TControlLimitInput& input);
    void RepeatActionFor(const QString& decimalsText);

    QWidget* mainWindow_;
    QTabWidget* pageControl_ = nullptr;
    QPushButton* action_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    QAction* resizeAction_ = nullptr;
    std::array<Page, 10> pages_;
    double scale_ = 1;
    QString decimalsRunFor_ = "4";
};

} // namespace kivspc::gui
