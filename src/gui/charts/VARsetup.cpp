// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARsetup.h"

#include "app/CommandIcons.h"
#include "app/EditCommands.h"
#include "app/FormResize.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/MissingValue.h"
#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "app/SharedState.h"
#include "app/TextTools.h"
#include "charts/ChartWindowParts.h"
#include "charts/VARchart.h"
#include "charts/VARchartForm.h"
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
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Variables Chart Setup";
const char* const kToolReturnCaption = "Variables Chart Setup Form";
const char* const kNone = "None";
const char* const kKnownSigma = "Known Std Dev";
const char* const kUserDefined = "User Defined";

QString ChartName(TChartKind chart) { return QString::fromUtf8(ChartKindName(chart)); }
QString Filled(int index, const QString& chartName) {
    return QString::fromStdString(FillLimitName(index, chartName.toStdString()));
}

// A spin edit left empty takes a fixed value rather than its last one.
class TDefaultingSpinBox : public QSpinBox {
public:
    TDefaultingSpinBox(int emptyValue, QWidget* parent) : QSpinBox(parent), emptyValue_(emptyValue) {}
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty())
            input = QString::number(emptyValue_);
        else
            QSpinBox::fixup(input);
    }

private:
    int emptyValue_;
};

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, const QString& accessibleName,
                    KeyFilterKind filter) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setFixedWidth(90);
    InstallKeyFilter(edit, filter);
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setAccessibleName(accessibleName);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setMinimumWidth(215);
    return combo;
}

void Fill(QComboBox* combo, const QStringList& items) {
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(0);
}

void Rename(QComboBox* combo, int index, const QString& text) {
    if (index < combo->count() && combo->itemText(index) != text) combo->setItemText(index, text);
}

// Position of a name in LimitMethodNames among the location methods (0-17); 0 when not found.
int LocationMethodOf(const QString& text) {
    for (int i = 0; i <= kMethodStdDevMedians; ++i)
        if (text == QString::fromUtf8(LimitMethodNames[static_cast<std::size_t>(i)])) return i;
    return kMethodNone;
}

// Position of a dispersion method (0-11 or 18-20), comparing the names with "@" filled.
int DispersionMethodOf(const QString& text, const QString& dispersionChart) {
    for (int i = 0; i <= kMethodStdDevDispersion; ++i) {
        if (i > kMethodAverageVariance && i < kMethodAverageMRDispersion) continue;
        if (text == Filled(i, dispersionChart)) return i;
    }
    return kMethodNone;
}

TChartKind ChartKindOf(const QString& text) {
    for (TChartKind kind : kSetupChartKinds)
        if (text == ChartName(kind)) return kind;
    return kChartNone;
}

QStringList IndividualMethods() {
    return {"Average MR", "Median MR", "Std Dev", kKnownSigma, "Centerline Only", kUserDefined, kNone};
}

} // namespace

TForm_VARsetup::TForm_VARsetup(QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Form_VARsetup");
    setWindowTitle(kCaption);
    BuildControls();
    BuildMenus();
    BuildToolBar();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
    ResetLists();
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    seenColumns_ = ColumnCount();
    CentreOnScreen(this);
}

TForm_VARsetup::~TForm_VARsetup() { FreeChartWindow(); }

