// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ProcessIFForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "data/DataTable.h"
#include "data/Procif.h"
#include "data/TableEdit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace kivspc::gui {

namespace {

bool IsListRelation(int relation) { return relation == kRelIn || relation == kRelNotIn; }

bool IsListCharacter(QChar c) { return c.isDigit() || c == '.' || c == ',' || c == ' '; }

// The keys of an "in" list: digits, ".", ",", blank and Backspace; other keys that would change
// the text beep and are dropped. Installed after the signed-real filter, so it is asked first
// and takes the keys it accepts itself; with other relations it leaves every key to that filter.
class TListKeyFilter : public QObject {
public:
    TListKeyFilter(QLineEdit* edit, std::function<bool()> listMode)
        : QObject(edit), edit_(edit), listMode_(std::move(listMode)) {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress || !listMode_()) return false;
        const char32_t code = KeyFilterInstaller::KeyCode(static_cast<QKeyEvent*>(event));
        switch (code) {
        case kKeyBackspace: edit_->backspace(); return true;
        case kKeyCtrlX: edit_->cut(); return true;
        case kKeyCtrlV: {
            const QString pasted = QApplication::clipboard()->text();
            if (std::all_of(pasted.begin(), pasted.end(), IsListCharacter)) {
                edit_->insert(pasted);
            } else {
                Beep();
            }
            return true;
        }
        default:
            // Keys that type nothing (arrows, Delete, Enter ...) and control codes that leave the
            // text alone (copy, select all, undo) go to the edit as usual.
            if (code < 0x20) return false;
            break;
        }
        if (code < 0x10000 && IsListCharacter(QChar(static_cast<char16_t>(code)))) {
            edit_->insert(QString(QChar(static_cast<char16_t>(code))));
        } else {
            Beep();
        }
        return true;
    }

private:
    QLineEdit* edit_;
    std::function<bool()> listMode_;
};

} // namespace

TProcessIFForm::TProcessIFForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ProcessIFForm");
    setWindowTitle("Process If...");

    variables_ = new QListWidget(this);
    variables_->setObjectName("DataVarList");
    variables_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const TDataTable& table = DataTable();
    for (int c = 1; c <= table.ColumnCount(); ++c)
        variables_->addItem(ToQt(table.ColumnName(c)));
    variables_->setMinimumSize(160, 200);
    auto* variablesLabel = new QLabel("Data Variables", this);
    variablesLabel->setBuddy(variables_);

    auto* conditions = new QGroupBox(this);
    auto* grid = new QGridLayout(conditions);
    const QString headers[] = {"Variable", "Relation", "Value"};
    for (int i = 0; i < 3; ++i)
        grid->addWidget(new QLabel(headers[i], conditions), 0, i + 1);
    BuildCondition(1, conditions_[0]);
    BuildCondition(2, conditions_[1]);
    auto* andOr = MakeRadioGroup(conditions, "RadioGroup_AndOr", QString(), {"And", "Or"}, 2, &andOr_);
    andOr->setAccessibleName("Join the conditions by");
    andOr->setFlat(true);
    for (int row = 0; row < 2; ++row) {
        const Condition& c = conditions_[static_cast<std::size_t>(row)];
        const int gridRow = row == 0 ? 1 : 3;
        grid->addWidget(c.button, gridRow, 0);
        grid->addWidget(c.name, gridRow, 1);
        grid->addWidget(c.relation, gridRow, 2);
        grid->addWidget(c.value, gridRow, 3);
    }
    grid->addWidget(andOr, 2, 1, 1, 3, Qt::AlignLeft);
    // Tab goes down the rows as they are seen: condition 1, the join, condition 2.
    QWidget::setTabOrder(conditions_[0].value, andOr_->button(0));
    QWidget::setTabOrder(andOr_->button(0), andOr_->button(1));
    QWidget::setTabOrder(andOr_->button(1), conditions_[1].button);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    auto* reset = new QPushButton("&Reset", this);
    reset->setObjectName("Button_Reset");
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &TProcessIFForm::Button_ResetClick);
    QHBoxLayout* buttons = MakeOkCancelHelp(this, kHelpProcessIf);
    buttons->insertWidget(0, reset);

    auto* left = new QVBoxLayout;
    left->addWidget(variablesLabel);
    left->addWidget(variables_, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(conditions, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    // The dialog's copy of the conditions in force.
    const TProcessIfRec& live = ProcessIfRec;
    struct Shown {
        int column;
        const std::string& name;
        std::uint8_t relation;
        const std::string& value;
    };
    const Shown shown[] = {{live.Column1, live.Name1, live.Relation1, live.ValueText1},
                           {live.Column2, live.Name2, live.Relation2, live.ValueText2}};
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        Condition& c = conditions_[i];
        const bool present = ProcessIfOn && shown[i].column > 0 && shown[i].relation != kRelAll;
        SetColumn(c, present ? shown[i].column : 0, present ? ToQt(shown[i].name) : QString());
        c.relation->setCurrentIndex(present && shown[i].relation <= kRelNotIn ? shown[i].relation
                                                                              : int{kRelAll});
        c.value->setText(present ? ToQt(shown[i].value) : QString());
        RelationChanged(c);
    }
    SetRadioIndex(andOr_, ProcessIfOn && live.OrJoin ? 1 : 0);
}

