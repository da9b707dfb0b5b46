// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/MissingForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "data/Missu.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

// The radio items in relation order: none, =, >, >=, <, <=.
const QStringList kRelationItems = {"None", "=", ">", ">=", "<", "<="};

} // namespace

TMissingForm::TMissingForm(QWidget* parent) : QDialog(parent) {
    setObjectName("MissingForm");
    setWindowTitle("Missing Values");

    auto* box = new QGroupBox("Set Missing When:", this);
    auto* orLabel = new QLabel("OR", box);
    orLabel->setObjectName("Label_Or");
    orLabel->setAlignment(Qt::AlignCenter);
    QFont bold = orLabel->font();
    bold.setBold(true);
    orLabel->setFont(bold);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(BuildRule(1, rules_[0]));
    boxLayout->addWidget(orLabel);
    boxLayout->addWidget(BuildRule(2, rules_[1]));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(MakeOkCancelHelp(this, kHelpMissingValues));
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The dialog's copy of the rules in force.
    const TMissingRec& live = MissingRec;
    const std::uint8_t relations[] = {live.MissingOn ? live.Relation1 : std::uint8_t{kMissNone},
                                      live.MissingOn ? live.Relation2 : std::uint8_t{kMissNone}};
    const std::string* texts[] = {&live.ValueText1, &live.ValueText2};
    for (std::size_t i = 0; i < rules_.size(); ++i) {
        rules_[i].value->setText(ToQt(*texts[i]));
        SetRadioIndex(rules_[i].relations, relations[i] <= kMissLessEqual ? relations[i] : int{kMissNone});
        RelationChanged(rules_[i]);
    }
}

QWidget* TMissingForm::BuildRule(int number, Rule& rule) {
    const QString n = QString::number(number);
    auto* row = new QWidget(this);
    auto* radios = MakeRadioGroup(row, "RadioGroup_Relation" + n, QString(), kRelationItems,
                                  static_cast<int>(kRelationItems.size()), &rule.relations);
    radios->setAccessibleName("Relation " + n);
    auto* x = new QLabel("X", row);
    rule.relationLabel = new QLabel(row);
    rule.relationLabel->setObjectName("Label_Relation" + n);
    rule.relationLabel->setMinimumWidth(rule.relationLabel->fontMetrics().horizontalAdvance(">=") + 4);
    rule.value = new QLineEdit(row);
    rule.value->setObjectName("Edit_Missing" + n);
    rule.value->setAccessibleName("Missing When value " + n);
    rule.value->setMaxLength(30);
    rule.value->setMinimumWidth(120);
    InstallKeyFilter(rule.value, KeyFilterKind::SignedReal);
    // Hidden edits keep their place, so the rows do not jump.
    QSizePolicy keep = rule.value->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    rule.value->setSizePolicy(keep);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(radios);
    layout->addSpacing(12);
    layout->addWidget(x);
    layout->addWidget(rule.relationLabel);
    layout->addWidget(rule.value);
    connect(rule.relations, &QButtonGroup::idToggled, this, [this, &rule](int, bool on) {
        if (on) RelationChanged(rule);
    });
    return row;
}

void TMissingForm::RelationChanged(Rule& rule) {
    const int relation = std::max(rule.relations->checkedId(), 0);
    rule.relationLabel->setText(ToQt(MissingRelationText(static_cast<std::uint8_t>(relation))));
    rule.value->setVisible(relation != kMissNone);
}

void TMissingForm::accept() {
    const auto relation = [](const Rule& rule) {
        return static_cast<std::uint8_t>(std::max(rule.relations->checkedId(), 0));
    };
    std::string refused;
    status_ = ApplyMissingRules(relation(rules_[0]), FromQt(rules_[0].value->text()), relation(rules_[1]),
                                FromQt(rules_[1].value->text()), &refused);
    // The rule of a value that is no number is dropped; the user learns which, and what holds now.
    if (!refused.empty()) ShowError(refused);
    QDialog::accept();
}

bool ShowMissingDialog(QWidget* parent, std::string* status) {
    TMissingForm form(parent);
    if (form.exec() != QDialog::Accepted) return false;
    if (status) *status = form.StatusText();
    return true;
}

} // namespace kivspc::gui
