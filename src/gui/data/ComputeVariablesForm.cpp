// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/ComputeVariablesForm.h"

#include "app/FormResize.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/NumberFormat.h"
#include "app/Platform.h"
#include "app/TextTools.h"
#include "charts/ChartWindowParts.h"
#include "data/ComputeVariables.h"
#include "data/DataForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Compute Variables from Sample Data";
const char* const kReturnCaption = "Compute Variables from Sample Data Form";

QPointer<TBkbox_Form> TheForm;

// The two "Generate BKB" dialogs' common frame: the caption, OK (default) and Cancel.
QPushButton* OkCancel(QDialog* dialog, QVBoxLayout* layout) {
    dialog->setWindowTitle("Generate BKB");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons->button(QDialogButtonBox::Ok);
}

} // namespace

TGetSubgroups_Form::TGetSubgroups_Form(const TSubgroupQuestion& q, QWidget* parent) : QDialog(parent) {
    setObjectName("GetSubgroups_Form");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        "Avg Sample Size per Run = " + QString::fromStdString(FormatFixed(1, q.AverageSize)), this));
    layout->addWidget(new QLabel("Min Sample Size per Run = " + QString::number(q.MinimumSize), this));
    layout->addWidget(new QLabel("Max Sample Size per Run = " + QString::number(q.MaximumSize), this));
    auto* row = new QHBoxLayout;
    auto* prompt = new QLabel("Enter Number of Subgroups per Run:", this);
    count_ = new QSpinBox(this);
    count_->setObjectName("SpinEdit1");
    count_->setRange(q.Lowest, q.Highest);
    count_->setValue(q.Initial);
    prompt->setBuddy(count_);
    InstallKeyFilter(count_, KeyFilterKind::Integer);
    row->addWidget(prompt);
    row->addWidget(count_);
    layout->addLayout(row);
    ok_ = OkCancel(this, layout);
    connect(count_, &QSpinBox::textChanged, this, [this](const QString& text) {
        ok_->setEnabled(!text.trimmed().isEmpty() && count_->value() != 0);
    });
}

TMinVar_Form::TMinVar_Form(const QString& runLabel, QWidget* parent) : QDialog(parent) {
    setObjectName("MinVar_Form");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Zero Variance in Run " + runLabel, this));
    auto* row = new QHBoxLayout;
    auto* prompt = new QLabel("Enter Minimum Range to use:", this);
    range_ = new QLineEdit(this);
    range_->setObjectName("Edit_MinRange");
    prompt->setBuddy(range_);
    InstallKeyFilter(range_, KeyFilterKind::UnsignedReal);
    row->addWidget(prompt);
    row->addWidget(range_);
    layout->addLayout(row);
    ok_ = OkCancel(this, layout);
    ok_->setEnabled(false);
    connect(range_, &QLineEdit::textChanged, this, [this] { ok_->setEnabled(Value() > 0); });
}

double TMinVar_Form::Value() const {
    double v = 0;
    const std::string text = TrimBlanks(range_->text().toStdString());
    return !text.empty() && ConvertNumber(text, v) && std::isfinite(v) ? v : 0;
}

TBkbox_Form::TBkbox_Form(QWidget* mainWindow) : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Bkbox_Form");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, true);
    AskSubgroups = [this](const TSubgroupQuestion& q) -> std::optional<int> {
        TGetSubgroups_Form dialog(q, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Count()->value();
    };
    AskMinimumRange = [this](const std::string& label) -> std::optional<double> {
        TMinVar_Form dialog(QString::fromStdString(label), this);
        if (dialog.exec() != QDialog::Accepted || !(dialog.Value() > 0)) return std::nullopt;
        return dialog.Value();
    };

    auto* central = new QWidget(this);
    tabs_ = new QTabWidget(central);
    tabs_->setObjectName("PageControl1");
    tabs_->addTab(BuildRunsTab(), "By Independent Variables");
    tabs_->addTab(BuildRowsTab(), "Across Rows");
    name_ = new QLineEdit(central);
    name_->setObjectName("Edit_Measure");
    name_->setAccessibleName("New Variable Name");
    auto* nameLabel = new QLabel("New Variable Name", central);
    nameLabel->setBuddy(name_);
    action_ = new QPushButton("&Action", central);
    action_->setObjectName("CalcButton");
    action_->setDefault(true);
    log_ = new QPlainTextEdit(central);
    log_->setObjectName("RichEdit1");
    log_->setAccessibleName("Log");
    log_->setReadOnly(true);
    log_->setMaximumHeight(130);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_, 1);
    nameRow->addWidget(action_);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(tabs_, 1);
    layout->addLayout(nameRow);
    layout->addWidget(log_);
    setCentralWidget(central);

    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        UpdateDefaultName();
        UpdateButtons();
    });
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Column names hold no blanks.
        if (!text.contains(' ')) return;
        const int at = name_->cursorPosition();
        QString fixed = text;
        fixed.replace(' ', '_');
        name_->setText(fixed);
        name_->setCursorPosition(at);
    });
    connect(action_, &QPushButton::clicked, this, [this] { CalcButtonClick(); });
    BuildMenus();
    FillLists();
    resize(760, 620);
    CentreOnScreen(this);
}

