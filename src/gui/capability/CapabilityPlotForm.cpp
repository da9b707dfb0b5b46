// SPDX-License-Identifier: GPL-3.0-or-later
#include "capability/CapabilityPlotForm.h"

#include "capability/CapabilitySummaryForm.h"

#include "app/FormShell.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/Platform.h"
#include "capability/DistCalcForm.h"
#include "capability/FixedDistParamForm.h"
#include "charts/ChartScene.h"
#include "charts/ChartTitles.h"
#include "charts/ChartView.h"
#include "charts/ChartWindowParts.h"
#include "charts/GraphDia.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"
#include "stats/Fit.h"
#include "stats/SampleBuffer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Capability/Performance & Distribution Analysis";
constexpr int kRowHeight = 20;
constexpr int kSeparatorHeight = 5;

} // namespace

TForm_CapabilityPlot::TForm_CapabilityPlot(QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Form_CapabilityPlot");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(BuildGraphPanel(splitter));
    splitter->addWidget(BuildTablePanel(splitter));
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({700, 340});
    setCentralWidget(splitter);
    BuildMenus();
    UpdateVisibility();
    setMinimumWidth(960);
    resize(1080, 700);
}

TForm_CapabilityPlot::~TForm_CapabilityPlot() = default;

QWidget* TForm_CapabilityPlot::BuildGraphPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    pages_ = new QTabBar(panel);
    pages_->setObjectName("PageControl1");
    pages_->setAccessibleName("Graph pages");
    pages_->addTab("Histogram");
    pages_->addTab("Probability Plot");
    chart_ = new TChartView(panel);
    chart_->setMinimumSize(420, 300);

    fixX_ = new QCheckBox("&Constant &X Axis", panel);
    fixX_->setObjectName("CheckBox_FixX");
    fixX_->setVisible(false);
    interpolate_ = new QCheckBox("Interpolate", panel);
    interpolate_->setObjectName("CheckBox_Interpolate");
    distCalc_ = new QPushButton("Distribution Calculations", panel);
    distCalc_->setObjectName("Button_DistCalc");
    setParameters_ = new QPushButton("Set Distribution Parameters", panel);
    setParameters_->setObjectName("Button1");
    connect(distCalc_, &QPushButton::clicked, this, [this] {
        TForm_DistCalc* calc = DistCalcWindow();
        calc->show();
        calc->raise();
        calc->activateWindow();
    });
    connect(setParameters_, &QPushButton::clicked, this,
            [this] { FixedParamWindow()->LoadFittedParameters(distribution_->currentIndex()); });

    pageControls_ = new QStackedWidget(panel);
    pageControls_->addWidget(BuildHistogramControls(pageControls_));
    pageControls_->addWidget(BuildProbabilityControls(pageControls_));
    pageControls_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(fixX_);
    bottom->addWidget(interpolate_);
    bottom->addStretch();
    auto* summary = new QPushButton("Capability &Summary", panel);
    summary->setObjectName("Button_Summary");
    summary->setToolTip("The control charts, histogram, probability plot and indices on one page");
    connect(summary, &QPushButton::clicked, this, [this] { ShowSummary(); });
    bottom->addWidget(summary);
    bottom->addWidget(distCalc_);
    bottom->addWidget(setParameters_);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 0, 4);
    layout->addWidget(pages_);
    layout->addWidget(chart_, 1);
    layout->addWidget(pageControls_);
    layout->addLayout(bottom);

    connect(pages_, &QTabBar::currentChanged, this, [this](int page) {
        pageControls_->setCurrentIndex(page);
        UpdateVisibility();
        RedrawCapabilityGraph();
    });
    connect(fixX_, &QCheckBox::toggled, this, [this](bool on) {
        constantAxis_ = on;
        RedrawCapabilityGraph();
    });
    connect(interpolate_, &QCheckBox::toggled, this, [this](bool on) {
        analysis_.Options.Interpolate = on;
        SelectGroup(groups_->currentRow());
    });
    connect(chart_, &TChartView::titleClicked, this, [this] { EditChartTitles(chart_, this); });
    connect(chart_, &TChartView::mouseDoubleClick, this, [this](QMouseEvent*) { CopyChart(chart_); });
    connect(chart_, &TChartView::zoomChanged, this, [this](bool zoomed) {
        zoomOut_->setEnabled(zoomed);
        zoomOutTool_->setEnabled(zoomed);
    });
    return panel;
}

