// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/AttrSetup.h"

#include "app/CommandIcons.h"
#include "app/EditCommands.h"
#include "app/FormResize.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/Platform.h"
#include "app/TextTools.h"
#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartWindowParts.h"
#include "data/DataEditor.h"
#include "data/DataForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/Extract.h"
#include "data/ProcessIFForm.h"
#include "data/TableEdit.h"
#include "output/OutputDataModule.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Attributes Chart Setup";
// How the data editor and the chart window name this window when they return to it.
const char* const kToolReturnCaption = "Attributes Chart Setup Form";
const char* const kEditorReturnCaption = "Attribute Chart Setup Form";

QListWidget* ColumnList(QWidget* parent, const QString& name, const QString& accessibleName) {
    QListWidget* list = MakeColumnList(parent, name, accessibleName);
    list->setMinimumWidth(150);
    return list;
}

QLineEdit* NumberEdit(QWidget* parent, const QString& name, const QString& text, const QString& accessible) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setFixedWidth(90);
    InstallKeyFilter(edit, KeyFilterKind::UnsignedReal);
    return edit;
}

} // namespace

TForm_AttrSetup::TForm_AttrSetup(QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Form_AttrSetup");
    setWindowTitle(kCaption);
    BuildControls();
    BuildMenus();
    BuildToolBar();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
    ResetLists();
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    CentreOnScreen(this);
}

TForm_AttrSetup::~TForm_AttrSetup() {
    if (chartWindow_) delete chartWindow_.data();
}

QWidget* TForm_AttrSetup::BuildTab(Tab& tab, bool reference) {
    auto* page = new QWidget;
    tab.page = page;
    const QString suffix = reference ? "2" : "";
    tab.source = ColumnList(page, "DataVarList" + suffix, "Data Variables");
    tab.target = ColumnList(page, reference ? "ListBox_Groups" : "ListBox_Measures",
                            reference ? "Grouping Variables" : "Measures");
    auto button = [&](const char* name, const QString& text, const QString& accessible) {
        return MakeMoveButton(page, (QString(name) + suffix).toUtf8().constData(), text, accessible);
    };
    const QString what = reference ? "grouping variables" : "measures";
    tab.include = button("IncludeBtn", ">", "Add to " + what);
    tab.includeAll = button("IncludeAllBtn", ">>", "Add all to " + what);
    tab.exclude = button("ExcludeBtn", "<", "Remove from " + what);
    tab.excludeAll = button("ExcludeAllBtn", "<<", "Remove all " + what);
    connect(tab.include, &QPushButton::clicked, this,
            [this, &tab] { MoveEntries(tab, tab.source, tab.target, false); });
    connect(tab.includeAll, &QPushButton::clicked, this,
            [this, &tab] { MoveEntries(tab, tab.source, tab.target, true); });
    connect(tab.exclude, &QPushButton::clicked, this,
            [this, &tab] { MoveEntries(tab, tab.target, tab.source, false); });
    connect(tab.excludeAll, &QPushButton::clicked, this,
            [this, &tab] { MoveEntries(tab, tab.target, tab.source, true); });

    auto single = [&](SingleBox& box, const char* name, const QString& caption) {
        box.label = new QLabel(caption, page);
        box.button = new QToolButton(page);
        box.button->setObjectName(QString("SpeedButton_") + name + suffix);
        box.button->setText(">");
        box.button->setAccessibleName("Choose " + caption);
        box.button->setFixedWidth(36);
        box.edit = new QLineEdit(page);
        box.edit->setObjectName(QString("Edit_") + name + suffix);
        box.edit->setReadOnly(true);
        box.edit->setAccessibleName(caption);
        box.label->setBuddy(box.edit);
        connect(box.button, &QToolButton::clicked, this, [this, &tab, &box] { SingleClick(tab, box); });
    };
    single(tab.sample, "Sample", "Sample Size");
    single(tab.sets, "Sets", "Sets");
    if (reference) single(tab.measure, "Measure", "Measure");
    tab.constant = new QCheckBox("Constant Sample Size", page);
    tab.constant->setObjectName("CheckBox_Constant" + suffix);
    connect(tab.constant, &QCheckBox::clicked, this, [this, &tab] { ConstantClick(tab); });
    InstallKeyFilter(tab.sample.edit, KeyFilterKind::UnsignedReal);

    auto buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {tab.include, tab.includeAll, tab.exclude, tab.excludeAll})
        buttons->addWidget(b);
    buttons->addStretch();
    auto row = [](SingleBox& box) {
        auto* line = new QHBoxLayout;
        line->addWidget(box.button);
        line->addWidget(box.edit, 1);
        return line;
    };
    auto* sourceLabel = new QLabel("Data Variables", page);
    sourceLabel->setBuddy(tab.source);
    auto* targetLabel = new QLabel(reference ? "Grouping Variables" : "Measures", page);
    targetLabel->setBuddy(tab.target);

    auto* grid = new QGridLayout(page);
    grid->addWidget(sourceLabel, 0, 0);
    grid->addWidget(tab.source, 1, 0, 8, 1);
    int r = 0;
    if (reference) {
        grid->addWidget(tab.measure.label, r++, 2);
        grid->addLayout(row(tab.measure), r++, 2);
    }
    grid->addWidget(targetLabel, r++, 2);
    grid->addLayout(buttons, r, 1);
    grid->addWidget(tab.target, r++, 2);
    grid->setRowStretch(r - 1, 1);
    grid->addWidget(tab.constant, r++, 2);
    grid->addWidget(tab.sample.label, r++, 2);
    grid->addLayout(row(tab.sample), r++, 2);
    grid->addWidget(tab.sets.label, r++, 2);
    grid->addLayout(row(tab.sets), r++, 2);
    return page;
}