QWidget* TBkbox_Form::BuildRunsTab() {
    auto* page = new QWidget(tabs_);
    dataList_ = MakeColumnList(page, "DataVarList", "Data Variables");
    independents_ = MakeColumnList(page, "ListBox_Independent", "Independent Variables");
    dependentEdit_ = new QLineEdit(page);
    dependentEdit_->setObjectName("Edit_Dependent");
    dependentEdit_->setReadOnly(true);
    dependentEdit_->setAccessibleName("Dependent Variable");
    dependentButton_ = new QToolButton(page);
    dependentButton_->setObjectName("SpeedButton_Dependent");
    dependentButton_->setText(">");
    connect(dependentButton_, &QToolButton::clicked, this, &TBkbox_Form::DependentButtonClick);
    const auto button = [page](const char* name, const QString& text, const QString& accessible) {
        return MakeMoveButton(page, name, text, accessible);
    };
    QPushButton* include = button("IncludeBtn", ">", "Add to independent variables");
    QPushButton* includeAll = button("IncAllBtn", ">>", "Add every column to independent variables");
    QPushButton* exclude = button("ExcludeBtn", "<", "Remove from independent variables");
    QPushButton* excludeAll = button("ExAllBtn", "<<", "Remove all independent variables");
    const auto moved = [this] { UpdateButtons(); };
    connect(include, &QPushButton::clicked, this, [this, moved] {
        MoveColumnEntries(dataList_, independents_);
        moved();
    });
    connect(includeAll, &QPushButton::clicked, this, [this, moved] {
        MoveColumnEntries(dataList_, independents_, true);
        moved();
    });
    connect(exclude, &QPushButton::clicked, this, [this, moved] {
        MoveColumnEntries(independents_, dataList_);
        moved();
    });
    connect(excludeAll, &QPushButton::clicked, this, [this, moved] {
        MoveColumnEntries(independents_, dataList_, true);
        moved();
    });

    // The statistics in their four groups, one choice among all of them.
    runStatistic_ = new QButtonGroup(page);
    QGroupBox* boxes[4] = {};
    const char* const groups[4] = {"Dispersion Testing", "Standardizing", "Sample Statistics", "Ranking"};
    QVBoxLayout* columns[4] = {};
    for (int g = 0; g < 4; ++g) {
        boxes[g] = new QGroupBox(groups[g], page);
        columns[g] = new QVBoxLayout(boxes[g]);
        columns[g]->setSpacing(1);
    }
    for (int s = 0; s < kRunStatistics; ++s) {
        const std::string group = RunStatisticGroup(s);
        const int g =
            static_cast<int>(std::find(std::begin(groups), std::end(groups), group) - std::begin(groups));
        auto* radio = new QRadioButton(RunStatisticCaption(s), boxes[g]);
        radio->setObjectName("RadioButton_Stat" + QString::number(s));
        radio->setChecked(s == 0);
        runStatistic_->addButton(radio, s);
        columns[g]->addWidget(radio);
    }
    connect(runStatistic_, &QButtonGroup::idClicked, this, [this] { UpdateDefaultName(); });

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QWidget* w : {static_cast<QWidget*>(include), static_cast<QWidget*>(includeAll),
                       static_cast<QWidget*>(exclude), static_cast<QWidget*>(excludeAll)})
        buttons->addWidget(w);
    buttons->addStretch();
    auto* dependentRow = new QHBoxLayout;
    dependentRow->addWidget(dependentButton_);
    dependentRow->addWidget(dependentEdit_, 1);
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel("Data Variables", page), 0, 0);
    lists->addWidget(dataList_, 1, 0, 4, 1);
    lists->addWidget(new QLabel("Dependent Variable", page), 0, 2);
    lists->addLayout(dependentRow, 1, 1, 1, 2);
    lists->addWidget(new QLabel("Independent Variables", page), 2, 2);
    lists->addLayout(buttons, 3, 1);
    lists->addWidget(independents_, 3, 2);
    lists->setRowStretch(3, 1);
    auto* statistics = new QGridLayout;
    statistics->addWidget(boxes[0], 0, 0);
    statistics->addWidget(boxes[1], 1, 0);
    statistics->addWidget(boxes[2], 0, 1, 2, 1);
    statistics->addWidget(boxes[3], 2, 0);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(lists, 1);
    layout->addLayout(statistics);
    return page;
}