QWidget* TForm_VARsetup::BuildListsPanel() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    dataList_ = MakeColumnList(panel, "DataVarList", "Data Variables");
    measures_ = MakeColumnList(panel, "ListBox_Measures", "Chart Variables");
    chartGroups_ = MakeColumnList(panel, "ListBox_ChartGroups", "Chart Groups");
    auto* dataLabel = new QLabel("Data Variables", panel);
    dataLabel->setBuddy(dataList_);
    measuresLabel_ = new QLabel("     Chart Variables", panel);
    measuresLabel_->setBuddy(measures_);
    groupsLabel_ = new QLabel("Chart Groups", panel);
    groupsLabel_->setBuddy(chartGroups_);

    const auto makeButton = [panel](const char* name, const QString& text, const QString& accessible) {
        return MakeMoveButton(panel, name, text, accessible);
    };
    includeMeasure_ = makeButton("IncludeBtnMeasure", ">", "Add to chart variables");
    excludeMeasure_ = makeButton("ExcludeBtnMeasure", "<", "Remove from chart variables");
    excludeAllMeasure_ = makeButton("ExcludeAllBtnMeasure", "<<", "Remove all chart variables");
    includeChart_ = makeButton("IncludeBtnChart", ">", "Add to chart groups");
    excludeChart_ = makeButton("ExcludeBtnChart", "<", "Remove from chart groups");
    excludeAllChart_ = makeButton("ExcludeAllBtnChart", "<<", "Remove all chart groups");
    connect(includeMeasure_, &QPushButton::clicked, this, [this] { MoveEntries(dataList_, measures_); });
    connect(excludeMeasure_, &QPushButton::clicked, this, [this] { MoveEntries(measures_, dataList_); });
    connect(excludeAllMeasure_, &QPushButton::clicked, this, [this] { MoveAll(measures_, dataList_); });
    connect(includeChart_, &QPushButton::clicked, this, [this] { MoveEntries(dataList_, chartGroups_); });
    connect(excludeChart_, &QPushButton::clicked, this, [this] { MoveEntries(chartGroups_, dataList_); });
    connect(excludeAllChart_, &QPushButton::clicked, this, [this] { MoveAll(chartGroups_, dataList_); });

    auto makeSingle = [&](const char* buttonName, const char* editName, const QString& accessible,
                          QToolButton*& button, QLineEdit*& edit) {
        button = new QToolButton(panel);
        button->setObjectName(buttonName);
        button->setText(">");
        button->setAccessibleName("Choose " + accessible);
        button->setFixedWidth(36);
        edit = new QLineEdit(panel);
        edit->setObjectName(editName);
        edit->setReadOnly(true);
        edit->setAccessibleName(accessible);
    };
    makeSingle("SpeedButton_Sample", "Edit_Sample", "Sample Variable", sampleButton_, sampleEdit_);
    makeSingle("SpeedButton_sets", "Edit_Sets", "Sets", setsButton_, setsEdit_);
    connect(sampleButton_, &QToolButton::clicked, this, &TForm_VARsetup::SampleButtonClick);
    connect(setsButton_, &QToolButton::clicked, this, &TForm_VARsetup::SetsButtonClick);
    sampleLabel_ = new QLabel("Sample Variable", panel);
    sampleLabel_->setObjectName("Label_Sample");
    setsLabel_ = new QLabel("Sets", panel);
    setsLabel_->setObjectName("Label_Sets");
    setsLabel_->setBuddy(setsEdit_);

    constantSize_ = new QCheckBox("Constant Sample Size", panel);
    constantSize_->setObjectName("CheckBox_Sample");
    connect(constantSize_, &QCheckBox::clicked, this, &TForm_VARsetup::ConstantSizeClick);
    sampleSize_ = new TDefaultingSpinBox(5, panel);
    sampleSize_->setObjectName("SpinEdit_SampleSize");
    sampleSize_->setRange(2, 999);
    sampleSize_->setValue(5);
    sampleSize_->setAccessibleName("Sample Size");
    InstallKeyFilter(sampleSize_, KeyFilterKind::Integer);

    layoutBox_ = new QGroupBox("Layout", panel);
    layoutBox_->setObjectName("RadioGroup_Layout");
    inColumns_ = new QRadioButton("Subgroups in Columns", layoutBox_);
    inRows_ = new QRadioButton("Subgroups in Rows", layoutBox_);
    inColumns_->setChecked(true);
    auto* layoutItems = new QVBoxLayout(layoutBox_);
    layoutItems->addWidget(inColumns_);
    layoutItems->addWidget(inRows_);
    connect(inColumns_, &QRadioButton::clicked, this, &TForm_VARsetup::LayoutClick);
    connect(inRows_, &QRadioButton::clicked, this, &TForm_VARsetup::LayoutClick);

    auto* measureButtons = new QVBoxLayout;
    measureButtons->addStretch();
    measureButtons->addWidget(includeMeasure_);
    measureButtons->addWidget(excludeMeasure_);
    measureButtons->addWidget(excludeAllMeasure_);
    measureButtons->addStretch();
    auto* chartButtons = new QVBoxLayout;
    chartButtons->addStretch();
    chartButtons->addWidget(includeChart_);
    chartButtons->addWidget(excludeChart_);
    chartButtons->addWidget(excludeAllChart_);
    chartButtons->addStretch();

    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(sampleButton_);
    sampleRow->addWidget(sampleEdit_, 1);
    sampleRow->addWidget(sampleSize_, 1);
    auto* setsRow = new QHBoxLayout;
    setsRow->addWidget(setsButton_);
    setsRow->addWidget(setsEdit_, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(measuresLabel_);
    right->addWidget(measures_, 2);
    right->addWidget(layoutBox_);
    right->addWidget(constantSize_);
    right->addWidget(sampleLabel_);
    right->addLayout(sampleRow);
    right->addWidget(groupsLabel_);
    right->addWidget(chartGroups_, 1);
    right->addWidget(setsLabel_);
    right->addLayout(setsRow);

    auto* middle = new QVBoxLayout;
    middle->addLayout(measureButtons, 2);
    middle->addSpacing(sampleSize_->sizeHint().height() * 4);
    middle->addLayout(chartButtons, 1);
    middle->addSpacing(sampleSize_->sizeHint().height() * 2);

    grid->addWidget(dataLabel, 0, 0);
    grid->addWidget(dataList_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addLayout(right, 0, 2, 2, 1);
    dataList_->setMinimumWidth(170);
    measures_->setMinimumWidth(170);
    return panel;
}

TForm_VARsetup::LimitGroup TForm_VARsetup::MakeLimitGroup(const QString& name, const QString& title,
                                                          const QStringList& names, bool signedValues) {
    LimitGroup group;
    group.box = new QGroupBox(title, this);
    group.box->setObjectName(name);
    auto* grid = new QGridLayout(group.box);
    const QStringList captions = {"UCL", "CL", "LCL"};
    for (int i = 0; i < 3; ++i) {
        group.check[i] = new QCheckBox(captions[i], group.box);
        group.check[i]->setObjectName("CheckBox_" + names[i].mid(5));
        group.check[i]->setChecked(true);
        group.edit[i] = MakeEdit(group.box, names[i].toUtf8().constData(), "", title + " " + captions[i],
                                 signedValues ? KeyFilterKind::SignedReal : KeyFilterKind::UnsignedReal);
        grid->addWidget(group.check[i], i, 0);
        grid->addWidget(group.edit[i], i, 1);
        connect(group.check[i], &QCheckBox::toggled, this, [this] { RefreshControls(); });
    }
    return group;
}

QWidget* TForm_VARsetup::BuildChartPanel() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* control) {
        label->setBuddy(control);
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row++, 1);
    };
    locChart_ = MakeCombo(panel, "ComboBox_LocChartType", "Location Chart Type");
    dispChart_ = MakeCombo(panel, "ComboBox_DispChartType", "Dispersion Chart Type");
    locCalc_ = MakeCombo(panel, "ComboBox_LocLimitCalc", "Location Limit Calculations");
    dispCalc_ = MakeCombo(panel, "ComboBox_DispCalc", "Dispersion Limit Calculations");
    locCL_ = MakeCombo(panel, "ComboBox_LocCL", "Location Centerline");
    dispCL_ = MakeCombo(panel, "ComboBox_DispCL", "Dispersion Centerline");
    addRow(new QLabel("Location Chart &Type", panel), locChart_);
    locCalcLabel_ = new QLabel("Location Limit Calculations", panel);
    addRow(locCalcLabel_, locCalc_);
    locCLLabel_ = new QLabel("Location Centerline", panel);
    addRow(locCLLabel_, locCL_);
    addRow(new QLabel("Dispersion Chart T&ype", panel), dispChart_);
    dispCalcLabel_ = new QLabel("Dispersion Limit Calculations", panel);
    addRow(dispCalcLabel_, dispCalc_);
    dispCLLabel_ = new QLabel("Dispersion Centerline", panel);
    addRow(dispCLLabel_, dispCL_);

    stdErr_ = MakeEdit(panel, "Edit_StdErr", "3", "Std Err", KeyFilterKind::UnsignedReal);
    stdErrLabel_ = new QLabel("&Std Err:", panel);
    addRow(stdErrLabel_, stdErr_);
    mrCount_ = new TDefaultingSpinBox(2, panel);
    mrCount_->setObjectName("SpinEdit_MR");
    mrCount_->setRange(2, 30);
    mrCount_->setValue(2);
    mrCount_->setAccessibleName("MR Count");
    mrCount_->setFixedWidth(90);
    InstallKeyFilter(mrCount_, KeyFilterKind::Integer);
    mrLabel_ = new QLabel("MR Count:", panel);
    addRow(mrLabel_, mrCount_);
    sigma_ = MakeEdit(panel, "Edit_Sigma", "", "Sigma", KeyFilterKind::UnsignedReal);
    sigmaLabel_ = new QLabel("Sigma:", panel);
    addRow(sigmaLabel_, sigma_);
    mu_ = MakeEdit(panel, "Edit_Mu", "", "Mu", KeyFilterKind::SignedReal);
    muLabel_ = new QLabel("Mu:", panel);
    addRow(muLabel_, mu_);

    locLimits_ = MakeLimitGroup("GroupBox_LocUser", "Location User Defined Limits",
                                {"Edit_UCL", "Edit_CL", "Edit_LCL"}, true);
    dispLimits_ = MakeLimitGroup("GroupBox_DispUser", "Dispersion User Defined Limits",
                                 {"Edit_DUCL", "Edit_DCL", "Edit_DLCL"}, false);
    auto* limits = new QHBoxLayout;
    limits->addWidget(locLimits_.box);
    limits->addWidget(dispLimits_.box);
    limits->addStretch();
    grid->addLayout(limits, row++, 0, 1, 2);

    positiveLimits_ = new QCheckBox("Positive Limits Only", panel);
    positiveLimits_->setObjectName("CheckBox_PositiveLimits");
    grid->addWidget(positiveLimits_, row++, 0, 1, 2);
    axisLabels_ = MakeCombo(panel, "ComboBox_AL", "Axis Labels");
    addRow(new QLabel("&Axis Labels:", panel), axisLabels_);
    grid->setRowStretch(row, 1);

    connect(locChart_, &QComboBox::currentIndexChanged, this, &TForm_VARsetup::LocChartChange);
    connect(dispChart_, &QComboBox::currentIndexChanged, this, &TForm_VARsetup::DispChartChange);
    connect(dispCalc_, &QComboBox::currentIndexChanged, this, &TForm_VARsetup::DispCalcChange);
    for (QComboBox* combo : {locCalc_, locCL_, dispCL_})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            if (!linking_) RefreshControls();
        });
    return panel;
}