QWidget* TForm_CapabilityPlot::BuildHistogramControls(QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* type = new QGroupBox("&Type", page);
    type->setObjectName("RadioGroup_Type");
    histogram_ = new QRadioButton("Histograms", type);
    polygon_ = new QRadioButton("Frequency Polygons", type);
    histogram_->setChecked(true);
    auto* typeLayout = new QVBoxLayout(type);
    typeLayout->setContentsMargins(6, 2, 6, 2);
    typeLayout->addWidget(histogram_);
    typeLayout->addWidget(polygon_);

    const auto entry = [this, page](const char* checkName, const char* caption, const char* editName,
                                    const char* labelName, KeyFilterKind keys, QCheckBox*& check,
                                    QLineEdit*& edit, QLabel*& used) {
        check = new QCheckBox(caption, page);
        check->setObjectName(checkName);
        edit = new QLineEdit("0", page);
        edit->setObjectName(editName);
        edit->setAccessibleName(QString(caption).remove('&'));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("-0000.00000") + 12);
        edit->setVisible(false);
        InstallKeyFilter(edit, keys);
        used = new QLabel(page);
        used->setObjectName(labelName);
        connect(check, &QCheckBox::toggled, this, [this, edit](bool on) {
            edit->setVisible(on);
            RedrawCapabilityGraph();
        });
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            reportProblem_ = true;
            RedrawCapabilityGraph();
        });
    };
    entry("CheckBox_IS", "&Interval Size", "Edit_IntervalSize", "Label_ISize", KeyFilterKind::UnsignedReal,
          intervalCheck_, intervalEdit_, sizeUsed_);
    entry("CheckBox_FI", "First Midpoint", "Edit_FInterval", "Label_FI", KeyFilterKind::SignedReal,
          firstCheck_, firstEdit_, firstUsed_);

    auto* grid = new QGridLayout;
    grid->addWidget(intervalCheck_, 0, 0);
    grid->addWidget(intervalEdit_, 0, 1);
    grid->addWidget(sizeUsed_, 0, 2);
    grid->addWidget(firstCheck_, 1, 0);
    grid->addWidget(firstEdit_, 1, 1);
    grid->addWidget(firstUsed_, 1, 2);
    grid->setColumnStretch(2, 1);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(type);
    layout->addLayout(grid, 1);
    connect(polygon_, &QRadioButton::toggled, this, [this] { RedrawCapabilityGraph(); });
    return page;
}

QWidget* TForm_CapabilityPlot::BuildProbabilityControls(QWidget* parent) {
    auto* page = new QWidget(parent);
    linear_ = new QCheckBox("Linear Plot", page);
    linear_->setObjectName("CheckBox_Linear");
    paper_ = new QCheckBox("&Probability Axis", page);
    paper_->setObjectName("CheckBox_ProbabilityAxis");
    paper_->setToolTip("Show the proportions on normal probability paper");
    pointSize_ = new QScrollBar(Qt::Horizontal, page);
    pointSize_->setObjectName("ScrollBar_PointSize");
    pointSize_->setAccessibleName("Point size");
    pointSize_->setRange(1, 25);
    pointSize_->setValue(4);
    pointSize_->setFixedWidth(120);
    pointSize_->setToolTip("Set Point Size = 4");
    pointSizeLabel_ = new QLabel("Point Size:", page);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(linear_);
    layout->addWidget(paper_);
    layout->addStretch();
    layout->addWidget(pointSizeLabel_);
    layout->addWidget(pointSize_);
    connect(linear_, &QCheckBox::toggled, this, [this] { RedrawCapabilityGraph(); });
    connect(paper_, &QCheckBox::toggled, this, [this] { RedrawCapabilityGraph(); });
    connect(pointSize_, &QScrollBar::valueChanged, this, [this](int size) {
        pointSize_->setToolTip("Set Point Size = " + QString::number(size));
        RedrawCapabilityGraph();
    });
    return page;
}

