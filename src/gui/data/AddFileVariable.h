// SPDX-License-Identifier: GPL-3.0-or-later
// "Generate Run Numbers" and "Auto Recode": one dialog choosing columns from the data columns;
// OK adds the run numbers of their combinations, or one recoded column per chosen column.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace kivspc::gui {

enum class AddVariableKind { RunNumbers = 1, AutoRecode = 2 };

class TAddFileVariable : public QDialog {
    Q_OBJECT
public:
    TAddFileVariable(AddVariableKind kind, QWidget* parent = nullptr);

    // Adds the columns for the chosen ones, then closes (also when nothing could be added).
    void accept() override;

private:
    void FormActivate();
    void UpdateButtons();

    AddVariableKind kind_;
    QListWidget* data_ = nullptr;
    QListWidget* chosen_ = nullptr;
    QPushButton* include_ = nullptr;
    QPushButton* includeAll_ = nullptr;
    QPushButton* exclude_ = nullptr;
    QPushButton* excludeAll_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the dialog modally; returns its result (QDialog::Accepted after OK).
int ShowAddFileVariableDialog(AddVariableKind kind, QWidget* parent);

} // namespace kivspc::gui