QWidget* TForm_AttrSetup::BuildChoices() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto radios = [&](const QString& title, const char* name, const QStringList& items, int checked,
                      QButtonGroup*& group) {
        auto* box = new QGroupBox(title, panel);
        box->setObjectName(name);
        group = new QButtonGroup(box);
        auto* column = new QVBoxLayout(box);
        column->setSpacing(2);
        for (int i = 0; i < items.size(); ++i) {
            auto* radio = new QRadioButton(items[i], box);
            radio->setObjectName(QString(name) + "_" + QString::number(i));
            radio->setChecked(i == checked);
            group->addButton(radio, i);
            column->addWidget(radio);
        }
        return box;
    };
    auto* typeBox = radios("&Type", "RadioGroup_Type", {"p", "np", "c", "u"}, 0, type_);
    auto* methodBox = radios("Control &Limit Calculation", "RadioGroup_Method",
                             {"None", "Exact", "Normal Approximation", "Average Moving Range",
                              "Median Moving Range", "Standard Deviation", "Centerline Only", "User Defined"},
                             1, method_);
    centreBox_ =
        radios("&Centerline", "RadioGroup_Centerline", {"Mean", "Median", "Known Parameter"}, 0, centre_);
    connect(type_, &QButtonGroup::idClicked, this, [this] { TypeClick(); });
    connect(method_, &QButtonGroup::idClicked, this, [this] { ApplyVisibility(); });
    connect(centre_, &QButtonGroup::idClicked, this, [this] { ApplyVisibility(); });

    parameterLabel_ = new QLabel("Pi:", panel);
    parameterLabel_->setObjectName("Label_Parameter");
    parameter_ = NumberEdit(panel, "Edit_Parameter", "", "Known Parameter");
    parameterLabel_->setBuddy(parameter_);
    auto* parameterRow = new QHBoxLayout;
    parameterRow->addWidget(parameterLabel_);
    parameterRow->addWidget(parameter_);
    parameterRow->addStretch();
    auto* centreColumn = new QVBoxLayout;
    centreColumn->addWidget(centreBox_);
    centreColumn->addLayout(parameterRow);
    centreColumn->addStretch();

    userLabel_ = new QLabel("User Defined Limits", panel);
    auto* userGrid = new QGridLayout;
    userGrid->setColumnStretch(2, 1);
    userGrid->addWidget(userLabel_, 0, 0, 1, 2);
    const QStringList captions = {"UCL", "CL", "LCL"};
    for (int i = 0; i < 3; ++i) {
        userChecks_[static_cast<std::size_t>(i)] = new QCheckBox(captions[i], panel);
        userChecks_[static_cast<std::size_t>(i)]->setObjectName("CheckBox_" + captions[i]);
        userChecks_[static_cast<std::size_t>(i)]->setChecked(true);
        userEdits_[static_cast<std::size_t>(i)] =
            NumberEdit(panel, "Edit_" + captions[i], "", "User defined " + captions[i]);
        userGrid->addWidget(userChecks_[static_cast<std::size_t>(i)], i + 1, 0);
        userGrid->addWidget(userEdits_[static_cast<std::size_t>(i)], i + 1, 1);
        connect(userChecks_[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
                [this] { ApplyVisibility(); });
    }

    axisLabels_ = new QComboBox(panel);
    axisLabels_->setObjectName("ComboBox_AL");
    axisLabels_->setAccessibleName("Axis Labels");
    axisLabels_->setMinimumWidth(220);
    axisLabels_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* axisLabel = new QLabel("&Axis Labels:", panel);
    axisLabel->setBuddy(axisLabels_);
    stdErr_ = NumberEdit(panel, "Edit_StdErr", "3", "Std Err");
    stdErrLabel_ = new QLabel("&Std Err:", panel);
    stdErrLabel_->setBuddy(stdErr_);
    auto* bottom = new QGridLayout;
    bottom->addWidget(axisLabel, 0, 0);
    bottom->addWidget(axisLabels_, 0, 1);
    bottom->addWidget(stdErrLabel_, 1, 0);
    bottom->addWidget(stdErr_, 1, 1, Qt::AlignLeft);
    bottom->setColumnStretch(2, 1);

    auto* top = new QHBoxLayout;
    auto* typeColumn = new QVBoxLayout;
    typeColumn->addWidget(typeBox);
    typeColumn->addStretch();
    top->addLayout(typeColumn);
    top->addWidget(methodBox);
    top->addLayout(centreColumn);
    auto* userColumn = new QVBoxLayout;
    userColumn->addLayout(userGrid);
    userColumn->addStretch();
    top->addLayout(userColumn);
    layout->addLayout(top);
    layout->addLayout(bottom);
    return panel;
}