void TForm_VARsetup::BuildControls() {
    auto* central = new QWidget(this);
    calcButton_ = new QPushButton("&Action", central);
    calcButton_->setObjectName("CalcButton");
    calcButton_->setToolTip("Display Results");
    calcButton_->setDefault(true);
    calcButton_->setAutoDefault(true);
    connect(calcButton_, &QPushButton::clicked, this, [this] { CalcButtonClick(); });

    auto* top = new QHBoxLayout;
    top->addWidget(BuildListsPanel(), 1);
    top->addSpacing(12);
    top->addWidget(BuildChartPanel());
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(calcButton_);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);
}

void TForm_VARsetup::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    auto item = [&](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    item(file, "NewData1", "&New Data", [this] { ReturnHere(NewDataFrom(this, kCaption)); });
    item(file, "OpenDataFile1", "&Open Data File", [this] { ReturnHere(OpenDataFileFrom(this, kCaption)); });
    item(file, "DataEditor1", "&Data Editor", [this] {
        ShowDataEditorFrom(this, kCaption);
    })->setShortcut(Qt::Key_F4);
    item(file, "ProcessIf1", "&Process If", [this] {
        ShowProcessIfDialog(this);
        if (DataForm()) DataForm()->UpdateStatusBar();
    })->setShortcut(Qt::Key_F8);
    file->addSeparator();
    item(file, "ReturntoMainForm1", "&Return to Main Form", &TForm_VARsetup::ReturnToMainForm);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    AddEditMenuCommands(edit, {EditCommand::Undo, EditCommand::Cut, EditCommand::Copy, EditCommand::Paste});

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kToolReturnCaption;
    menus.formResize = [this] { FormResizeClick(); };
    menus.helpTopic = kHelpVarSetup;
    menus.helpCaption = "&Help on Variables Chart Setup";
    menus.helpItemName = "HelponVariablesChartSetup1";
    SetUpFormMenus(this, menus);
}