QWidget* TForm_CapabilityPlot::BuildTablePanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    groups_ = new QListWidget(panel);
    groups_->setObjectName("ListBox_Selection");
    groups_->setAccessibleName("Groups");
    groups_->setMaximumHeight(120);

    distributionLabel_ = new QLabel("Distribution", panel);
    distributionLabel_->setObjectName("Label_Distribution");
    distribution_ = new QComboBox(panel);
    distribution_->setObjectName("ComboBox_Dist");
    distribution_->setAccessibleName("Distribution");
    for (int k = 0; k < kDistKinds; ++k)
        distribution_->addItem(DistKindName(k));
    distributionLabel_->setBuddy(distribution_);
    decimals_ = new QSpinBox(panel);
    decimals_->setObjectName("DecimalSpinEdit1");
    decimals_->setAccessibleName("Decimals");
    decimals_->setRange(1, 9);
    decimals_->setValue(analysis_.Options.Decimals);
    auto* decimalsLabel = new QLabel("Decimal:", panel);
    decimalsLabel->setBuddy(decimals_);

    const auto check = [this, panel](const char* name, const char* text, bool TCapabilityOptions::*field) {
        auto* box = new QCheckBox(text, panel);
        box->setObjectName(name);
        box->setChecked(analysis_.Options.*field);
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
            analysis_.Options.*field = on;
            BuildTable();
        });
        checks_[name] = box;
        return box;
    };
    auto* stats = check("CheckBox_ViewStats", "Stats", &TCapabilityOptions::ShowStats);
    auto* params = check("CheckBox_ViewParam", "Parameters", &TCapabilityOptions::ShowParameters);
    auto* fit = check("CheckBox_Fit", "Fit", &TCapabilityOptions::ShowFit);
    auto* cap = check("CheckBox_Cap", "Capability", &TCapabilityOptions::ShowCapability);

    capability_ = new QRadioButton("Capability", panel);
    capability_->setObjectName("RadioButton_Cap");
    capability_->setChecked(true);
    performance_ = new QRadioButton("Performance", panel);
    performance_->setObjectName("RadioButton_Per");

    table_ = new QTableWidget(0, 2, panel);
    table_->setObjectName("StringGrid_Param");
    table_->setAccessibleName("Statistics");
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setMinimumSectionSize(1);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setWordWrap(false);
    table_->setShowGrid(true);

    auto* grid = new QGridLayout;
    grid->addWidget(distributionLabel_, 0, 0);
    grid->addWidget(distribution_, 0, 1, 1, 3);
    grid->addWidget(decimalsLabel, 1, 0);
    grid->addWidget(decimals_, 1, 1);
    grid->addWidget(capability_, 1, 2);
    grid->addWidget(performance_, 1, 3);
    grid->addWidget(stats, 2, 0);
    grid->addWidget(params, 2, 1);
    grid->addWidget(fit, 2, 2);
    grid->addWidget(cap, 2, 3);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 4, 4, 4);
    layout->addWidget(groups_);
    layout->addLayout(grid);
    layout->addWidget(table_, 1);

    connect(groups_, &QListWidget::currentRowChanged, this, &TForm_CapabilityPlot::SelectGroup);
    connect(groups_, &QListWidget::itemActivated, this, [this] { SelectGroup(groups_->currentRow()); });
    connect(distribution_, &QComboBox::currentIndexChanged, this, &TForm_CapabilityPlot::DistributionChanged);
    connect(decimals_, &QSpinBox::valueChanged, this, [this](int d) {
        analysis_.Options.Decimals = d;
        BuildTable();
    });
    connect(capability_, &QRadioButton::toggled, this, [this] { ModeChanged(); });
    connect(table_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* copy = menu.addAction("&Copy", this, &TForm_CapabilityPlot::CopyTableSelection);
        copy->setObjectName("Copy2");
        QAction* paste = menu.addAction("&Paste", this, [] { ShowError("Paste Not Yet Available!"); });
        paste->setObjectName("Paste1");
        menu.exec(table_->viewport()->mapToGlobal(at));
    });
    return panel;
}

