// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/AddFileVariable.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "charts/ChartWindowParts.h"
#include "data/DataTable.h"
#include "data/DataTools.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace kivspc::gui {

TAddFileVariable::TAddFileVariable(AddVariableKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    const bool runs = kind == AddVariableKind::RunNumbers;
    setObjectName("AddFileVariable");
    setWindowTitle(runs ? "Generate Run Numbers" : "Auto Recode");
    const int topic = runs ? kHelpRunNumbers : kHelpAutoRecode;

    auto* title = new QLabel(runs ? "Select Independent Variables to Compute Run Numbers"
                                  : "Select Variables to Recode\n(lowest =1 to highest, increment by 1)",
                             this);
    title->setObjectName("Label_Title");
    data_ = MakeColumnList(this, "ListBox_Data", "Data Variables");
    const QString chosenCaption = runs ? "Selected Variables" : "Recoded Variables";
    chosen_ = MakeColumnList(this, "ListBox_Selected", chosenCaption);
    auto* dataLabel = new QLabel("Data Variables", this);
    dataLabel->setBuddy(data_);
    auto* chosenLabel = new QLabel(chosenCaption, this);
    chosenLabel->setObjectName("Label_Selected");
    chosenLabel->setBuddy(chosen_);

    include_ = MakeMoveButton(this, "IncludeBtn", ">", "Add to " + chosenCaption.toLower());
    includeAll_ = MakeMoveButton(this, "IncAllBtn", ">>", "Add all to " + chosenCaption.toLower());
    exclude_ = MakeMoveButton(this, "ExcludeBtn", "<", "Remove from " + chosenCaption.toLower());
    excludeAll_ = MakeMoveButton(this, "ExAllBtn", "<<", "Remove all " + chosenCaption.toLower());
    const auto move = [this](QListWidget* from, QListWidget* to, bool all) {
        MoveColumnEntries(from, to, all);
        UpdateButtons();
    };
    connect(include_, &QPushButton::clicked, this, [=, this] { move(data_, chosen_, false); });
    connect(includeAll_, &QPushButton::clicked, this, [=, this] { move(data_, chosen_, true); });
    connect(exclude_, &QPushButton::clicked, this, [=, this] { move(chosen_, data_, false); });
    connect(excludeAll_, &QPushButton::clicked, this, [=, this] { move(chosen_, data_, true); });
    connect(data_, &QListWidget::itemDoubleClicked, this, [=, this] { move(data_, chosen_, false); });
    connect(chosen_, &QListWidget::itemDoubleClicked, this, [=, this] { move(chosen_, data_, false); });

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {include_, includeAll_, exclude_, excludeAll_})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(dataLabel, 0, 0);
    lists->addWidget(chosenLabel, 0, 2);
    lists->addWidget(data_, 1, 0);
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(chosen_, 1, 2);
    for (QListWidget* list : {data_, chosen_})
        list->setMinimumSize(180, 240);

    QHBoxLayout* okRow = MakeOkCancelHelp(this, topic);
    ok_ = findChild<QPushButton*>("Button_OK");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(lists, 1);
    layout->addLayout(okRow);
    FormActivate();
}

void TAddFileVariable::FormActivate() {
    data_->clear();
    chosen_->clear();
    for (int c = 1; c <= DataTable().ColumnCount(); ++c)
        data_->addItem(ColumnEntry(c));
    if (data_->count() > 0) data_->setCurrentRow(0);
    UpdateButtons();
}

void TAddFileVariable::UpdateButtons() {
    const bool fromData = data_->count() > 0, fromChosen = chosen_->count() > 0;
    include_->setEnabled(fromData);
    includeAll_->setEnabled(fromData);
    exclude_->setEnabled(fromChosen);
    excludeAll_->setEnabled(fromChosen);
    if (ok_) ok_->setEnabled(fromChosen);
}

void TAddFileVariable::accept() {
    std::vector<int> columns;
    for (int i = 0; i < chosen_->count(); ++i)
        columns.push_back(EntryColumn(chosen_->item(i)));
    if (columns.empty()) return;
    if (kind_ == AddVariableKind::RunNumbers)
        GenerateRunNumbers(columns);
    else
        AutoRecode(columns);
    QDialog::accept();
}

int ShowAddFileVariableDialog(AddVariableKind kind, QWidget* parent) {
    TAddFileVariable dialog(kind, parent);
    return dialog.exec();
}

} // namespace kivspc::gui