void TForm_VARsetup::BuildToolBar() {
    const TSetupToolActions actions = AddSetupToolBar(
        this, {.ReturnToMain = [this] { ReturnToMainForm(); },
               .OpenDataFile = [this] { ReturnHere(OpenDataFileFrom(this, kToolReturnCaption)); },
               .DataEditor = [this] { ShowDataEditorFrom(this, kToolReturnCaption); },
               .Resize = [this] { FormResizeClick(); },
               .HelpTopic = kHelpVarSetup});
    copyAction_ = actions.Copy;
    pasteAction_ = actions.Paste;
    resizeAction_ = actions.Resize;
}

void TForm_VARsetup::FocusChanged(QWidget* now) {
    if (!copyAction_) return;
    bool inEdit = false;
    for (QWidget* w = now; w && !inEdit; w = w->parentWidget()) {
        if (w == this) break;
        inEdit = w == stdErr_ || w == sigma_ || w == mu_ || w == sampleSize_ || w == mrCount_;
        for (const LimitGroup* g : {&locLimits_, &dispLimits_})
            for (QLineEdit* e : g->edit)
                inEdit = inEdit || w == e;
    }
    copyAction_->setEnabled(inEdit);
    pasteAction_->setEnabled(inEdit);
}

bool TForm_VARsetup::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TForm_VARsetup::closeEvent(QCloseEvent* e) {
    // The window is kept: closing only hides it.
    e->accept();
}

void TForm_VARsetup::FormActivate() {
    const bool changed = ColumnChangeCount != seenColumnChanges_ || NewTableCount != seenNewTables_ ||
                         ColumnCount() != seenColumns_;
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    seenColumns_ = ColumnCount();
    if (changed || !HasData()) ResetLists();
    UpdateCaption();
}

void TForm_VARsetup::UpdateCaption() { setWindowTitle(SetupCaption(kCaption)); }

void TForm_VARsetup::ReturnHere(bool opened) {
    if (!opened) return;
    ResetLists();
    seenColumnChanges_ = ColumnChangeCount;
    seenNewTables_ = NewTableCount;
    seenColumns_ = ColumnCount();
    UpdateCaption();
}

void TForm_VARsetup::ResetLists() {
    FreeChartWindow();
    sampleColumn_ = 0;
    setsColumn_ = 0;
    sampleEdit_->clear();
    setsEdit_->clear();
    sampleButton_->setText(">");
    setsButton_->setText(">");
    dataList_->clear();
    measures_->clear();
    chartGroups_->clear();
    for (int c = 1; c <= ColumnCount(); ++c)
        dataList_->addItem(ColumnEntry(c));
    axisLabels_->clear();
    axisLabels_->addItem("        (Use Order Number)");
    for (int c = 1; c <= ColumnCount(); ++c)
        axisLabels_->addItem(QString::fromStdString(DataTable().ColumnName(c)));
    axisLabels_->setCurrentIndex(0);
    RefreshControls();
}

void TForm_VARsetup::FreeChartWindow() {
    if (chartWindow_) delete chartWindow_.data();
    chartWindow_ = nullptr;
}

