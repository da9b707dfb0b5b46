// SPDX-License-Identifier: GPL-3.0-or-later
// "Missing Values": up to two Missing When rules, X relation value, joined by OR.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace kivspc::gui {

class TMissingForm : public QDialog {
    Q_OBJECT
public:
    // Shows the rules in force; nothing changes before OK.
    explicit TMissingForm(QWidget* parent = nullptr);

    // What OK left for the status bar ("Missing: X ..." or "Missing Off"); empty before OK.
    const std::string& StatusText() const { return status_; }

    // Stores the rules as shown, then closes.
    void accept() override;

private:
    struct Rule {
        QButtonGroup* relations = nullptr;
        QLabel* relationLabel = nullptr;
        QLineEdit* value = nullptr;
    };
    QWidget* BuildRule(int number, Rule& rule);
    void RelationChanged(Rule& rule);

    std::array<Rule, 2> rules_;
    std::string status_;
};

// Runs the dialog modally; true when OK stored the rules. `status` gets the status text then.
bool ShowMissingDialog(QWidget* parent, std::string* status = nullptr);

} // namespace kivspc::gui
