// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/TransformForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "app/TextTools.h"
#include "data/DataTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

namespace {

// In kind order. The formulas line up in a fixed-width font.
const QStringList kTransformItems = {
    "No Transform",
    "LINEAR  Y = AX + B",
    "POWER1  Y = (AX + B)^C",
    "POWER2  Y = (AX + B)^1/C",
    "INV     Y = B/(AX)^C",
    "LOG     Y = Ln(AX + B)",
    "EXP     Y = Exp(AX + B)",
    "ARCSIN  Y = Arcsin(AX + B)",
    "SIN     Y = Sin(AX + B) Rad",
    "Random: Uniform (A, B)",
    "Random: Normal (A=mean, B=std)",
    "Random: Exponential (A=min, B=mean)",
    "Random: Chi-Square(A=df, B=scale, C=min)",
};

constexpr int kConstantChars = 20;

// The kinds that use C cannot be taken before A, B and C are all given.
bool UsesC(int kind) { return TransformUsesC(kind); }

} // namespace

TTransformForm::TTransformForm(QWidget* parent) : QDialog(parent), backup_(TransformRec) {
    setObjectName("TransformForm");
    setWindowTitle("Transform");
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildTransformPage(), "&Transform");
    pages_->addTab(BuildAddPage(), "&Add Transformed Variable");
    AddHelpShortcut(this, kHelpTransform);
    // Enter takes the transform on its own page only: on the other it would write the table.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) { ok_->setDefault(page == 0); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ShowState();
}

QWidget* TTransformForm::BuildTransformPage() {
    auto* page = new QWidget(this);
    auto* kinds = MakeRadioGroup(page, "RadioGroup_Transforms", "&Transforms", kTransformItems, 1, &kinds_);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QAbstractButton* item : kinds_->buttons())
        item->setFont(fixed);
    connect(kinds_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) ControlsChanged();
    });

    constants_ = new QGroupBox("&Constants", page);
    constants_->setObjectName("GroupBox_Constants");
    auto* grid = new QGridLayout(constants_);
    const char* labels[] = {"A:", "B:", "C:"};
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        auto* edit = new QLineEdit(constants_);
        edit->setObjectName(QString("Edit%1").arg(i + 1));
        edit->setMaxLength(kConstantChars);
        edit->setMinimumWidth(110);
        InstallKeyFilter(edit, KeyFilterKind::SignedReal);
        connect(edit, &QLineEdit::textChanged, this, &TTransformForm::ControlsChanged);
        auto* label = new QLabel(labels[i], constants_);
        label->setBuddy(edit);
        grid->addWidget(label, static_cast<int>(i), 0);
        grid->addWidget(edit, static_cast<int>(i), 1);
        edits_[i] = edit;
        if (i == 2) cLabel_ = label;
    }
    // Hidden parts keep their room, so the dialog does not change size with the choice.
    for (QWidget* part : {static_cast<QWidget*>(constants_), static_cast<QWidget*>(edits_[2]),
                          static_cast<QWidget*>(cLabel_)}) {
        QSizePolicy keep = part->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        part->setSizePolicy(keep);
    }
    // The first edit of the group takes the group's accelerator.
    constants_->setFocusProxy(edits_[0]);

    normalFirst_ = new QCheckBox("Apply Random Normal(10=mean,1=std) First", page);
    normalFirst_->setObjectName("CheckBox_NormalFirst");
    connect(normalFirst_, &QCheckBox::toggled, this, &TTransformForm::ControlsChanged);

    description_ = new QLabel(page);
    description_->setObjectName("Label_Transform");
    description_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ok_ = new QPushButton("&OK", page);
    ok_->setObjectName("Button_OK");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &TTransformForm::accept);
    auto* cancel = new QPushButton("Cancel", page);
    cancel->setObjectName("Button_Cancel");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &TTransformForm::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(constants_);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(kinds);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(MakeHelpButton(page, kHelpTransform));
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(normalFirst_);
    layout->addWidget(description_);
    layout->addLayout(buttons);
    return page;
}