void TForm_VARsetup::MoveEntries(QListWidget* from, QListWidget* to) {
    int firstRow = -1;
    for (int row = from->count() - 1; row >= 0; --row) {
        if (!from->item(row)->isSelected()) continue;
        to->addItem(from->takeItem(row));
        firstRow = row;
    }
    if (firstRow < 0) return;
    for (QListWidgetItem* item : to->selectedItems())
        item->setSelected(false);
    if (from->count() > 0) {
        from->clearSelection();
        const int row = std::min(firstRow, from->count() - 1);
        from->setCurrentRow(row);
        from->item(row)->setSelected(true);
        from->setFocus();
    }
    ListsChanged();
}

void TForm_VARsetup::MoveAll(QListWidget* from, QListWidget* to) {
    if (from->count() == 0) return;
    for (int row = 0; row < from->count(); ++row)
        from->item(row)->setSelected(true);
    MoveEntries(from, to);
}

void TForm_VARsetup::ReturnSingle(QLineEdit* box, QToolButton* button, int& column) {
    if (column > 0) dataList_->addItem(ColumnEntry(column));
    column = 0;
    box->clear();
    button->setText(">");
}

void TForm_VARsetup::SampleButtonClick() {
    if (sampleColumn_ > 0) {
        ReturnSingle(sampleEdit_, sampleButton_, sampleColumn_);
    } else {
        const auto chosen = dataList_->selectedItems();
        if (chosen.isEmpty()) return;
        QListWidgetItem* first = *std::min_element(chosen.begin(), chosen.end(), [this](auto* a, auto* b) {
            return dataList_->row(a) < dataList_->row(b);
        });
        sampleColumn_ = EntryColumn(first);
        sampleEdit_->setText(first->text().mid(2));
        delete dataList_->takeItem(dataList_->row(first));
        sampleButton_->setText("<");
    }
    // The chart kinds change with the mode; the centerlines follow.
    FreeChartWindow();
    RefreshControls();
    LinkDispersion();
    RefreshControls();
}

void TForm_VARsetup::SetsButtonClick() {
    if (setsColumn_ > 0) {
        ReturnSingle(setsEdit_, setsButton_, setsColumn_);
    } else {
        const auto chosen = dataList_->selectedItems();
        if (chosen.isEmpty()) return;
        QListWidgetItem* first = *std::min_element(chosen.begin(), chosen.end(), [this](auto* a, auto* b) {
            return dataList_->row(a) < dataList_->row(b);
        });
        setsColumn_ = EntryColumn(first);
        setsEdit_->setText(first->text().mid(2));
        delete dataList_->takeItem(dataList_->row(first));
        setsButton_->setText("<");
    }
    FreeChartWindow();
    RefreshControls();
}

void TForm_VARsetup::ConstantSizeClick() {
    if (constantSize_->isChecked() && sampleColumn_ > 0) {
        ReturnSingle(sampleEdit_, sampleButton_, sampleColumn_);
        FreeChartWindow();
    }
    RefreshControls();
}

void TForm_VARsetup::LayoutClick() {
    RefreshControls();
    LinkDispersion();
    RefreshControls();
}

void TForm_VARsetup::ListsChanged() {
    FreeChartWindow();
    const bool wasIndividual = filledMode_ == 1;
    RefreshControls();
    // A layout box that went away leaves the rows layout; its centerlines follow as for a click.
    if (wasIndividual != (filledMode_ == 1)) {
        LinkDispersion();
        RefreshControls();
    }
}

void TForm_VARsetup::LocChartChange() {
    if (linking_) return;
    const QString chart = locChart_->currentText();
    if (chart != kNone) {
        linking_ = true;
        locCL_->setCurrentIndex(chart == "Median" ? 1 : 0);
        RenameLocationMethods();
        if (dispCalc_->currentIndex() < locCalc_->count())
            locCalc_->setCurrentIndex(dispCalc_->currentIndex());
        linking_ = false;
        LinkDispersion();
    }
    RefreshControls();
}

void TForm_VARsetup::DispChartChange() {
    if (linking_) return;
    LinkDispersion();
    RefreshControls();
}

void TForm_VARsetup::DispCalcChange() {
    if (linking_) return;
    const QString text = dispCalc_->currentText();
    linking_ = true;
    dispCL_->setCurrentIndex(text.contains("Median") && !text.contains("of") ? 1 : 0);
    if (dispCalc_->currentIndex() < locCalc_->count()) locCalc_->setCurrentIndex(dispCalc_->currentIndex());
    linking_ = false;
    RefreshControls();
}

void TForm_VARsetup::LinkDispersion() {
    if (dispChart_->currentText() == kNone || dispChart_->count() == 0) return;
    linking_ = true;
    RenameDispersionItems();
    const int t = dispChart_->currentIndex();
    int position = 2 * t;
    if (locChart_->currentText() == "Median") {
        dispCL_->setCurrentIndex(1);
        if (t < 2) position = 2 * t + 1;
    } else {
        dispCL_->setCurrentIndex(0);
    }
    if (position < dispCalc_->count()) dispCalc_->setCurrentIndex(position);
    if (position < locCalc_->count()) locCalc_->setCurrentIndex(position);
    linking_ = false;
}

