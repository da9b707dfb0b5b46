// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/FixedDistParamForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "capability/DistCalc.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivspc::gui {

TForm_FixedDistParam::TForm_FixedDistParam(QWidget* parent) : QDialog(parent) {
    setObjectName("Form_FixedDistParam");
    setWindowTitle("Fixed Distribution Parameters");

    type_ = new QComboBox(this);
    type_->setObjectName("ComboBox1");
    type_->setAccessibleName("Distribution Type");
    for (int t = 0; t < kFixedTypes; ++t)
        type_->addItem(FixedTypeName(t));
    auto* typeLabel = new QLabel("Distribution &Type:", this);
    typeLabel->setBuddy(type_);

    auto* grid = new QGridLayout;
    grid->addWidget(typeLabel, 0, 0, Qt::AlignRight);
    grid->addWidget(type_, 0, 1);
    for (std::size_t i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName("Label" + n);
        boxes_[i] = new QLineEdit("0", this);
        boxes_[i]->setObjectName("Edit" + n);
        boxes_[i]->setMinimumWidth(boxes_[i]->fontMetrics().horizontalAdvance("-0000.0000000000") + 12);
        labels_[i]->setBuddy(boxes_[i]);
        InstallKeyFilter(boxes_[i], KeyFilterKind::SignedReal);
        grid->addWidget(labels_[i], static_cast<int>(i) + 1, 0, Qt::AlignRight);
        grid->addWidget(boxes_[i], static_cast<int>(i) + 1, 1);
    }
    grid->setColumnStretch(1, 1);

    auto* set = new QPushButton("Set", this);
    set->setObjectName("Button_Action");
    set->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Button_Cancel");
    cancel->setAutoDefault(false);
    auto* reset = new QPushButton("&Reset", this);
    reset->setObjectName("Button_Reset");
    reset->setAutoDefault(false);
    QPushButton* help = MakeHelpButton(this, kHelpFixedDistParam);
    help->setAutoDefault(false);
    AddHelpShortcut(this, kHelpFixedDistParam);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(set);
    buttons->addWidget(cancel);
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(type_, &QComboBox::currentIndexChanged, this, [this] { ShowBoxes(); });
    connect(set, &QPushButton::clicked, this, &TForm_FixedDistParam::Button_ActionClick);
    connect(cancel, &QPushButton::clicked, this, &TForm_FixedDistParam::reject);
    connect(reset, &QPushButton::clicked, this, &TForm_FixedDistParam::Button_ResetClick);
    ShowBoxes();
}

int TForm_FixedDistParam::Type() const { return std::max(type_->currentIndex(), 0); }

void TForm_FixedDistParam::SetType(int type) { type_->setCurrentIndex(type); }

std::array<std::string, 4> TForm_FixedDistParam::Boxes() const {
    std::array<std::string, 4> texts;
    for (std::size_t i = 0; i < 4; ++i)
        texts[i] = FromQt(boxes_[i]->text());
    return texts;
}

void TForm_FixedDistParam::SetBoxes(const std::array<std::string, 4>& texts) {
    for (std::size_t i = 0; i < 4; ++i)
        boxes_[i]->setText(ToQt(texts[i]));
}

void TForm_FixedDistParam::ShowBoxes() {
    const std::array<std::string, 4> labels = FixedTypeLabels(Type());
    for (std::size_t i = 0; i < 4; ++i) {
        const bool shown = !labels[i].empty();
        labels_[i]->setText(ToQt(labels[i]));
        labels_[i]->setVisible(shown);
        boxes_[i]->setVisible(shown);
        boxes_[i]->setAccessibleName(shown ? ToQt(labels[i]).remove(':')
                                           : "Parameter " + QString::number(i + 1));
    }
}

void TForm_FixedDistParam::LoadFittedParameters(int distKind) {
    // Entries that break their type's rules are not worth coming back to (Cancel could never
    // close on them): the window's starting state is remembered instead.
    const std::array<std::string, 4> shown = Boxes();
    if (FixedParametersProblem(Type(), shown).empty()) {
        opening_.Type = Type();
        opening_.Boxes = shown;
    } else {
        opening_.Type = 0;
        opening_.Boxes = {"0", "0", "0", "0"};
    }
    opening_.DistKind = distKind;
    opening_.FixedKind = FitState.FixedKind;
    opening_.FixedValues = FitState.FixedValues;

    const TFixedEntries fitted = FittedParameterEntries(distKind);
    if (fitted.Type > 0) {
        SetType(fitted.Type);
        SetBoxes(fitted.Boxes);
    }
    ShowBoxes();
    show();
    raise();
    activateWindow();
}

void TForm_FixedDistParam::Button_ActionClick() {
    const int type = Type();
    const std::array<std::string, 4> texts = Boxes();
    if (const std::string problem = FixedParametersProblem(type, texts); !problem.empty()) {
        const bool wasFixed = FitState.FixedKind > 0;
        FitState.FixedKind = 0;
        ShowError(problem);
        // The analysis no longer uses parameters it showed as set.
        if (wasFixed && useDistribution_) useDistribution_(-1);
        return;
    }
    SetFixedParameters(type, texts);
    if (useDistribution_) useDistribution_(FixedTypeDistKind(type));
}

void TForm_FixedDistParam::Button_ResetClick() {
    SetType(0);
    SetBoxes({"0", "0", "0", "0"});
}

void TForm_FixedDistParam::reject() {
    SetType(opening_.Type);
    SetBoxes(opening_.Boxes);
    if (const std::string problem = FixedParametersProblem(opening_.Type, opening_.Boxes); !problem.empty()) {
        FitState.FixedKind = 0;
        ShowError(problem);
        return;
    }
    FitState.FixedKind = opening_.FixedKind;
    FitState.FixedValues = opening_.FixedValues;
    QDialog::reject();
    if (useDistribution_) useDistribution_(opening_.DistKind);
}

} // namespace kivspc::gui