void TForm_CapabilityPlot::BuildMenus() {
    const TChartCommands commands =
        AddChartCommands(this, {.Chart = chart_,
                                .MainWindow = mainWindow_,
                                .ReturnHint = "Return to Main Form",
                                .Return = [this] { ReturnToCaller(); },
                                .EditTitles = [this] { EditChartTitles(chart_, this); },
                                .Redraw = [this] { RedrawCapabilityGraph(); },
                                .HelpTopic = kHelpCapabilityAnalysis});
    returnItem_ = commands.ReturnItem;
    returnTool_ = commands.ReturnTool;
    zoomOut_ = commands.ZoomOut;
    zoomOutTool_ = commands.ZoomOutTool;
    zoomOut_->setEnabled(false);
    zoomOutTool_->setEnabled(false);
    QMenu* view = commands.View;
    const auto option = [this, view](const char* name, const QString& text, bool checked) {
        options_[name] = AddOption(view, name, text, checked, [this](bool) { RedrawCapabilityGraph(); });
    };
    option("AddFileModificationstoChart1", "Add File &Modifications to Chart", false);
    option("Relative1", "&Relative Frequencies", false);
    option("DisplayProcessLimits", "Display Process &Limits", false);
    option("DisplaySpecifications", "&Display Specifications", true);
    view->addSeparator();
    QAction* summary = view->addAction("Capability &Summary", this, [this] { ShowSummary(); });
    summary->setObjectName("CapabilitySummary1");

    FormMenus menus;
    menus.fileMenu = commands.File;
    menus.returnCaption = kCaption;
    menus.helpTopic = kHelpCapabilityAnalysis;
    menus.helpCaption = "&Help on Capability Analysis";
    menus.helpItemName = "HelponOutputForm1";
    SetUpFormMenus(this, menus);
}

QCheckBox* TForm_CapabilityPlot::Check(const char* name) const {
    const auto it = checks_.find(name);
    return it == checks_.end() ? nullptr : it->second;
}

void TForm_CapabilityPlot::ShowCapabilityAnalysis(QWidget* setupWindow, const QString& caption) {
    caller_ = setupWindow;
    builtChanges_ = ColumnChangeCount;
    {
        BusyCursor busy;
        // Parameters fixed for an earlier analysis do not carry over to new data.
        FitState.FixedKind = 0;
        DistKind = analysis_.Options.CapabilityMode ? distribution_->currentIndex() : kDistNone;
        OpenCapabilityAnalysis(analysis_);
    }
    const QSignalBlocker block(groups_);
    groups_->clear();
    for (const std::string& text : analysis_.ListTexts())
        groups_->addItem(QString::fromStdString(text));
    if (groups_->count() > 0) groups_->setCurrentRow(0);
    fixX_->setVisible(groups_->count() > 1);
    RedrawCapabilityGraph();
    returnTool_->setToolTip("Return to " + caption);
    returnTool_->setText("Return to " + caption);
    returnItem_->setText("&Return to " + caption);
    UpdateCaption();
    BringBack(this);
}

void TForm_CapabilityPlot::SelectGroup(int row) {
    if (row < 0 || row >= groups_->count()) return;
    analysis_.Selected = row;
    {
        BusyCursor busy;
        SelectCurrentData(analysis_);
    }
    RedrawCapabilityGraph();
}

QAction* TForm_CapabilityPlot::ViewOption(const char* name) const {
    const auto it = options_.find(name);
    return it == options_.end() ? nullptr : it->second;
}

TGraphOptions TForm_CapabilityPlot::GraphOptions() const {
    TGraphOptions o;
    o.Specifications = ViewOption("DisplaySpecifications")->isChecked();
    o.ProcessLimits = ViewOption("DisplayProcessLimits")->isChecked();
    o.AddModifications = ViewOption("AddFileModificationstoChart1")->isChecked();
    o.Relative = ViewOption("Relative1")->isChecked();
    o.BlackAndWhite = ChartsBlackAndWhite;
    o.Polygon = polygon_->isChecked();
    o.ConstantX = constantAxis_;
    o.IntervalChecked = intervalCheck_->isChecked();
    o.IntervalText = intervalEdit_->text().toStdString();
    o.FirstChecked = firstCheck_->isChecked();
    o.FirstText = firstEdit_->text().toStdString();
    o.Linear = linear_->isChecked();
    o.ProbabilityPaper = paper_->isChecked();
    o.PointSize = pointSize_->value();
    return o;
}

