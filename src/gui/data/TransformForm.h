// SPDX-License-Identifier: GPL-3.0-or-later
// "Transform": chooses the program-wide transform, or writes transformed values into the table as
// new columns or in place.
#pragma once

#include "data/Transfrm.h"

#include <QDialog>

#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace kivspc::gui {

enum class TransformDialogResult {
    Cancelled,        // the transform is as it was before the dialog opened
    Accepted,         // "&OK": the transform as chosen is in force
    VariablesWritten, // "&Add"/"&Modify" changed the table (and maybe its columns)
};

class TTransformForm : public QDialog {
    Q_OBJECT
public:
    // Keeps a copy of the transform in force, to go back to on Cancel.
    explicit TTransformForm(QWidget* parent = nullptr);

    TransformDialogResult Outcome() const { return outcome_; }

    // "&OK": takes the constants as typed and closes; a constant that is no number is named and
    // the dialog stays open on its box.
    void accept() override;
    // Cancel on either page, Escape or the close box: the transform as it was, then close.
    void reject() override;
    // "&Add"/"&Modify": writes the transformed values of the checked variables, then closes.
    void Button_AddClick();

private:
    // Takes the constants the transform uses; false (with the message, on the first page at the
    // box) when one is no number.
    bool TakeConstants();
    QWidget* BuildTransformPage();
    QWidget* BuildAddPage();
    void ShowState();
    void ControlsChanged();
    void Refresh();
    // The checked variables' column numbers, in list order.
    std::vector<int> CheckedColumns() const;

    TTransformRec backup_;
    TransformDialogResult outcome_ = TransformDialogResult::Cancelled;
    bool showing_ = false; // the controls are being set from the state
    QTabWidget* pages_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    QGroupBox* constants_ = nullptr;
    std::array<QLineEdit*, 3> edits_{};
    QLabel* cLabel_ = nullptr;
    QCheckBox* normalFirst_ = nullptr;
    QLabel* description_ = nullptr;
    QPushButton* ok_ = nullptr;
    QListWidget* variables_ = nullptr;
    QButtonGroup* addModify_ = nullptr;
    QCheckBox* turnOff_ = nullptr;
    QPushButton* add_ = nullptr;
};

// Runs the dialog modally.
TransformDialogResult ShowTransformDialog(QWidget* parent);

} // namespace kivspc::gui