QWidget* TBkbox_Form::BuildRowsTab() {
    auto* page = new QWidget(tabs_);
    rowDataList_ = MakeColumnList(page, "DataVarList2", "Data Variables");
    rowSelected_ = MakeColumnList(page, "ListBox_Selected", "Selected Variables");
    const auto button = [page](const char* name, const QString& text, const QString& accessible) {
        return MakeMoveButton(page, name, text, accessible);
    };
    QPushButton* include = button("IncludeBtn2", ">", "Add to selected variables");
    QPushButton* includeAll = button("IncAllBtn2", ">>", "Add every column to selected variables");
    QPushButton* exclude = button("ExcludeBtn2", "<", "Remove from selected variables");
    QPushButton* excludeAll = button("ExAllBtn2", "<<", "Remove all selected variables");
    const auto move = [this](QListWidget* from, QListWidget* to, bool all) {
        MoveColumnEntries(from, to, all);
        UpdateDefaultName();
        UpdateButtons();
    };
    connect(include, &QPushButton::clicked, this, [this, move] { move(rowDataList_, rowSelected_, false); });
    connect(includeAll, &QPushButton::clicked, this,
            [this, move] { move(rowDataList_, rowSelected_, true); });
    connect(exclude, &QPushButton::clicked, this, [this, move] { move(rowSelected_, rowDataList_, false); });
    connect(excludeAll, &QPushButton::clicked, this,
            [this, move] { move(rowSelected_, rowDataList_, true); });

    auto* box = new QGroupBox("&Statistics", page);
    box->setObjectName("RadioGroup_Statistics");
    rowStatistic_ = new QButtonGroup(box);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(1);
    for (int s = 0; s < kRowStatistics; ++s) {
        auto* radio = new QRadioButton(RowStatisticCaption(s), box);
        radio->setObjectName("RadioGroup_Statistics_" + QString::number(s));
        radio->setChecked(s == 0);
        rowStatistic_->addButton(radio, s);
        column->addWidget(radio);
    }
    connect(rowStatistic_, &QButtonGroup::idClicked, this, [this] { UpdateDefaultName(); });

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QWidget* w : {static_cast<QWidget*>(include), static_cast<QWidget*>(includeAll),
                       static_cast<QWidget*>(exclude), static_cast<QWidget*>(excludeAll)})
        buttons->addWidget(w);
    buttons->addStretch();
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("Data Variables", page), 0, 0);
    grid->addWidget(rowDataList_, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(new QLabel("Selected Variables", page), 0, 2);
    grid->addWidget(rowSelected_, 1, 2);
    grid->addWidget(box, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

void TBkbox_Form::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    QAction* open = file->addAction("&Open Data File", this, [this] {
        if (OpenDataFileFrom(this, kReturnCaption)) FormActivate();
    });
    open->setObjectName("OpenDataFile1");
    QAction* editor =
        file->addAction("&Data Editor", this, [this] { ShowDataEditorFrom(this, kReturnCaption); });
    editor->setObjectName("DataEditor1");
    editor->setShortcut(Qt::Key_F4);
    QAction* close = file->addAction("&Close Form", this, &QWidget::close);
    close->setObjectName("CloseForm1");

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kReturnCaption;
    menus.formResize = [this] { ToggleFormSize(this, resizeAction_, scale_); };
    menus.helpTopic = kHelpComputeVariables;
    menus.helpCaption = "&Help on Compute Variables";
    menus.helpItemName = "HelponOutputForm1";
    SetUpFormMenus(this, menus);
    resizeAction_ = AddSetupToolBar(this, {.ReturnToMain = [this] { BringBack(mainWindow_); },
                                           .OpenDataFile =
                                               [this] {
                                                   if (OpenDataFileFrom(this, kReturnCaption)) FormActivate();
                                               },
                                           .DataEditor = [this] { ShowDataEditorFrom(this, kReturnCaption); },
                                           .Resize = [this] { ToggleFormSize(this, resizeAction_, scale_); },
                                           .HelpTopic = kHelpComputeVariables})
                        .Resize;
}

void TBkbox_Form::FillLists() {
    dataList_->clear();
    independents_->clear();
    rowDataList_->clear();
    rowSelected_->clear();
    dependent_ = 0;
    dependentEdit_->clear();
    dependentButton_->setText(">");
    for (int c = 1; c <= ColumnCount(); ++c) {
        dataList_->addItem(ColumnEntry(c));
        rowDataList_->addItem(ColumnEntry(c));
    }
    UpdateDefaultName();
    UpdateButtons();
}

void TBkbox_Form::FormActivate() {
    // The data editor keeps the undo steps of what this window adds.
    EnsureDataForm();
    if (ColumnChangeCount != seenColumnChanges_) FillLists();
    if (NewTableCount != seenNewTables_) log_->clear();
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    UpdateButtons();
}

bool TBkbox_Form::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TBkbox_Form::DependentButtonClick() {
    if (dependent_ > 0) {
        dataList_->addItem(ColumnEntry(dependent_));
        dependent_ = 0;
        dependentEdit_->clear();
        dependentButton_->setText(">");
    } else {
        QString name;
        dependent_ = TakeFirstSelectedColumn(dataList_, name);
        if (dependent_ == 0) {
            Beep();
            return;
        }
        dependentEdit_->setText(name);
        dependentButton_->setText("<");
    }
    UpdateDefaultName();
    UpdateButtons();
}

void TBkbox_Form::UpdateDefaultName() {
    if (tabs_->currentIndex() == 0) {
        name_->setText(
            QString::fromStdString(RunStatisticDefaultName(dependent_, runStatistic_->checkedId())));
    } else {
        const int s = rowStatistic_->checkedId();
        name_->setText(rowSelected_->count() > 1 ? QString::fromStdString(RowStatisticDefaultName(
                                                       s, rowCounters_[static_cast<std::size_t>(s)]))
                                                 : QString());
    }
}

void TBkbox_Form::UpdateButtons() {
    action_->setEnabled(tabs_->currentIndex() == 0 ? dependent_ > 0 : rowSelected_->count() > 1);
}

void TBkbox_Form::ChooseRunStatistic(int statistic) {
    if (QAbstractButton* b = runStatistic_->button(statistic)) b->click();
}

void TBkbox_Form::ChooseRowStatistic(int statistic) {
    if (QAbstractButton* b = rowStatistic_->button(statistic)) b->click();
}

void TBkbox_Form::AppendLog(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        log_->appendPlainText(QString::fromStdString(line));
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

bool TBkbox_Form::CalcButtonClick() {
    if (!action_->isEnabled()) return false;
    TComputeOutcome out;
    const std::string name = name_->text().trimmed().toStdString();
    if (tabs_->currentIndex() == 0) {
        TRunComputation q;
        q.Dependent = dependent_;
        for (int i = 0; i < independents_->count(); ++i)
            q.Independents.push_back(EntryColumn(independents_->item(i)));
        q.Statistic = runStatistic_->checkedId();
        q.Name = name;
        q.AskSubgroups = AskSubgroups;
        q.AskMinimumRange = AskMinimumRange;
        out = ComputeByRuns(q);
    } else {
        TRowComputation q;
        for (int i = 0; i < rowSelected_->count(); ++i)
            q.Columns.push_back(EntryColumn(rowSelected_->item(i)));
        q.Statistic = rowStatistic_->checkedId();
        q.Name = name;
        out = ComputeAcrossRows(q);
        if (out.Added) ++rowCounters_[static_cast<std::size_t>(q.Statistic)];
    }
    if (!out.Added) return false;
    AppendLog(out.Log);
    // The new column joins the lists; this window has seen the column change it made.
    dataList_->addItem(ColumnEntry(out.Column));
    if (tabs_->currentIndex() == 1) rowDataList_->addItem(ColumnEntry(out.Column));
    seenColumnChanges_ = ColumnChangeCount;
    if (DataForm()) DataForm()->UpdateStatusBar();
    UpdateDefaultName();
    return true;
}

TBkbox_Form* ShowComputeVariablesDialog(QWidget* mainWindow) {
    if (!TheForm) TheForm = new TBkbox_Form(mainWindow);
    TheForm->FormActivate();
    BringBack(TheForm);
    return TheForm;
}

} // namespace kivspc::gui
