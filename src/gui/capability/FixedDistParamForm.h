// SPDX-License-Identifier: GPL-3.0-or-later
// "Fixed Distribution Parameters": the user types the parameters of a model instead of having
// them fitted; the analysis window then draws and judges the data against the typed model.
#pragma once

#include "stats/Fit.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kivspc::gui {

class TForm_FixedDistParam : public QDialog {
    Q_OBJECT
public:
    explicit TForm_FixedDistParam(QWidget* parent = nullptr);

    // Called with the analysis list entry to show once the fixed parameters changed; the
    // analysis window selects it without switching the parameters off, then redraws (-1: the
    // entry stays, the analysis is only drawn again).
    void SetUseDistribution(std::function<void(int distKind)> use) { useDistribution_ = std::move(use); }

    // Remembers what the window shows (for Cancel), fills it with the fitted parameters of
    // `distKind` (the boxes keep their texts for "None" or a failed fit) and shows it.
    void LoadFittedParameters(int distKind);

    // "Set": the typed parameters, when valid, replace the fit and the analysis shows their model.
    void Button_ActionClick();
    // "&Reset": type "None" and every box "0"; nothing is recomputed.
    void Button_ResetClick();
    // "Cancel", Escape and closing by the frame: what the window showed when it was opened comes
    // back, and the analysis is drawn as it was then.
    void reject() override;

    int Type() const;
    void SetType(int type);
    std::array<std::string, 4> Boxes() const;
    QComboBox* TypeBox() const { return type_; }
    QLineEdit* Box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    QLabel* BoxLabel(int i) const { return labels_[static_cast<std::size_t>(i)]; }

private:
    // Shows the boxes of the chosen type with their labels.
    void ShowBoxes();
    void SetBoxes(const std::array<std::string, 4>& texts);

    std::function<void(int)> useDistribution_;
    QComboBox* type_ = nullptr;
    std::array<QLabel*, 4> labels_{};
    std::array<QLineEdit*, 4> boxes_{};

    // What the window and the analysis held when LoadFittedParameters ran.
    struct TOpening {
        int Type = 0;
        std::array<std::string, 4> Boxes{"0", "0", "0", "0"};
        int DistKind = 0;
        int FixedKind = 0;
        std::array<double, 5> FixedValues{};
    } opening_;
};

} // namespace kivspc::gui
