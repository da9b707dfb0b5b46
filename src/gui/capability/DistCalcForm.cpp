// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/DistCalcForm.h"

#include "app/CommandIcons.h"
#include "app/DialogParts.h"
#include "app/FormResize.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/QtPlatform.h"
#include "capability/DistCalc.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

namespace {

constexpr int kDefaultDecimals = 4;

// The number of decimals; left empty it goes back to the default.
class TDecimalSpinEdit : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty())
            input = QString::number(kDefaultDecimals);
        else
            QSpinBox::fixup(input);
    }
};

QLineEdit* MakeResult(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance("-0.000000000E+000 ppb") + 12);
    return edit;
}

} // namespace

TForm_DistCalc::TForm_DistCalc(QWidget* parent) : QDialog(parent) {
    setObjectName("Form_DistCalc");
    setWindowTitle("Distribution Calculations");

    distributionTitle_ = new QLabel("Distribution: ", this);
    distributionTitle_->setObjectName("Label_Distribution");
    analysisTitle_ = new QLabel("Analysis: ", this);
    analysisTitle_->setObjectName("Label_Analysis");
    for (QLabel* title : {distributionTitle_, analysisTitle_}) {
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    QStringList questions, scales;
    for (int q = 0; q < kDistCalcQuestions; ++q)
        questions << DistCalcQuestion(q).Caption;
    for (int s = 0; s < kDistCalcScales; ++s)
        scales << DistCalcScale(s).Caption;
    QGroupBox* wantBox = MakeRadioGroup(this, "WantRadioGroup", "Calculate", questions, 1, &want_);
    QGroupBox* displayBox = MakeRadioGroup(this, "RadioGroup_Display", "Display", scales, 1, &display_);
    SetRadioIndex(want_, 0);
    SetRadioIndex(display_, 0);

    decimals_ = new TDecimalSpinEdit(this);
    decimals_->setObjectName("DecimalSpinEdit1");
    decimals_->setAccessibleName("Decimals");
    decimals_->setRange(1, 9);
    decimals_->setValue(kDefaultDecimals);
    InstallKeyFilter(decimals_, KeyFilterKind::Integer);
    auto* decimalsLabel = new QLabel("&Decimals:", this);
    decimalsLabel->setBuddy(decimals_);

    valueLabel_ = new QLabel(this);
    valueLabel_->setObjectName("Label_Value");
    value_ = new QLineEdit(this);
    value_->setObjectName("Edit_Value");
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance("-0000000.000000") + 12);
    valueLabel_->setBuddy(value_);
    unit_ = new QLabel(this);
    unit_->setObjectName("Label_Unit");
    unit_->setMinimumWidth(unit_->fontMetrics().horizontalAdvance("ppm") + 4);

    estimatedLabel_ = new QLabel(this);
    estimatedLabel_->setObjectName("Label_Estimated");
    estimated_ = MakeResult(this, "Edit_Estimated", "Estimated result");
    observedLabel_ = new QLabel(this);
    observedLabel_->setObjectName("Label_Observed");
    observed_ = MakeResult(this, "Edit_Observed", "Observed result");

    auto* action = new QPushButton("&Action", this);
    action->setObjectName("Button_Action");
    action->setDefault(true);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("Button_Close");
    close->setAutoDefault(false);
    auto* resize = new QToolButton(this);
    resize->setObjectName("ToolButton_Resize");
    resizeAction_ = new QAction(CommandIcon(Command::Enlarge), "Maximize Form Size", this);
    resizeAction_->setToolTip("Maximize Form Size");
    resize->setDefaultAction(resizeAction_);
    QPushButton* help = MakeHelpButton(this, kHelpDistCalc);
    help->setAutoDefault(false);
    AddHelpShortcut(this, kHelpDistCalc);

    auto* entry = new QGridLayout;
    entry->addWidget(valueLabel_, 0, 0);
    entry->addWidget(value_, 0, 1);
    entry->addWidget(unit_, 0, 2);
    entry->addWidget(estimatedLabel_, 1, 0);
    entry->addWidget(estimated_, 1, 1);
    entry->addWidget(observedLabel_, 2, 0);
    entry->addWidget(observed_, 2, 1);
    entry->setColumnStretch(1, 1);
    // The labels change with the question: room for the longest from the start.
    int labelWidth = 0;
    for (int q = 0; q < kDistCalcQuestions; ++q)
        for (const char* text : {DistCalcQuestion(q).InputLabel, DistCalcQuestion(q).ResultLabel,
                                 DistCalcQuestion(q).ObservedLabel})
            labelWidth = std::max(labelWidth, valueLabel_->fontMetrics().horizontalAdvance(text));
    entry->setColumnMinimumWidth(0, labelWidth + 6);
    for (QLabel* label : {valueLabel_, estimatedLabel_, observedLabel_})
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* decimalsRow = new QHBoxLayout;
    decimalsRow->addWidget(decimalsLabel);
    decimalsRow->addWidget(decimals_);
    decimalsRow->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(displayBox);
    right->addLayout(decimalsRow);
    right->addStretch();
    auto* choices = new QHBoxLayout;
    choices->addWidget(wantBox, 1);
    choices->addLayout(right);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resize);
    buttons->addStretch();
    buttons->addWidget(action);
    buttons->addWidget(close);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(distributionTitle_);
    layout->addWidget(analysisTitle_);
    layout->addLayout(choices);
    layout->addLayout(entry);
    layout->addLayout(buttons);

    connect(want_, &QButtonGroup::idClicked, this, [this] {
        UpdateLabels();
        Button_ActionClick();
    });
    connect(display_, &QButtonGroup::idClicked, this, [this] {
        UpdateLabels();
        Button_ActionClick();
    });
    connect(decimals_, &QSpinBox::valueChanged, this, [this] { Button_ActionClick(); });
    connect(action, &QPushButton::clicked, this, &TForm_DistCalc::Button_ActionClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(resizeAction_, &QAction::triggered, this,
            [this] { ToggleFormSize(this, resizeAction_, scale_); });

    UpdateLabels();
}