void TForm_AttrSetup::BuildControls() {
    auto* central = new QWidget(this);
    tabWidget_ = new QTabWidget(central);
    tabWidget_->setObjectName("PageControl1");
    tabWidget_->addTab(BuildTab(tabs_[0], false), "Columns");
    tabWidget_->addTab(BuildTab(tabs_[1], true), "Reference");
    connect(tabWidget_, &QTabWidget::currentChanged, this, [this] { HideChart(); });
    calcButton_ = new QPushButton("&Action", central);
    calcButton_->setObjectName("CalcButton");
    calcButton_->setToolTip("Display Results");
    calcButton_->setDefault(true);
    calcButton_->setAutoDefault(true);
    connect(calcButton_, &QPushButton::clicked, this, [this] { CalcButtonClick(); });

    auto* summary = new QVBoxLayout;
    summary->setSpacing(0);
    const char* names[] = {"Label_Missing", "Label_Transform", "Label_ProcessIf"};
    for (std::size_t i = 0; i < summary_.size(); ++i) {
        summary_[i] = new QLabel(central);
        summary_[i]->setObjectName(names[i]);
        summary->addWidget(summary_[i]);
    }
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(summary, 1);
    bottom->addWidget(calcButton_, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(tabWidget_, 1);
    layout->addWidget(BuildChoices());
    layout->addLayout(bottom);
    setCentralWidget(central);
}

void TForm_AttrSetup::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    auto item = [&](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item(file, "NewData1", "&New Data", [this] { ReturnHere(NewDataFrom(this, kCaption)); });
    item(file, "OpenDataFile1", "&Open Data File", [this] {
        ReturnHere(OpenDataFileFrom(this, kCaption));
        HideChart();
    });
    item(file, "DataEditor1", "&Data Editor", [this] {
        ShowDataEditorFrom(this, kCaption);
    })->setShortcut(Qt::Key_F4);
    item(file, "ProcessIf1", "&Process If", [this] {
        ShowProcessIfDialog(this);
        if (DataForm()) DataForm()->UpdateStatusBar();
        UpdateSummary();
    })->setShortcut(Qt::Key_F8);
    file->addSeparator();
    item(file, "ReturntoMainForm1", "&Return to Main Form", &TForm_AttrSetup::ReturnToMainForm);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    AddEditMenuCommands(edit, {EditCommand::Undo, EditCommand::Cut, EditCommand::Copy, EditCommand::Paste});

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kToolReturnCaption;
    menus.formResize = [this] { ToggleFormSize(this, resizeAction_, scale_); };
    menus.helpTopic = kHelpAttrSetup;
    menus.helpCaption = "&Help on Attribute Chart Setup";
    menus.helpItemName = "HelponAttributeChartSetup1";
    SetUpFormMenus(this, menus);
}

void TForm_AttrSetup::BuildToolBar() {
    const TSetupToolActions actions = AddSetupToolBar(
        this, {.ReturnToMain = [this] { ReturnToMainForm(); },
               .OpenDataFile = [this] { ReturnHere(OpenDataFileFrom(this, kToolReturnCaption)); },
               .DataEditor = [this] { ShowDataEditorFrom(this, kEditorReturnCaption); },
               .Resize = [this] { ToggleFormSize(this, resizeAction_, scale_); },
               .HelpTopic = kHelpAttrSetup});
    copyAction_ = actions.Copy;
    pasteAction_ = actions.Paste;
    resizeAction_ = actions.Resize;
}

void TForm_AttrSetup::FocusChanged(QWidget* now) {
    if (!copyAction_) return;
    std::vector<QWidget*> numbers = {stdErr_, parameter_, tabs_[0].sample.edit, tabs_[1].sample.edit};
    numbers.insert(numbers.end(), userEdits_.begin(), userEdits_.end());
    const bool inEdit = now && std::find(numbers.begin(), numbers.end(), now) != numbers.end() &&
                        !static_cast<QLineEdit*>(now)->isReadOnly();
    copyAction_->setEnabled(inEdit);
    pasteAction_->setEnabled(inEdit);
}

bool TForm_AttrSetup::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TForm_AttrSetup::closeEvent(QCloseEvent* e) {
    // The window is kept: closing only hides it.
    e->accept();
}

void TForm_AttrSetup::FormActivate() {
    EnsureDataForm();
    const bool changed = ColumnChangeCount != seenColumnChanges_ || NewTableCount != seenNewTables_;
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    if (changed && HasData()) ResetLists();
    UpdateCaption();
    if (ColumnCount() == 1 && DataTable().RowCount() > 2) tabWidget_->setCurrentIndex(0);
    UpdateSummary();
}

void TForm_AttrSetup::UpdateCaption() {
    const std::string& file = DataTable().FileName;
    setWindowTitle(file.empty() ? QString(kCaption)
                                : QString(kCaption) + " - " + QString::fromStdString(file));
}

void TForm_AttrSetup::UpdateSummary() {
    const TCaseSelectionTexts texts = CaseSelectionTexts();
    summary_[0]->setText(QString::fromStdString(texts.Missing));
    summary_[1]->setText(QString::fromStdString(texts.Transform));
    summary_[2]->setText(QString::fromStdString(texts.ProcessIf));
}

void TForm_AttrSetup::ReturnHere(bool opened) {
    if (!opened) return;
    ResetLists();
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    UpdateCaption();
    UpdateSummary();
}

void TForm_AttrSetup::ResetLists() {
    const int columns = ColumnCount();
    for (Tab& tab : tabs_) {
        tab.source->clear();
        tab.target->clear();
        for (SingleBox* box : {&tab.sample, &tab.sets, &tab.measure}) {
            box->column = 0;
            if (!box->edit) continue;
            box->edit->clear();
            box->button->setText(">");
        }
        for (int c = 1; c <= columns; ++c)
            tab.source->addItem(ColumnEntry(c));
        SetShown(tab.constant, true);
        UpdateMoveButtons(tab);
    }
    tabWidget_->setCurrentIndex(0);
    tabWidget_->setTabVisible(1, columns > 1);
    axisLabels_->clear();
    axisLabels_->addItem("        (Use Order Number)");
    for (int c = 1; c <= columns; ++c)
        axisLabels_->addItem(QString::fromStdString(DataTable().ColumnName(c)));
    axisLabels_->setCurrentIndex(0);
    HideChart();
    if (chartWindow_) chartWindow_->ClearPointTexts();
    ApplyVisibility();
}

void TForm_AttrSetup::HideChart() {
    if (chartWindow_) chartWindow_->hide();
}

void TForm_AttrSetup::UpdateMoveButtons(Tab& tab) {
    const bool source = tab.source->count() > 0, target = tab.target->count() > 0;
    tab.include->setEnabled(source);
    tab.includeAll->setEnabled(source);
    tab.exclude->setEnabled(target);
    tab.excludeAll->setEnabled(target);
}

void TForm_AttrSetup::MoveEntries(Tab& tab, QListWidget* from, QListWidget* to, bool all) {
    if (all)
        for (int row = 0; row < from->count(); ++row)
            from->item(row)->setSelected(true);
    int firstRow = -1;
    for (int row = from->count() - 1; row >= 0; --row) {
        if (!from->item(row)->isSelected()) continue;
        to->addItem(from->takeItem(row));
        firstRow = row;
    }
    if (firstRow >= 0) {
        to->clearSelection();
        if (from->count() > 0) {
            from->clearSelection();
            const int row = std::min(firstRow, from->count() - 1);
            from->setCurrentRow(row);
            from->item(row)->setSelected(true);
        }
        from->setFocus();
        HideChart();
    }
    UpdateMoveButtons(tab);
}

void TForm_AttrSetup::SingleClick(Tab& tab, SingleBox& box) {
    if (box.button->text() == "<") {
        ReturnSingle(tab, box);
    } else {
        const auto chosen = tab.source->selectedItems();
        if (chosen.isEmpty()) return;
        QListWidgetItem* first = *std::min_element(chosen.begin(), chosen.end(), [&tab](auto* a, auto* b) {
            return tab.source->row(a) < tab.source->row(b);
        });
        box.column = EntryColumn(first);
        box.edit->setText(first->text().mid(2));
        delete tab.source->takeItem(tab.source->row(first));
        box.button->setText("<");
    }
    UpdateMoveButtons(tab);
    HideChart();
}

void TForm_AttrSetup::ReturnSingle(Tab& tab, SingleBox& box) {
    if (box.column > 0) {
        tab.source->addItem(ColumnEntry(box.column));
        box.edit->clear();
    }
    box.column = 0;
    box.button->setText(">");
    UpdateMoveButtons(tab);
}

void TForm_AttrSetup::ConstantClick(Tab& tab) {
    const bool constant = tab.constant->isChecked();
    if (constant && tab.sample.column > 0) ReturnSingle(tab, tab.sample);
    if (!constant) tab.sample.edit->clear();
    SetShown(tab.sample.button, !constant);
    tab.sample.edit->setReadOnly(!constant);
    HideChart();
}

void TForm_AttrSetup::TypeClick() {
    const int type = type_->checkedId();
    parameterLabel_->setText(type >= 2 ? "Lambda:" : "Pi:");
    // A c chart counts per unit of a constant size.
    if (type == static_cast<int>(TAttrType::C))
        for (Tab& tab : tabs_) {
            if (tab.sample.column > 0) ReturnSingle(tab, tab.sample);
            tab.constant->setChecked(true);
            ConstantClick(tab);
            tab.sample.edit->setText("1");
        }
}

void TForm_AttrSetup::ApplyVisibility() {
    const int method = method_->checkedId();
    const bool oneColumn = ColumnCount() <= 1;
    const bool noneOrUser =
        method == static_cast<int>(TAttrMethod::None) || method == static_cast<int>(TAttrMethod::UserDefined);
    for (Tab& tab : tabs_) {
        if (oneColumn && !tab.constant->isChecked()) {
            tab.constant->setChecked(true);
            ConstantClick(tab);
        }
        SetShown(tab.constant, !oneColumn);
        SetShown(tab.sample.button, !tab.constant->isChecked());
        tab.sample.edit->setReadOnly(!tab.constant->isChecked());
    }
    SetShown(centreBox_, !noneOrUser);
    const bool known = !noneOrUser && centre_->checkedId() == 2;
    SetShown(parameterLabel_, known);
    SetShown(parameter_, known);
    const bool user = method == static_cast<int>(TAttrMethod::UserDefined);
    SetShown(userLabel_, user);
    for (std::size_t i = 0; i < 3; ++i) {
        SetShown(userChecks_[i], user);
        SetShown(userEdits_[i], user && userChecks_[i]->isChecked());
    }
    const bool sets = !noneOrUser && !known && !oneColumn;
    for (Tab& tab : tabs_) {
        if (!sets && tab.sets.column > 0) ReturnSingle(tab, tab.sets);
        SetShown(tab.sets.label, sets);
        SetShown(tab.sets.edit, sets);
        SetShown(tab.sets.button, sets);
    }
    const bool stdErr = method != static_cast<int>(TAttrMethod::None) &&
                        method != static_cast<int>(TAttrMethod::CenterlineOnly);
    SetShown(stdErrLabel_, stdErr);
    SetShown(stdErr_, stdErr);
}

bool TForm_AttrSetup::CalcButtonClick() {
    TAttrSetupEntries e;
    e.Type = static_cast<TAttrType>(std::clamp(type_->checkedId(), 0, 3));
    e.Method = static_cast<TAttrMethod>(std::clamp(method_->checkedId(), 0, 7));
    e.CenterlineKind = std::clamp(centre_->checkedId(), 0, 2);
    e.KnownParameterText = parameter_->text().toStdString();
    e.StdErrorsText = stdErr_->text().toStdString();
    for (std::size_t i = 0; i < 3; ++i) {
        e.UserChecked[i] = userChecks_[i]->isChecked();
        e.UserTexts[i] = userEdits_[i]->text().toStdString();
    }
    e.AxisLabelColumn = std::max(0, axisLabels_->currentIndex());
    e.ReferenceLayout = ColumnCount() > 1 && tabWidget_->currentIndex() == 1;
    const Tab& tab = tabs_[e.ReferenceLayout ? 1 : 0];
    e.ConstantSampleSize = tab.constant->isChecked();
    e.SampleSizeText = tab.sample.edit->text().toStdString();
    e.SampleSizeColumn = tab.sample.column;
    e.SetColumn = tab.sets.edit->isHidden() ? 0 : tab.sets.column;
    for (int row = 0; row < tab.target->count(); ++row)
        (e.ReferenceLayout ? e.GroupingColumns : e.Measures).push_back(EntryColumn(tab.target->item(row)));
    e.MeasureColumn = tab.measure.column;

    const TAttrSetupOutcome outcome = StoreAttrSetup(e);
    if (!outcome.Stored) {
        if (!outcome.Message.empty())
            ShowError(outcome.Message);
        else if (!outcome.Told)
            Beep();
        return false;
    }
    if (!chartWindow_) chartWindow_ = new TAttrChart_Form(this, mainWindow_);
    chartWindow_->Reload();
    chartWindow_->ShowFrom(this, kToolReturnCaption);
    return true;
}

void TForm_AttrSetup::ReturnToMainForm() { BringBack(mainWindow_); }

} // namespace kivspc::gui