void TForm_VARsetup::FillChartCombos(bool individual) {
    if (individual) {
        Fill(locChart_, {ChartName(kChartX), kNone});
        Fill(dispChart_, {ChartName(kChartMovingRange), kNone});
        Fill(locCalc_, IndividualMethods());
        Fill(dispCalc_, IndividualMethods());
    } else {
        Fill(locChart_, {ChartName(kChartMean), ChartName(kChartMedian), kNone});
        Fill(dispChart_, {ChartName(kChartRange), ChartName(kChartStdDev), ChartName(kChartVariance), kNone});
        QStringList common = {"Average Range", "Median Range", "Average Std Dev", "Median Std Dev",
                              "Average Variance"};
        const QStringList tail = {kKnownSigma, "Centerline Only", kUserDefined, kNone};
        Fill(locCalc_,
             common + QStringList{"Average MR of Means", "Median MR of Means", "Std Dev of Means"} + tail);
        const QString d = ChartName(kChartRange);
        Fill(dispCalc_,
             common +
                 QStringList{Filled(kMethodAverageMRDispersion, d), Filled(kMethodMedianMRDispersion, d),
                             Filled(kMethodStdDevDispersion, d)} +
                 tail);
    }
    const QString loc = locChart_->currentText();
    Fill(locCL_, {Filled(22, loc), Filled(23, loc), "Known Mean"});
    const QString disp = dispChart_->currentText();
    Fill(dispCL_, {Filled(25, disp), Filled(26, disp), kKnownSigma});
    filledMode_ = individual ? 1 : 0;
}

void TForm_VARsetup::RenameLocationMethods() {
    const QString loc = locChart_->currentText();
    Rename(locCL_, 0, Filled(22, loc));
    Rename(locCL_, 1, Filled(23, loc));
    if (filledMode_ == 0 && (loc == ChartName(kChartMean) || loc == ChartName(kChartMedian))) {
        Rename(locCalc_, 5, "Average MR of " + loc + "s");
        Rename(locCalc_, 6, "Median MR of " + loc + "s");
        Rename(locCalc_, 7, "Std Dev of " + loc + "s");
    }
}

void TForm_VARsetup::RenameDispersionItems() {
    const QString disp = dispChart_->currentText();
    if (disp == kNone) return;
    Rename(dispCL_, 0, Filled(25, disp));
    Rename(dispCL_, 1, Filled(26, disp));
    if (filledMode_ == 0)
        for (int i = 0; i < 3; ++i)
            Rename(dispCalc_, 5 + i, Filled(kMethodAverageMRDispersion + i, disp));
}

bool TForm_VARsetup::IndividualMode() const { return filledMode_ == 1; }