void TForm_DistCalc::SetDistributionTitle(const QString& name) {
    distributionTitle_->setText("Distribution: " + name);
}

void TForm_DistCalc::SetAnalysisTitle(const QString& label) { analysisTitle_->setText("Analysis: " + label); }

int TForm_DistCalc::Question() const { return std::max(want_->checkedId(), 0); }

int TForm_DistCalc::Display() const { return std::max(display_->checkedId(), 0); }

void TForm_DistCalc::UpdateLabels() {
    const TDistCalcQuestion& q = DistCalcQuestion(Question());
    const TDistCalcScale& s = DistCalcScale(Display());
    const bool valueQuestion = Question() >= 2;
    valueLabel_->setText(q.InputLabel);
    value_->setAccessibleName(QString(q.InputLabel).remove(':'));
    estimatedLabel_->setText(q.ResultLabel);
    observedLabel_->setText(q.ObservedLabel);
    unit_->setText(valueQuestion ? s.UnitText : "");
    // A proportion typed as a plain proportion lies between 0 and 1; every other entry is a
    // signed number.
    const KeyFilterKind kind =
        valueQuestion && Display() == 1 ? KeyFilterKind::Proportion : KeyFilterKind::SignedReal;
    delete keys_;
    keys_ = new KeyFilterInstaller(value_, value_, kind, this);
}

void TForm_DistCalc::Button_ActionClick() {
    // Nothing typed yet: nothing to answer.
    if (value_->text().trimmed().isEmpty()) {
        estimated_->clear();
        observed_->clear();
        return;
    }
    TDistCalcResult result{"Error", "Error"};
    if (!prepare_ || prepare_())
        result = DistCalcCompute(Question(), Display(), decimals_->value(), FromQt(value_->text()));
    estimated_->setText(ToQt(result.Estimated));
    observed_->setText(ToQt(result.Observed));
}

} // namespace kivspc::gui
