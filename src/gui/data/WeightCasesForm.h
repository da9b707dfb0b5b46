// SPDX-License-Identifier: GPL-3.0-or-later
// "Weight Cases": repeats every row of the table as many times as a chosen weight column says.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QToolButton;

namespace kivspc::gui {

class TForm_WeightCases : public QDialog {
    Q_OBJECT
public:
    explicit TForm_WeightCases(QWidget* parent = nullptr);

    // The chosen weight column (0 for none).
    int WeightColumn() const { return weightColumn_; }

    // Repeats the rows when a weight column is chosen and the new row count is confirmed, then
    // closes; otherwise the dialog stays open.
    void accept() override;

private:
    void FormActivate();
    void ArrowClick();

    QListWidget* data_ = nullptr;
    QToolButton* arrow_ = nullptr;
    QLineEdit* weight_ = nullptr;
    int weightColumn_ = 0;
};

// Runs the dialog modally; true when the rows were weighted.
bool ShowWeightCasesDialog(QWidget* parent);

} // namespace kivspc::gui
