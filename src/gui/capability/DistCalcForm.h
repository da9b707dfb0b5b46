// SPDX-License-Identifier: GPL-3.0-or-later
// "Distribution Calculations": the proportion below or above a typed value, or the value below or
// above a typed proportion, by the fitted model and by the data of the analysis window, shown as
// a percent, a proportion, ppm or ppb.
#pragma once

#include <QDialog>

#include <functional>

class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kivspc::gui {

class KeyFilterInstaller;

class TForm_DistCalc : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DistCalc(QWidget* parent = nullptr);

    // The title lines: "Distribution: " + the chosen model, "Analysis: " + the analysis label.
    void SetDistributionTitle(const QString& name);
    void SetAnalysisTitle(const QString& label);
    // Run before every answer: puts the analysis' current sample and fit in place; false when
    // there is no sample to answer from.
    void SetPrepare(std::function<bool()> prepare) { prepare_ = std::move(prepare); }

    // "&Action": both answers for the question, scale and decimals the controls show.
    void Button_ActionClick();

    int Question() const;
    int Display() const;
    QLineEdit* ValueEdit() const { return value_; }
    QLineEdit* EstimatedEdit() const { return estimated_; }
    QLineEdit* ObservedEdit() const { return observed_; }

private:
    // Labels, unit and keystroke filter of the chosen question and scale.
    void UpdateLabels();

    std::function<bool()> prepare_;
    QLabel* distributionTitle_ = nullptr;
    QLabel* analysisTitle_ = nullptr;
    QButtonGroup* want_ = nullptr;
    QButtonGroup* display_ = nullptr;
    QSpinBox* decimals_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QLineEdit* value_ = nullptr;
    QLabel* unit_ = nullptr;
    QLabel* estimatedLabel_ = nullptr;
    QLineEdit* estimated_ = nullptr;
    QLabel* observedLabel_ = nullptr;
    QLineEdit* observed_ = nullptr;
    KeyFilterInstaller* keys_ = nullptr;
    QAction* resizeAction_ = nullptr;
    double scale_ = 1;
};

} // namespace kivspc::gui