TForm_CapabilitySummary* TForm_CapabilityPlot::ShowSummary() {
    if (groups_->count() == 0) return nullptr;
    if (!summary_) summary_ = new TForm_CapabilitySummary(this, mainWindow_);
    summary_->ShowSummary(analysis_, GraphOptions());
    // The summary drew the chosen group again: this window's page and table follow it.
    RedrawCapabilityGraph();
    return summary_;
}

void TForm_CapabilityPlot::RedrawCapabilityGraph() {
    // Every drawing builds the statistics table again.
    TChartScene scene;
    lastGraph_ = TGraphResult{};
    if (groups_->count() > 0) {
        BusyCursor busy;
        DistKind = analysis_.Options.CapabilityMode ? distribution_->currentIndex() : kDistNone;
        const TGraphOptions o = GraphOptions();
        lastGraph_ = pages_->currentIndex() == 0 ? DrawHistogram(analysis_, o, scene)
                                                 : DrawProbabilityPlot(analysis_, o, scene);
    }
    chart_->SetScene(std::move(scene));
    sizeUsed_->setText(QString::fromStdString(lastGraph_.SizeUsed));
    firstUsed_->setText(QString::fromStdString(lastGraph_.FirstUsed));
    FillTable(lastGraph_.Table);
    UpdateCalculatorTitles();
    if (reportProblem_ && !lastGraph_.Problem.empty()) ShowError(lastGraph_.Problem);
    reportProblem_ = false;
}

void TForm_CapabilityPlot::BuildTable() {
    std::vector<TStatRow> rows;
    if (groups_->count() > 0) {
        BusyCursor busy;
        DistKind = analysis_.Options.CapabilityMode ? distribution_->currentIndex() : kDistNone;
        rows = BuildStatisticsTable(analysis_);
    }
    FillTable(rows);
}

void TForm_CapabilityPlot::FillTable(const std::vector<TStatRow>& rows) {
    table_->clearContents();
    table_->setRowCount(static_cast<int>(rows.size()));
    const QFontMetrics metrics(table_->font());
    int widths[2] = {40, 40};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TStatRow& row = rows[static_cast<std::size_t>(r)];
        const QString cells[2] = {QString::fromStdString(row.Left), QString::fromStdString(row.Right)};
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!cells[c].isEmpty()) item->setBackground(Qt::white);
            if (row.Kind == TStatRowKind::FixedSet) {
                item->setBackground(Qt::red);
                item->setForeground(Qt::black);
            }
            if (c == 1 && row.Significant) item->setBackground(Qt::yellow);
            if (c == 1 && row.Kind != TStatRowKind::Note)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(cells[c]) + 10);
        }
        table_->setRowHeight(r, row.Kind == TStatRowKind::Separator ? kSeparatorHeight : kRowHeight);
    }
    table_->setColumnWidth(0, widths[0]);
    table_->setColumnWidth(1, widths[1]);
    // A table of one row says nothing worth showing.
    table_->setVisible(rows.size() > 1);
}

void TForm_CapabilityPlot::CopyTableSelection() {
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    if (ranges.isEmpty()) return;
    const QTableWidgetSelectionRange& range = ranges.front();
    QString text;
    for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
        for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
            if (c > range.leftColumn()) text += '\t';
            if (const QTableWidgetItem* item = table_->item(r, c)) text += item->text();
        }
        text += "\r\n";
    }
    QApplication::clipboard()->setText(text);
}

void TForm_CapabilityPlot::ModeChanged() {
    const bool capability = capability_->isChecked();
    analysis_.Options.CapabilityMode = capability;
    const QSignalBlocker block(distribution_);
    if (capability) {
        Check("CheckBox_Cap")->setText("Capability");
        distribution_->setCurrentIndex(savedDistKind_);
    } else {
        savedDistKind_ = distribution_->currentIndex();
        distribution_->setCurrentIndex(kDistNone);
        Check("CheckBox_Cap")->setText("Performance");
        // Both answer questions about a fitted model, which performance does not use.
        if (distCalcForm_) distCalcForm_->hide();
        if (fixedForm_) fixedForm_->hide();
    }
    DistKind = distribution_->currentIndex();
    UpdateVisibility();
    RedrawCapabilityGraph();
}

