// SPDX-License-Identifier: GPL-3.0-or-later
// "Process If...": up to two conditions on data columns that decide which rows take part.
#pragma once

#include <QDialog>

#include <array>
#include <string>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kivspc::gui {

class TProcessIFForm : public QDialog {
    Q_OBJECT
public:
    // Shows the conditions in force and the column names of the table; nothing changes before OK.
    explicit TProcessIFForm(QWidget* parent = nullptr);

    // What OK left for the status bar ("Process If: ..." or "Process If Off"); empty before OK.
    const std::string& StatusText() const { return status_; }

    // Clears both conditions: no columns, relations "All", "And", empty texts.
    void Button_ResetClick();
    // Stores the conditions as shown and counts a change of the data, then closes.
    void accept() override;

private:
    struct Condition {
        QPushButton* button = nullptr;
        QLineEdit* name = nullptr;
        QComboBox* relation = nullptr;
        QLineEdit* value = nullptr;
        int column = 0; // 0: no column chosen
    };
    void BuildCondition(int number, Condition& condition);
    void ButtonClick(Condition& condition);
    void SetColumn(Condition& condition, int column, const QString& name);
    void RelationChanged(Condition& condition);

    QListWidget* variables_ = nullptr;
    QButtonGroup* andOr_ = nullptr;
    std::array<Condition, 2> conditions_;
    std::string status_;
};

// Runs the dialog modally; true when OK stored the conditions. `status` gets the status text then.
bool ShowProcessIfDialog(QWidget* parent, std::string* status = nullptr);

} // namespace kivspc::gui
