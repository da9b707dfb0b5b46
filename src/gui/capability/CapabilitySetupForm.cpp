// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilitySetupForm.h"

#include "app/FormResize.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/SharedState.h"
#include "capability/CapabilitySetup.h"
#include "charts/ChartWindowParts.h"
#include "data/DataEditor.h"
#include "data/DataForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/ProcessIFForm.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Capability/Performance Setup";
// How the data editor and the analysis window name this window when they return to it.
const char* const kReturnCaption = "Capability/Performance Setup Form";

QGroupBox* RadioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items,
                      QButtonGroup*& group) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    group = new QButtonGroup(box);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(QString(name) + "_" + QString::number(i));
        radio->setChecked(i == 0);
        group->addButton(radio, i);
        column->addWidget(radio);
    }
    return box;
}

void ResetRadioGroup(QButtonGroup* group) {
    if (QAbstractButton* first = group->button(0)) first->setChecked(true);
}

} // namespace

TForm_CapabilitySetup::TForm_CapabilitySetup(QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Form_CapabilitySetup");
    setWindowTitle(kCaption);
    BuildControls();
    BuildMenus();
    BuildToolBar();
    FillColumnLists();
    NoteColumnsSeen();
    UpdateCaption();
    CentreOnScreen(this);
}

TForm_CapabilitySetup::~TForm_CapabilitySetup() {
    if (analysis_) delete analysis_.data();
}