void TForm_VARsetup::RefreshControls() {
    const bool wasLinking = linking_;
    linking_ = true;
    const int columns = ColumnCount();

    // The layout box exists only for several measures; hidden, it is back on columns.
    const bool layoutShown = measures_->count() > 1;
    if (!layoutShown && !inColumns_->isChecked()) inColumns_->setChecked(true);
    const bool inRows = layoutShown && inRows_->isChecked();
    measuresLabel_->setText(inRows ? "Subgroup Measures" : "     Chart Variables");
    measures_->setAccessibleName(inRows ? "Subgroup Measures" : "Chart Variables");

    const bool constantShown = (columns >= 2 && !inRows) || columns == 1;
    const bool constantOn = constantShown && constantSize_->isChecked();
    const bool sampleShown = columns >= 2 && !inRows && !constantSize_->isChecked();
    if (!sampleShown && sampleColumn_ > 0) {
        ReturnSingle(sampleEdit_, sampleButton_, sampleColumn_);
        FreeChartWindow();
    }

    // 1. The chart kinds of the mode.
    const bool individual = sampleColumn_ == 0 && !constantOn && !inRows;
    if ((individual ? 1 : 0) != filledMode_ || locChart_->count() == 0) FillChartCombos(individual);
    // 2. Names that follow the charts' names.
    RenameLocationMethods();
    RenameDispersionItems();

    // 3. Chart groups and sets need a second column.
    const bool several = columns > 1;
    for (QWidget* w :
         std::initializer_list<QWidget*>{chartGroups_, groupsLabel_, includeChart_, excludeChart_,
                                         excludeAllChart_, setsLabel_, setsButton_, setsEdit_})
        SetShown(w, several);

    // 4. Sample size or sample variable.
    SetShown(constantSize_, constantShown);
    SetShown(sampleSize_, constantOn);
    SetShown(sampleButton_, sampleShown);
    SetShown(sampleEdit_, sampleShown);
    SetShown(sampleLabel_, constantOn || sampleShown);
    sampleLabel_->setText(constantSize_->isChecked() ? "  Sample Size" : "Sample Variable");
    sampleLabel_->setBuddy(constantOn ? static_cast<QWidget*>(sampleSize_) : sampleEdit_);

    const QString loc = locChart_->currentText();
    const QString disp = dispChart_->currentText();
    const QString locCalc = locCalc_->currentText();
    const QString dispCalc = dispCalc_->currentText();
    // 9. Limit lists and centerlines.
    const bool locCalcShown = loc != kNone;
    const bool dispCalcShown = disp != kNone;
    const bool locCLShown = locCalcShown && locCalc != kNone && locCalc != kUserDefined;
    const bool dispCLShown = dispCalcShown && dispCalc != kNone && dispCalc != kUserDefined;
    SetShown(locCalc_, locCalcShown);
    SetShown(locCalcLabel_, locCalcShown);
    SetShown(locCL_, locCLShown);
    SetShown(locCLLabel_, locCLShown);
    SetShown(positiveLimits_, locCLShown);
    SetShown(dispCalc_, dispCalcShown);
    SetShown(dispCalcLabel_, dispCalcShown);
    SetShown(dispCL_, dispCLShown);
    SetShown(dispCLLabel_, dispCLShown);

    // 5. A known mean. A hidden centerline asks for nothing.
    const bool muShown = locCLShown && locCL_->currentText() == "Known Mean";
    SetShown(mu_, muShown);
    SetShown(muLabel_, muShown);
    // 6. A known sigma.
    const bool sigmaShown = (locCalcShown && locCalc == kKnownSigma) ||
                            (dispCalcShown && (dispCalc == kKnownSigma ||
                                               (dispCLShown && dispCL_->currentText() == kKnownSigma)));
    SetShown(sigma_, sigmaShown);
    SetShown(sigmaLabel_, sigmaShown);
    // 7. User-defined limits.
    const bool locUser = locCalcShown && locCalc == kUserDefined;
    const bool dispUser = dispCalcShown && dispCalc == kUserDefined;
    for (auto [group, shown] : {std::pair{&locLimits_, locUser}, std::pair{&dispLimits_, dispUser}}) {
        SetShown(group->box, shown);
        for (int i = 0; i < 3; ++i)
            SetShown(group->edit[i], shown && group->check[i]->isChecked());
    }
    // 8. Layout.
    SetShown(layoutBox_, layoutShown);
    // 10, 11. Standard errors and the moving range span.
    const bool stdErrShown = (locCalcShown && locCalc != kNone) || (dispCalcShown && dispCalc != kNone);
    SetShown(stdErr_, stdErrShown);
    SetShown(stdErrLabel_, stdErrShown);
    const bool mrShown = (locCalcShown && locCalc.contains("MR")) ||
                         (dispCalcShown && dispCalc.contains("MR")) || disp == ChartName(kChartMovingRange);
    SetShown(mrCount_, mrShown);
    SetShown(mrLabel_, mrShown);

    // Move buttons work while their source list has entries.
    includeMeasure_->setEnabled(dataList_->count() > 0);
    includeChart_->setEnabled(dataList_->count() > 0);
    excludeMeasure_->setEnabled(measures_->count() > 0);
    excludeAllMeasure_->setEnabled(measures_->count() > 0);
    excludeChart_->setEnabled(chartGroups_->count() > 0);
    excludeAllChart_->setEnabled(chartGroups_->count() > 0);
    // 12. Action.
    calcButton_->setEnabled((loc != kNone || disp != kNone) && measures_->count() > 0);
    linking_ = wasLinking;
}

bool TForm_VARsetup::ReadUserLimits(const LimitGroup& group, double values[3], const char* message) {
    std::array<bool, 3> checked{};
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < 3; ++i) {
        checked[i] = group.check[i]->isChecked();
        texts[i] = group.edit[i]->text().toStdString();
    }
    std::array<double, 3> read{};
    const bool ok = kivspc::ReadUserLimits(checked, texts, read);
    std::copy(read.begin(), read.end(), values);
    if (ok) return true;
    ShowError(message);
    // The first checked box whose text is no number takes the focus.
    for (std::size_t i = 0; i < 3; ++i) {
        double v = 0;
        if (checked[i] && !ConvertNumber(texts[i], v)) {
            group.edit[i]->setFocus();
            break;
        }
    }
    return false;
}

