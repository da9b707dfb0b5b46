// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/FindData.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/QtPlatform.h"
#include "data/DataForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

// The radio items in relation order: none, =, >, >=, <, <=.
const QStringList kRelationItems = {"none", "=", ">", ">=", "<", "<="};

QPointer<TForm_Find> shownFind;

// The data grid's selection in table coordinates; the current cell when nothing is selected.
CellRange GridSelection(QTableView* grid, TFindCell current) {
    const QItemSelection picked = grid->selectionModel()->selection();
    if (picked.isEmpty()) return {current.Column, current.Column, current.Row, current.Row};
    const QItemSelectionRange& r = picked.front();
    return {r.left() + 1, r.right() + 1, r.top() + 1, r.bottom() + 1};
}

} // namespace

TForm_Find::TForm_Find(TDataForm* editor) : QDialog(editor), editor_(editor) {
    setObjectName("Form_Find");
    setWindowTitle("Find");
    // A tool window of the editor that stays above everything while the user works on.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* box = new QGroupBox("Find cells where the value", this);
    box->setObjectName("GroupBox_Conditions");
    auto* orLabel = new QLabel("OR", box);
    orLabel->setObjectName("Label_Or");
    orLabel->setAlignment(Qt::AlignCenter);
    QFont bold = orLabel->font();
    bold.setBold(true);
    orLabel->setFont(bold);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(BuildCondition(1, conditions_[0]));
    boxLayout->addWidget(orLabel);
    boxLayout->addWidget(BuildCondition(2, conditions_[1]));

    replace_ = new QCheckBox("&Replace", this);
    replace_->setObjectName("CheckBox_Replace");
    replaceText_ = new QLineEdit("0", this);
    replaceText_->setObjectName("Edit_Replace");
    replaceText_->setAccessibleName("Replace with");
    replaceText_->setMinimumWidth(140);
    replaceAll_ = new QCheckBox("Replace &All", this);
    replaceAll_->setObjectName("CheckBox_ReplaceAll");
    selectionOnly_ = new QCheckBox("Selection Only", this);
    selectionOnly_->setObjectName("CheckBox_SelectionOnly");
    for (QWidget* w : {static_cast<QWidget*>(replaceText_), static_cast<QWidget*>(replaceAll_)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    auto* replaceRow = new QHBoxLayout;
    replaceRow->addWidget(replace_);
    replaceRow->addWidget(replaceText_, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(replaceAll_);
    options->addWidget(selectionOnly_);
    options->addStretch(1);

    action_ = new QPushButton("&Find", this);
    action_->setObjectName("OKBtn");
    action_->setDefault(true);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("Button_Close");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(action_);
    buttons->addWidget(close);
    buttons->addWidget(MakeHelpButton(this, kHelpFind));
    AddHelpShortcut(this, kHelpFind);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(replaceRow);
    layout->addLayout(options);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(action_, &QPushButton::clicked, this, &TForm_Find::OKBtnClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(replace_, &QCheckBox::toggled, this, &TForm_Find::ReplaceClick);
    connect(replaceAll_, &QCheckBox::toggled, this, &TForm_Find::ReplaceClick);

    SetRadioIndex(conditions_[0].relations, kFindEqual);
    SetRadioIndex(conditions_[1].relations, kFindNone);
    for (Condition& c : conditions_)
        RelationClick(c);
    ReplaceClick();
}

QWidget* TForm_Find::BuildCondition(int number, Condition& condition) {
    const QString n = QString::number(number);
    auto* row = new QWidget(this);
    auto* radios = MakeRadioGroup(row, "RadioGroup_Relation" + n, QString(), kRelationItems,
                                  static_cast<int>(kRelationItems.size()), &condition.relations);
    radios->setAccessibleName("Relation " + n);
    condition.symbol = new QLabel(row);
    condition.symbol->setObjectName("Label_Relation" + n);
    condition.symbol->setMinimumWidth(condition.symbol->fontMetrics().horizontalAdvance(">=") + 4);
    condition.value = new QLineEdit("0", row);
    condition.value->setObjectName("Edit_Value" + n);
    condition.value->setAccessibleName("Find value " + n);
    condition.value->setMinimumWidth(140);
    // Hidden boxes keep their place, so the rows do not jump.
    QSizePolicy keep = condition.value->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    condition.value->setSizePolicy(keep);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(radios);
    layout->addSpacing(12);
    layout->addWidget(condition.symbol);
    layout->addWidget(condition.value, 1);
    connect(condition.relations, &QButtonGroup::idToggled, this, [this, &condition](int, bool on) {
        if (on) RelationClick(condition);
    });
    return row;
}

void TForm_Find::RelationClick(Condition& condition) {
    const int relation = std::max(condition.relations->checkedId(), 0);
    condition.symbol->setText(FindRelationSymbol(static_cast<std::uint8_t>(relation)));
    condition.value->setVisible(relation != kFindNone);
    bool any = false;
    for (const Condition& c : conditions_)
        any = any || (c.relations && c.relations->checkedId() > kFindNone);
    action_->setEnabled(any);
}

void TForm_Find::ReplaceClick() {
    const bool replacing = replace_->isChecked();
    const bool wasShown = !replaceText_->isHidden();
    replaceText_->setVisible(replacing);
    replaceAll_->setVisible(replacing);
    if (replacing && !wasShown) replaceText_->setFocus();
    action_->setText(replacing ? "&Replace" : "&Find");
    setWindowTitle(ToQt(FindCaption(Settings())));
}

void TForm_Find::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm_Find::FormActivate() {
    QTableView* grid = editor_->DataGrid();
    const QModelIndex current = grid->currentIndex();
    const TFindCell cell =
        current.isValid() ? TFindCell{current.column() + 1, current.row() + 1} : TFindCell{1, 1};
    const CellRange s = GridSelection(grid, cell);
    selectionOnly_->setChecked(s.LastColumn > s.FirstColumn || s.LastRow > s.FirstRow);
}

TFindSettings TForm_Find::Settings() const {
    TFindSettings s;
    s.Relation1 = static_cast<std::uint8_t>(std::max(conditions_[0].relations->checkedId(), 0));
    s.Value1 = FromQt(conditions_[0].value->text());
    s.Relation2 = static_cast<std::uint8_t>(std::max(conditions_[1].relations->checkedId(), 0));
    s.Value2 = FromQt(conditions_[1].value->text());
    s.Replace = replace_->isChecked();
    s.ReplaceAll = replaceAll_->isChecked();
    s.ReplaceText = FromQt(replaceText_->text());
    s.SelectionOnly = selectionOnly_->isChecked();
    return s;
}

void TForm_Find::OKBtnClick() {
    // The found cell is shown on the data page.
    if (auto* pages = editor_->findChild<QTabWidget*>("PageControl1")) pages->setCurrentIndex(0);
    QTableView* grid = editor_->DataGrid();
    const QModelIndex current = grid->currentIndex();
    TFindGrid g;
    g.Current = current.isValid() ? TFindCell{current.column() + 1, current.row() + 1} : TFindCell{1, 1};
    g.Selection = GridSelection(grid, g.Current);
    g.LastHit = lastHit_;
    g.LastHitReplaced = lastHitReplaced_;
    const TFindSettings s = Settings();
    const TFindResult result = RunFind(s, g);
    if (!result.Cell) return;
    lastHit_ = *result.Cell;
    lastHitReplaced_ = result.Replaced > 0;
    const QModelIndex found = grid->model()->index(result.Cell->Row - 1, result.Cell->Column - 1);
    // Stepping through a selection keeps it; otherwise the found cell alone is selected.
    const bool block =
        g.Selection.LastColumn > g.Selection.FirstColumn || g.Selection.LastRow > g.Selection.FirstRow;
    grid->selectionModel()->setCurrentIndex(found, s.SelectionOnly && block
                                                       ? QItemSelectionModel::NoUpdate
                                                       : QItemSelectionModel::ClearAndSelect);
    grid->scrollTo(found);
}

TForm_Find* ShowFindDialog(TDataForm* editor) {
    if (shownFind) shownFind->close();
    auto* form = new TForm_Find(editor);
    shownFind = form;
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

} // namespace kivspc::gui