void TForm_CapabilitySetup::BuildControls() {
    auto* central = new QWidget(this);
    dataList_ = MakeColumnList(central, "DataVarList", "Data Variables");
    measures_ = MakeColumnList(central, "ListBox_Measures", "Measures");
    groups_ = MakeColumnList(central, "ListBox_ChartGroups", "Groups/Streams");
    dataList_->setMinimumWidth(170);
    measures_->setMinimumWidth(170);
    groups_->setMinimumWidth(170);
    auto* dataLabel = new QLabel("Data Variables", central);
    dataLabel->setBuddy(dataList_);
    auto* measureLabel = new QLabel("Measures", central);
    measureLabel->setObjectName("Label_Measure");
    measureLabel->setBuddy(measures_);
    groupsLabel_ = new QLabel("Groups/Streams", central);
    groupsLabel_->setObjectName("Label_ChartGroups");
    groupsLabel_->setBuddy(groups_);

    const auto button = [central](const char* name, const QString& text, const QString& accessible) {
        return MakeMoveButton(central, name, text, accessible);
    };
    includeMeasure_ = button("IncludeBtnMeasure", ">", "Add to measures");
    excludeMeasure_ = button("ExcludeBtnMeasure", "<", "Remove from measures");
    excludeAllMeasure_ = button("ExcludeAllBtnMeasure", "<<", "Remove all measures");
    includeGroup_ = button("IncludeBtnChart", ">", "Add to groups/streams");
    excludeGroup_ = button("ExcludeBtnChart", "<", "Remove from groups/streams");
    excludeAllGroup_ = button("ExcludeAllBtnChart", "<<", "Remove all groups/streams");
    connect(includeMeasure_, &QPushButton::clicked, this,
            [this] { MoveEntries(dataList_, measures_, false); });
    connect(excludeMeasure_, &QPushButton::clicked, this,
            [this] { MoveEntries(measures_, dataList_, false); });
    connect(excludeAllMeasure_, &QPushButton::clicked, this,
            [this] { MoveEntries(measures_, dataList_, true); });
    connect(includeGroup_, &QPushButton::clicked, this, [this] { MoveEntries(dataList_, groups_, false); });
    connect(excludeGroup_, &QPushButton::clicked, this, [this] { MoveEntries(groups_, dataList_, false); });
    connect(excludeAllGroup_, &QPushButton::clicked, this, [this] { MoveEntries(groups_, dataList_, true); });

    sampleLabel_ = new QLabel("Sample Variable", central);
    sampleLabel_->setObjectName("Label_SampleVar");
    sampleButton_ = new QToolButton(central);
    sampleButton_->setObjectName("SpeedButton_Sample");
    sampleButton_->setText(">");
    sampleButton_->setAccessibleName("Choose Sample Variable");
    sampleButton_->setFixedWidth(36);
    sampleEdit_ = new QLineEdit(central);
    sampleEdit_->setObjectName("Edit_Sample");
    sampleEdit_->setReadOnly(true);
    sampleEdit_->setAccessibleName("Sample Variable");
    sampleLabel_->setBuddy(sampleEdit_);
    InstallKeyFilter(sampleEdit_, KeyFilterKind::Integer);
    connect(sampleButton_, &QToolButton::clicked, this, &TForm_CapabilitySetup::SampleButtonClick);

    layoutBox_ = RadioGroup(
        central, "RadioGroup_Layout", "Multiple Measures Represent:",
        {"Different Variables in Columns", "Subgroups in Rows", "Process Streams", "Repeated Measures"},
        layout_);
    groupsBox_ = RadioGroup(central, "RadioGroup_Groups",
                            "Groups Represent:", {"Analysis Groups", "Process Streams"}, groupsKind_);
    connect(layout_, &QButtonGroup::idClicked, this, &TForm_CapabilitySetup::LayoutClick);
    connect(groupsKind_, &QButtonGroup::idClicked, this, &TForm_CapabilitySetup::HideAnalysis);

    calcButton_ = new QPushButton("&Action", central);
    calcButton_->setObjectName("CalcButton");
    calcButton_->setToolTip("Display Results");
    calcButton_->setDefault(true);
    calcButton_->setAutoDefault(true);
    connect(calcButton_, &QPushButton::clicked, this, [this] { CalcButtonClick(); });

    auto buttons = [](std::initializer_list<QWidget*> items) {
        auto* column = new QVBoxLayout;
        column->addStretch();
        for (QWidget* w : items)
            column->addWidget(w);
        column->addStretch();
        return column;
    };
    auto top = [](QWidget* w) {
        auto* column = new QVBoxLayout;
        column->addWidget(w);
        column->addStretch();
        return column;
    };
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(sampleButton_);
    sampleRow->addWidget(sampleEdit_, 1);

    // Data Variables on the left; the measures, the groups and the sample column on the right,
    // each with its buttons between, and the two readings beside their lists.
    auto* grid = new QGridLayout;
    grid->addWidget(dataLabel, 0, 0);
    grid->addWidget(dataList_, 1, 0, 6, 1);
    grid->addWidget(measureLabel, 0, 2);
    grid->addLayout(buttons({includeMeasure_, excludeMeasure_, excludeAllMeasure_}), 1, 1);
    grid->addWidget(measures_, 1, 2);
    grid->addLayout(top(layoutBox_), 1, 3);
    grid->addWidget(groupsLabel_, 2, 2);
    grid->addLayout(buttons({includeGroup_, excludeGroup_, excludeAllGroup_}), 3, 1);
    grid->addWidget(groups_, 3, 2);
    grid->addLayout(top(groupsBox_), 3, 3);
    grid->addWidget(sampleLabel_, 4, 2);
    grid->addLayout(sampleRow, 5, 1, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(6, 0);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(3, layoutBox_->sizeHint().width());

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(calcButton_);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(grid, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);
    resize(720, 440);
}

void TForm_CapabilitySetup::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    auto item = [&](const char* name, const QString& text, auto slot) {
        QAction* a = file->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item("NewData1", "&New Data", [this] { ReturnHere(NewDataFrom(this, kReturnCaption)); });
    item("OpenDataFile1", "&Open Data File", [this] {
        HideAnalysis();
        ReturnHere(OpenDataFileFrom(this, kReturnCaption));
    });
    item("DataEditor1", "&Data Editor", [this] {
        ShowDataEditorFrom(this, kReturnCaption);
    })->setShortcut(Qt::Key_F4);
    item("ProcessIf1", "&Process If", [this] {
        ShowProcessIfDialog(this);
        if (DataForm()) DataForm()->UpdateStatusBar();
    })->setShortcut(Qt::Key_F8);

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kReturnCaption;
    menus.formResize = [this] { ToggleFormSize(this, resizeAction_, scale_); };
    menus.helpTopic = kHelpCapabilitySetup;
    menus.helpCaption = "&Help on Capability Setup";
    menus.helpItemName = "HelponOutputForm1";
    SetUpFormMenus(this, menus);
    // A recent file replaces the table: the analysis shown so far no longer belongs to it.
    for (QAction* a : file->actions())
        if (a->objectName().startsWith("MRFile"))
            connect(a, &QAction::triggered, this, [this] { HideAnalysis(); });
}

void TForm_CapabilitySetup::BuildToolBar() {
    const auto back = [this] { BringBack(mainWindow_); };
    resizeAction_ =
        AddSetupToolBar(this, {.ReturnToMain = back,
                               .OpenDataFile = [this] { ReturnHere(OpenDataFileFrom(this, kReturnCaption)); },
                               .DataEditor = [this] { ShowDataEditorFrom(this, kReturnCaption); },
                               .Resize = [this] { ToggleFormSize(this, resizeAction_, scale_); },
                               .HelpTopic = kHelpCapabilitySetup,
                               .EditTools = false,
                               .DataEditorName = "ToolButton1"})
            .Resize;
}

bool TForm_CapabilitySetup::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TForm_CapabilitySetup::closeEvent(QCloseEvent* e) {
    // The window is kept: closing only hides it.
    e->accept();
}

void TForm_CapabilitySetup::NoteColumnsSeen() {
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
}

void TForm_CapabilitySetup::FormActivate() {
    EnsureDataForm();
    const bool changed = ColumnChangeCount != seenColumnChanges_ || NewTableCount != seenNewTables_;
    NoteColumnsSeen();
    // Without data the lists would offer columns of a table that is gone.
    if (changed || !HasData()) FillColumnLists();
    UpdateCaption();
}

void TForm_CapabilitySetup::UpdateCaption() { setWindowTitle(SetupCaption(kCaption)); }

void TForm_CapabilitySetup::ReturnHere(bool opened) {
    if (!opened) return;
    FillColumnLists();
    NoteColumnsSeen();
    UpdateCaption();
}

void TForm_CapabilitySetup::FillColumnLists() {
    dataList_->clear();
    measures_->clear();
    groups_->clear();
    sampleColumn_ = 0;
    sampleEdit_->clear();
    sampleButton_->setText(">");
    const int columns = ColumnCount();
    // A single column can only be the measure.
    QListWidget* target = columns == 1 ? measures_ : dataList_;
    for (int c = 1; c <= columns; ++c)
        target->addItem(ColumnEntry(c));
    if (columns == 1) measures_->setFocus();
    UpdateSetupControls();
    HideAnalysis();
}

void TForm_CapabilitySetup::HideAnalysis() {
    if (analysis_) analysis_->hide();
}

void TForm_CapabilitySetup::MoveEntries(QListWidget* from, QListWidget* to, bool all) {
    if (MoveColumnEntries(from, to, all)) HideAnalysis();
    UpdateSetupControls();
}

void TForm_CapabilitySetup::SampleButtonClick() {
    if (sampleColumn_ > 0) {
        ReturnSample();
    } else {
        QString name;
        sampleColumn_ = TakeFirstSelectedColumn(dataList_, name);
        if (sampleColumn_ == 0) return;
        sampleEdit_->setText(name);
        sampleButton_->setText("<");
    }
    HideAnalysis();
    UpdateSetupControls();
}

void TForm_CapabilitySetup::ReturnSample() {
    if (sampleColumn_ > 0) dataList_->addItem(ColumnEntry(sampleColumn_));
    sampleColumn_ = 0;
    sampleEdit_->clear();
    sampleButton_->setText(">");
}

void TForm_CapabilitySetup::LayoutClick() {
    // Rows that are subgroups bring their own size: a sample column has nothing to add.
    if (layout_->checkedId() == kLayoutSubgroupsInRows) ReturnSample();
    HideAnalysis();
    UpdateSetupControls();
}

void TForm_CapabilitySetup::UpdateSetupControls() {
    const int columns = ColumnCount();
    includeMeasure_->setEnabled(dataList_->count() > 0);
    includeGroup_->setEnabled(dataList_->count() > 0);
    excludeMeasure_->setEnabled(measures_->count() > 0);
    excludeAllMeasure_->setEnabled(measures_->count() > 0);
    excludeGroup_->setEnabled(groups_->count() > 0);
    excludeAllGroup_->setEnabled(groups_->count() > 0);

    const bool groupControls = columns >= 2;
    for (QWidget* w : {static_cast<QWidget*>(groups_), static_cast<QWidget*>(groupsLabel_),
                       static_cast<QWidget*>(includeGroup_), static_cast<QWidget*>(excludeGroup_),
                       static_cast<QWidget*>(excludeAllGroup_)})
        SetShown(w, groupControls);

    const bool severalMeasures = measures_->count() >= 2;
    if (!severalMeasures) ResetRadioGroup(layout_);
    SetShown(layoutBox_, severalMeasures);
    const bool hasGroups = groups_->count() > 0;
    if (!hasGroups) ResetRadioGroup(groupsKind_);
    SetShown(groupsBox_, hasGroups);

    const bool inRows = severalMeasures && layout_->checkedId() == kLayoutSubgroupsInRows;
    const bool sampleControls = columns >= 2 && !inRows;
    for (QWidget* w : {static_cast<QWidget*>(sampleLabel_), static_cast<QWidget*>(sampleButton_),
                       static_cast<QWidget*>(sampleEdit_)})
        SetShown(w, sampleControls);

    calcButton_->setEnabled(measures_->count() > 0);
}

bool TForm_CapabilitySetup::CalcButtonClick() {
    if (measures_->count() == 0) return false;
    TCapabilityChoice choice;
    for (int row = 0; row < measures_->count(); ++row)
        choice.Measures.push_back(EntryColumn(measures_->item(row)));
    for (int row = 0; row < groups_->count(); ++row)
        choice.Groups.push_back(EntryColumn(groups_->item(row)));
    choice.SampleColumn = sampleColumn_;
    choice.LayoutIndex = layoutBox_->isHidden() ? 0 : layout_->checkedId();
    choice.GroupsIndex = groupsBox_->isHidden() ? 0 : groupsKind_->checkedId();

    StatErrorCode = 0;
    if (!StoreCapabilitySetup(choice) || StatErrorCode != 0) {
        Beep();
        return false;
    }
    if (!analysis_) analysis_ = new TForm_CapabilityPlot(mainWindow_);
    analysis_->ShowCapabilityAnalysis(this, kReturnCaption);
    return true;
}

} // namespace kivspc::gui