bool TForm_VARsetup::StoreSettings() {
    TVarChartSettings& s = VarChartSettings;
    const QString dispName = dispChart_->currentText();
    s.LocationChart = ChartKindOf(locChart_->currentText());
    s.DispersionChart = ChartKindOf(dispName);
    s.LocationMethod = static_cast<std::uint8_t>(LocationMethodOf(locCalc_->currentText()));
    s.DispersionMethod = static_cast<std::uint8_t>(DispersionMethodOf(dispCalc_->currentText(), dispName));
    s.LocationCenterline =
        static_cast<std::uint8_t>(s.LocationMethod == kMethodNone ? kCenterNone : locCL_->currentIndex() + 1);
    s.DispersionCenterline = static_cast<std::uint8_t>(
        s.DispersionMethod == kMethodNone ? kCenterNone : dispCL_->currentIndex() + 4);
    s.AxisLabelColumn = std::max(0, axisLabels_->currentIndex());
    s.PositiveLimitsOnly = positiveLimits_->isChecked();

    // The key filter lets through texts that are no number (empty, a lone ".") and 0, which puts
    // the limits on the centerline and flags every point: refuse them here rather than draw
    // limits from nothing.
    double k = 3;
    if (!stdErr_->isHidden()) {
        const auto read = ReadSetupNumber(TSetupNumber::StdErrors, stdErr_->text().toStdString());
        if (!read) {
            ShowError("Number of Standard Errors Not Valid!");
            stdErr_->setFocus();
            return false;
        }
        k = *read;
    } else if (double typed = 0;
               ConvertNumber(stdErr_->text().toStdString(), typed) && typed > 0 && std::isfinite(typed)) {
        k = typed;
    }
    s.StdErrors = k;
    s.StdErrorsText = stdErr_->isHidden() && stdErr_->text().trimmed().isEmpty()
                          ? std::string("3")
                          : stdErr_->text().toStdString();
    s.SampleSize = !constantSize_->isHidden() && constantSize_->isChecked() ? sampleSize_->value() : 0;
    s.MRCount = mrCount_->value();

    s.UseKnownSigma = false;
    if (!sigma_->isHidden()) {
        const auto sigma = ReadSetupNumber(TSetupNumber::KnownSigma, sigma_->text().toStdString());
        if (!sigma) {
            ShowError("Known Sigma Not Valid!");
            sigma_->setFocus();
            return false;
        }
        s.KnownSigma = *sigma;
        s.UseKnownSigma = true;
    }
    s.UseKnownMean = false;
    if (!mu_->isHidden()) {
        const auto mean = ReadSetupNumber(TSetupNumber::KnownMean, mu_->text().toStdString());
        if (!mean) {
            ShowError("Known Location Parameter Not Valid!");
            mu_->setFocus();
            return false;
        }
        s.KnownMean = *mean;
        s.UseKnownMean = true;
    }

    double limits[3] = {MissingValue, MissingValue, MissingValue};
    if (!locLimits_.box->isHidden() &&
        !ReadUserLimits(locLimits_, limits, "User Defined Location Limits Not Valid!"))
        return false;
    s.UserLocUCL = limits[0];
    s.UserLocCL = limits[1];
    s.UserLocLCL = limits[2];
    std::fill(std::begin(limits), std::end(limits), MissingValue);
    if (!dispLimits_.box->isHidden() &&
        !ReadUserLimits(dispLimits_, limits, "User Defined Dispersion Limits Not Valid!"))
        return false;
    s.UserDispUCL = limits[0];
    s.UserDispCL = limits[1];
    s.UserDispLCL = limits[2];

    // Which values form the points.
    const bool inRows = !layoutBox_->isHidden() && inRows_->isChecked();
    s.SampleSizeColumn = sampleColumn_;
    s.SetColumn = setsColumn_;
    s.DataLayout = static_cast<std::uint8_t>(DataLayoutFromChoices(
        chartGroups_->count() > 0, measures_->count() > 1, sampleColumn_ > 0, s.SampleSize > 0, inRows));

    s.Measures.fill(0);
    s.RunInfo.GroupColumnCount = 0;
    s.RunInfo.Clear();
    int first = kMaxColumns + 1, last = 0;
    for (int row = 0; row < measures_->count(); ++row) {
        const int col = EntryColumn(measures_->item(row));
        if (col < 1 || col > kMaxColumns) continue;
        s.Measures[static_cast<std::size_t>(col)] = 1;
        first = std::min(first, col);
        last = std::max(last, col);
    }
    s.RunInfo.FirstMeasure = last > 0 ? first : 0;
    s.RunInfo.LastMeasure = last;
    s.RunInfo.CurrentMeasure = s.RunInfo.FirstMeasure;
    s.RunInfo.MeasureLabel = "Value";
    const int groupColumns = std::min(chartGroups_->count(), kMaxColumns);
    s.RunInfo.GroupColumnCount = static_cast<std::int16_t>(groupColumns);
    for (int i = 1; i <= groupColumns; ++i)
        s.RunInfo.GroupColumns[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(EntryColumn(chartGroups_->item(i - 1)));
    // The groups are numbered now; a refusal has been explained to the user.
    if (groupColumns > 0 && PrepareGroups(s.RunInfo) == 0) return false;
    return true;
}

bool TForm_VARsetup::CalcButtonClick() {
    if (!calcButton_->isEnabled()) return false;
    if (!StoreSettings()) return false;
    {
        BusyCursor busy;
        BuildChartList();
    }
    // No chart has points: say why instead of opening an empty chart (a chart shown before goes,
    // since it no longer matches the settings).
    if (VarChart.ChartList.empty()) {
        const std::string reason = EmptyChartListReason();
        if (chartWindow_) {
            chartWindow_->Reload();
            chartWindow_->hide();
        }
        ShowError(reason);
        return false;
    }
    if (!chartWindow_) chartWindow_ = new TVARchart_Form(this, mainWindow_);
    chartWindow_->Reload();
    if (chartWindow_->isMinimized()) chartWindow_->showNormal();
    chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
    return true;
}

void TForm_VARsetup::ReturnToMainForm() { BringBack(mainWindow_); }

void TForm_VARsetup::FormResizeClick() { ToggleFormSize(this, resizeAction_, scale_); }

} // namespace kivspc::gui