void TForm_CapabilityPlot::DistributionChanged(int index) {
    DistKind = index;
    // Parameters fixed by hand belong to the model they were set for.
    FitState.FixedKind = 0;
    if (fixedForm_) fixedForm_->hide();
    UpdateVisibility();
    RedrawCapabilityGraph();
}

void TForm_CapabilityPlot::UseFixedParameters(int distKind) {
    if (distKind >= 0) {
        const QSignalBlocker block(distribution_);
        distribution_->setCurrentIndex(distKind);
        DistKind = distKind;
    }
    UpdateVisibility();
    RedrawCapabilityGraph();
}

TForm_DistCalc* TForm_CapabilityPlot::DistCalcWindow() {
    if (!distCalcForm_) {
        distCalcForm_ = new TForm_DistCalc(this);
        distCalcForm_->SetPrepare([this] { return PrepareCalculation(); });
        UpdateCalculatorTitles();
    }
    return distCalcForm_;
}

TForm_FixedDistParam* TForm_CapabilityPlot::FixedParamWindow() {
    if (!fixedForm_) {
        fixedForm_ = new TForm_FixedDistParam(this);
        fixedForm_->SetUseDistribution([this](int distKind) { UseFixedParameters(distKind); });
    }
    return fixedForm_;
}

void TForm_CapabilityPlot::UpdateCalculatorTitles() {
    if (!distCalcForm_) return;
    distCalcForm_->SetDistributionTitle(distribution_->currentText());
    distCalcForm_->SetAnalysisTitle(QString::fromStdString(analysis_.AnalysisLabel));
}

bool TForm_CapabilityPlot::PrepareCalculation() {
    if (groups_->count() == 0) return false;
    BusyCursor busy;
    DistKind = analysis_.Options.CapabilityMode ? distribution_->currentIndex() : kDistNone;
    PrepareSample(analysis_);
    if (SampleN <= 0) return false;
    if (DistKind > kDistNone) FitDistribution();
    return true;
}

void TForm_CapabilityPlot::UpdateVisibility() {
    const bool capability = capability_->isChecked();
    const bool fitted = capability && distribution_->currentIndex() > kDistNone;
    distribution_->setVisible(capability);
    distributionLabel_->setVisible(capability);
    Check("CheckBox_Fit")->setVisible(fitted);
    Check("CheckBox_ViewParam")->setVisible(fitted);
    distCalc_->setVisible(fitted);
    setParameters_->setVisible(capability);
    linear_->setVisible(distribution_->currentIndex() > kDistNone && pages_->currentIndex() == 1);
}

void TForm_CapabilityPlot::ReturnToCaller() { BringBack(caller_ ? caller_.data() : mainWindow_); }

void TForm_CapabilityPlot::UpdateCaption() {
    const std::string& file = DataTable().FileName;
    const bool hasData = DataTable().RowCount() > 0;
    setWindowTitle(hasData && !file.empty() ? QString(kCaption) + " - " + QString::fromStdString(file)
                                            : QString(kCaption));
}

void TForm_CapabilityPlot::FormActivate() {
    if (builtChanges_ < 0) return;
    if (builtChanges_ != ColumnChangeCount) {
        // The columns changed: the analysis no longer fits the table; the setup starts again.
        builtChanges_ = -1;
        {
            const QSignalBlocker block(groups_);
            groups_->clear();
        }
        analysis_.Groups.clear();
        analysis_.HasAll = false;
        chart_->SetScene(TChartScene{});
        table_->setRowCount(0);
        hide();
        if (caller_) BringBack(caller_);
        return;
    }
    // Values may have changed while the window was in the background: the groups are formed again.
    analysis_.GroupsStale = true;
    SelectCurrentData(analysis_);
    zoomOut_->setEnabled(chart_->IsZoomed());
    zoomOutTool_->setEnabled(chart_->IsZoomed());
    UpdateCaption();
}

bool TForm_CapabilityPlot::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

} // namespace kivspc::gui
