// SPDX-License-Identifier: GPL-3.0-or-later
// "Find": looks through the data editor's grid for cells meeting one or two conditions joined by
// OR, and replaces what it finds one cell at a time or all at once. It stays on top of the
// other windows while the user goes on working in the editor.
#pragma once

#include "data/FindReplace.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kivspc::gui {

class TDataForm;

class TForm_Find : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Find(TDataForm* editor);

    // The settings as the controls show them.
    TFindSettings Settings() const;
    // The action button: find, replace or replace all.
    void OKBtnClick();

protected:
    void changeEvent(QEvent* e) override;

private:
    struct Condition {
        QButtonGroup* relations = nullptr;
        QLabel* symbol = nullptr;
        QLineEdit* value = nullptr;
    };
    QWidget* BuildCondition(int number, Condition& condition);
    void RelationClick(Condition& condition);
    void ReplaceClick();
    void FormActivate();

    TDataForm* editor_;
    std::array<Condition, 2> conditions_;
    QCheckBox* replace_ = nullptr;
    QCheckBox* replaceAll_ = nullptr;
    QCheckBox* selectionOnly_ = nullptr;
    QLineEdit* replaceText_ = nullptr;
    QPushButton* action_ = nullptr;
    // The cell this window last made current, and whether it replaced it.
    TFindCell lastHit_;
    bool lastHitReplaced_ = false;
};

// A new find window over the data editor (the one shown before closes), relation 1 "=" and
// relation 2 "none".
TForm_Find* ShowFindDialog(TDataForm* editor);

} // namespace kivspc::gui