QWidget* TTransformForm::BuildAddPage() {
    auto* page = new QWidget(this);
    variables_ = new QListWidget(page);
    variables_->setObjectName("CheckListBox_Variables");
    const TDataTable& table = DataTable();
    for (int c = 1; c <= table.ColumnCount(); ++c) {
        auto* item = new QListWidgetItem(ToQt(table.ColumnName(c)), variables_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    variables_->setMinimumSize(200, 220);
    connect(variables_, &QListWidget::itemChanged, this, &TTransformForm::Refresh);
    auto* variablesLabel = new QLabel("Select Variables to Transform", page);
    variablesLabel->setBuddy(variables_);

    auto* addModify = MakeRadioGroup(page, "RadioGroup_AddModify", QString(),
                                     {"Add New Variable", "Modify Existing Variable"}, 1, &addModify_);
    addModify->setAccessibleName("Add or modify");
    SetRadioIndex(addModify_, 0);
    turnOff_ = new QCheckBox("Turn off Transform when done", page);
    turnOff_->setObjectName("CheckBox_TurnOff");
    turnOff_->setChecked(true);

    add_ = new QPushButton("&Add", page);
    add_->setObjectName("Button_Add");
    add_->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, &TTransformForm::Button_AddClick);
    connect(addModify_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) add_->setText(id == 1 ? "&Modify" : "&Add");
    });
    auto* cancel = new QPushButton("Cancel", page);
    cancel->setObjectName("Button_Cancel2");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &TTransformForm::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(addModify);
    right->addWidget(turnOff_);
    right->addStretch();
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(variablesLabel);
    left->addWidget(variables_, 1);
    top->addLayout(left, 1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add_);
    buttons->addWidget(cancel);
    buttons->addWidget(MakeHelpButton(page, kHelpTransform, "Button_Help2"));
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    return page;
}

void TTransformForm::ShowState() {
    showing_ = true;
    const TTransformRec& t = TransformRec;
    SetRadioIndex(kinds_, t.Kind <= kTransformChiSquare ? t.Kind : int{kTransformNone});
    edits_[0]->setText(ToQt(t.AText));
    edits_[1]->setText(ToQt(t.BText));
    edits_[2]->setText(ToQt(t.CText));
    normalFirst_->setChecked(t.NormalFirst != 0);
    showing_ = false;
    Refresh();
}

void TTransformForm::ControlsChanged() {
    if (showing_) return;
    TTransformRec& t = TransformRec;
    t.Kind = static_cast<std::uint8_t>(std::max(kinds_->checkedId(), 0));
    t.AText = FromQt(edits_[0]->text());
    t.BText = FromQt(edits_[1]->text());
    t.CText = FromQt(edits_[2]->text());
    // B is needed now for the sign in the description; a text that is no number counts as 0.
    if (!t.BText.empty()) {
        double b = 0;
        t.B = ConvertNumber(TrimBlanks(t.BText), b) ? b : 0;
    }
    t.NormalFirst = normalFirst_->isChecked() ? 1 : 0;
    Refresh();
}

void TTransformForm::Refresh() {
    const TTransformRec& t = TransformRec;
    const bool on = t.Kind != kTransformNone;
    constants_->setVisible(on);
    edits_[2]->setVisible(UsesC(t.Kind));
    cLabel_->setVisible(UsesC(t.Kind));
    normalFirst_->setEnabled(on);
    description_->setText("Transform: " + ToQt(TransformText()));
    ok_->setEnabled(!UsesC(t.Kind) || (!t.AText.empty() && !t.BText.empty() && !t.CText.empty()));
    add_->setEnabled(on && !CheckedColumns().empty());
}

std::vector<int> TTransformForm::CheckedColumns() const {
    std::vector<int> columns;
    for (int row = 0; row < variables_->count(); ++row)
        if (variables_->item(row)->checkState() == Qt::Checked) columns.push_back(row + 1);
    return columns;
}

bool TTransformForm::TakeConstants() {
    // A box that holds no number is named, and the dialog stays open on it.
    int box = 0;
    const std::string problem = TakeTransformConstants(&box);
    if (problem.empty()) return true;
    ShowError(problem);
    pages_->setCurrentIndex(0);
    QLineEdit* edit = edits_[static_cast<std::size_t>(std::clamp(box, 0, 2))];
    edit->setFocus();
    edit->selectAll();
    return false;
}

void TTransformForm::accept() {
    if (!ok_->isEnabled() || !TakeConstants()) return;
    outcome_ = TransformDialogResult::Accepted;
    QDialog::accept();
}

void TTransformForm::reject() {
    TransformRec = backup_;
    outcome_ = TransformDialogResult::Cancelled;
    QDialog::reject();
}

void TTransformForm::Button_AddClick() {
    const std::vector<int> columns = CheckedColumns();
    if (TransformRec.Kind == kTransformNone || columns.empty() || !TakeConstants()) return;
    // Refused (with its message) when the new columns would not fit: the dialog stays open.
    if (!AddTransformedVariables(columns, addModify_->checkedId() != 1, turnOff_->isChecked())) return;
    outcome_ = TransformDialogResult::VariablesWritten;
    QDialog::accept();
}

TransformDialogResult ShowTransformDialog(QWidget* parent) {
    TTransformForm form(parent);
    form.exec();
    return form.Outcome();
}

} // namespace kivspc::gui
