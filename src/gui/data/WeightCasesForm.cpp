// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/WeightCasesForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "charts/ChartWindowParts.h"
#include "data/DataTable.h"
#include "data/DataTools.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivspc::gui {

TForm_WeightCases::TForm_WeightCases(QWidget* parent) : QDialog(parent) {
    setObjectName("Form_WeightCases");
    setWindowTitle("Weight Cases");

    data_ = MakeColumnList(this, "ListBox_Data", "Data Variables");
    data_->setSelectionMode(QAbstractItemView::SingleSelection);
    data_->setMinimumSize(180, 240);
    auto* dataLabel = new QLabel("Data Variables", this);
    dataLabel->setBuddy(data_);

    arrow_ = new QToolButton(this);
    arrow_->setObjectName("SpeedButton_Weight");
    arrow_->setAccessibleName("Choose or return the weight variable");
    arrow_->setFixedWidth(36);
    connect(arrow_, &QToolButton::clicked, this, &TForm_WeightCases::ArrowClick);
    connect(data_, &QListWidget::itemDoubleClicked, this, [this] {
        if (weightColumn_ == 0) ArrowClick();
    });

    weight_ = new QLineEdit(this);
    weight_->setObjectName("Edit_Weight");
    weight_->setReadOnly(true);
    weight_->setAccessibleName("Weight Cases By");
    auto* weightLabel = new QLabel("Weight Cases By:", this);
    weightLabel->setBuddy(weight_);
    auto* duplicates = new QLabel("Duplicates Rows", this);
    duplicates->setObjectName("Label_Duplicates");
    auto* byWeight = new QLabel("by Weighted Variable", this);
    byWeight->setObjectName("Label_ByWeight");

    auto* right = new QVBoxLayout;
    right->addStretch();
    right->addWidget(duplicates);
    right->addWidget(byWeight);
    right->addSpacing(12);
    right->addWidget(weightLabel);
    auto* weightRow = new QHBoxLayout;
    weightRow->addWidget(arrow_);
    weightRow->addWidget(weight_, 1);
    right->addLayout(weightRow);
    right->addStretch();
    auto* top = new QGridLayout;
    top->addWidget(dataLabel, 0, 0);
    top->addWidget(data_, 1, 0);
    top->addLayout(right, 1, 1);
    top->setColumnMinimumWidth(1, 220);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(MakeOkCancelHelp(this, kHelpWeightCases));
    FormActivate();
}

void TForm_WeightCases::FormActivate() {
    data_->clear();
    for (int c = 1; c <= DataTable().ColumnCount(); ++c)
        data_->addItem(ColumnEntry(c));
    if (data_->count() > 0) data_->setCurrentRow(0);
    weight_->clear();
    arrow_->setText(">");
    weightColumn_ = 0;
}

void TForm_WeightCases::ArrowClick() {
    if (weightColumn_ == 0) {
        data_->setFocus();
        QString name;
        const int column = TakeFirstSelectedColumn(data_, name);
        if (column == 0) return;
        weightColumn_ = column;
        weight_->setText(name);
        arrow_->setText("<");
    } else {
        data_->addItem(ColumnEntry(weightColumn_));
        weightColumn_ = 0;
        weight_->clear();
        arrow_->setText(">");
    }
}

void TForm_WeightCases::accept() {
    if (weightColumn_ == 0) return;
    if (WeightCases(weightColumn_).Result != TWeightResult::Done) return;
    QDialog::accept();
}

bool ShowWeightCasesDialog(QWidget* parent) {
    TForm_WeightCases dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kivspc::gui