void TProcessIFForm::BuildCondition(int number, Condition& condition) {
    const QString n = QString::number(number);
    condition.button = new QPushButton(">", this);
    condition.button->setObjectName("Button" + n);
    condition.button->setAutoDefault(false);
    condition.button->setAccessibleName("Take or release variable " + n);
    condition.button->setFixedWidth(condition.button->fontMetrics().horizontalAdvance("<<<") + 16);
    connect(condition.button, &QPushButton::clicked, this, [this, &condition] { ButtonClick(condition); });

    condition.name = new QLineEdit(this);
    condition.name->setObjectName("Edit_Pi" + n);
    condition.name->setReadOnly(true);
    condition.name->setAccessibleName("Variable " + n);
    condition.name->setMinimumWidth(120);

    condition.relation = new QComboBox(this);
    condition.relation->setObjectName("ComboBox" + n);
    condition.relation->setAccessibleName("Relation " + n);
    for (std::uint8_t r = kRelAll; r <= kRelNotIn; ++r)
        condition.relation->addItem(ToQt(ProcessIfRelationText(r)));
    connect(condition.relation, &QComboBox::currentIndexChanged, this,
            [this, &condition] { RelationChanged(condition); });

    condition.value = new QLineEdit(this);
    condition.value->setObjectName("Edit_PIvalue" + n);
    condition.value->setAccessibleName("Value " + n);
    condition.value->setMinimumWidth(120);
    QSizePolicy keep = condition.value->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    condition.value->setSizePolicy(keep);
    InstallKeyFilter(condition.value, KeyFilterKind::SignedReal);
    new TListKeyFilter(condition.value,
                       [&condition] { return IsListRelation(condition.relation->currentIndex()); });
}

void TProcessIFForm::SetColumn(Condition& condition, int column, const QString& name) {
    condition.column = column;
    condition.name->setText(column > 0 ? name : QString());
    condition.button->setText(column > 0 ? "<" : ">");
}

void TProcessIFForm::ButtonClick(Condition& condition) {
    if (condition.column > 0) {
        SetColumn(condition, 0, {});
        return;
    }
    for (int row = 0; row < variables_->count(); ++row) {
        if (variables_->item(row)->isSelected()) {
            SetColumn(condition, row + 1, variables_->item(row)->text());
            return;
        }
    }
    Beep();
}

void TProcessIFForm::RelationChanged(Condition& condition) {
    condition.value->setVisible(condition.relation->currentIndex() != kRelAll);
}

void TProcessIFForm::Button_ResetClick() {
    for (Condition& c : conditions_) {
        SetColumn(c, 0, {});
        c.relation->setCurrentIndex(kRelAll);
        c.value->clear();
        RelationChanged(c);
    }
    SetRadioIndex(andOr_, 0);
}

void TProcessIFForm::accept() {
    const auto read = [](const Condition& c) {
        return ProcessIfCondition{c.column, FromQt(c.name->text()),
                                  static_cast<std::uint8_t>(std::max(c.relation->currentIndex(), 0)),
                                  FromQt(c.value->text())};
    };
    // A value box that holds no number is named, and the dialog stays open on it.
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        const std::string problem =
            ProcessIfConditionProblem(read(conditions_[i]), "Value " + std::to_string(i + 1));
        if (!problem.empty()) {
            ShowError(problem);
            conditions_[i].value->setFocus();
            conditions_[i].value->selectAll();
            return;
        }
    }
    status_ = ApplyProcessIf(read(conditions_[0]), read(conditions_[1]), andOr_->checkedId() == 1);
    // Windows that show analyses of the data see the new selection of rows as a change of it.
    ++DataChangeCount;
    QDialog::accept();
}

bool ShowProcessIfDialog(QWidget* parent, std::string* status) {
    TProcessIFForm form(parent);
    if (form.exec() != QDialog::Accepted) return false;
    if (status) *status = form.StatusText();
    return true;
}

} // namespace kivspc::gui
