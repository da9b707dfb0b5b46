// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ConfigSaveForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace kivspc::gui {

TConfigSave_Form::TConfigSave_Form(QWidget* parent) : QDialog(parent) {
    setObjectName("ConfigSave_Form");
    setWindowTitle("Configure Save");

    auto* box = new QGroupBox(this);
    selection_ = new QCheckBox("Save Selection Only", box);
    selection_->setObjectName("CheckBox_Selection");
    names_ = new QCheckBox("Save Variable Names", box);
    names_->setObjectName("CheckBox_VarNames");
    descriptions_ = new QCheckBox("Save Descriptions", box);
    descriptions_->setObjectName("CheckBox_Desc");
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(selection_);
    boxLayout->addWidget(names_);
    boxLayout->addWidget(descriptions_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(MakeOkCancelHelp(this, kHelpConfigureSave));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Prepare(false, false, false);
}

void TConfigSave_Form::Prepare(bool selection, bool names, bool descriptions) {
    const auto set = [](QCheckBox* box, bool on) {
        box->setEnabled(on);
        box->setChecked(on);
    };
    set(selection_, selection);
    set(names_, names);
    set(descriptions_, descriptions);
}

SaveConfiguration TConfigSave_Form::Choices() const {
    return {selection_->isChecked(), names_->isChecked(), descriptions_->isChecked()};
}

std::optional<SaveConfiguration> TConfigSave_Form::Ask(QWidget* parent, bool selection, bool names,
                                                       bool descriptions) {
    TConfigSave_Form form(parent);
    form.Prepare(selection, names, descriptions);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.Choices();
}

} // namespace kivspc::gui
