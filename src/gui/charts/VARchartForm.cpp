// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/VARchartForm.h"

#include "app/CommandIcons.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/Platform.h"
#include "charts/CCPointInfo.h"
#include "charts/CCPointInfoForm.h"
#include "charts/ChartScene.h"
#include "charts/ChartTitles.h"
#include "charts/ChartView.h"
#include "charts/ChartWindowParts.h"
#include "charts/ControlTestsForm.h"
#include "charts/GraphDia.h"
#include "charts/LabelTextInput.h"
#include "charts/VARchart.h"
#include "charts/VARchartScene.h"
#include "data/DataTable.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Variables Chart";

} // namespace

TVARchart_Form::TVARchart_Form(QWidget* setupWindow, QWidget* mainWindow)
    : QMainWindow(setupWindow, Qt::Window), setupWindow_(setupWindow), mainWindow_(mainWindow) {
    setObjectName("VARchart_Form");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    VarChartDisplay = TVarChartDisplay{};

    auto* splitter = new QSplitter(this);
    auto* left = new QWidget(splitter);
    charts_ = new QListWidget(left);
    charts_->setObjectName("ListBox_Charts");
    charts_->setAccessibleName("Charts");
    infoButton_ = new QPushButton("&Chart Information", left);
    infoButton_->setObjectName("Button_ChartInfo");
    infoButton_->setToolTip("Chart Information");
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 0, 4);
    auto* chartsLabel = new QLabel("Charts", left);
    chartsLabel->setBuddy(charts_);
    leftLayout->addWidget(chartsLabel);
    leftLayout->addWidget(charts_, 1);
    leftLayout->addWidget(infoButton_);

    auto* right = new QWidget(splitter);
    chart_ = new TChartView(right);
    chart_->setMinimumSize(400, 300);
    sizing_ = new QSlider(Qt::Vertical, right);
    sizing_->setObjectName("TrackBar1");
    sizing_->setRange(10, 90);
    sizing_->setInvertedAppearance(true);
    sizing_->setValue(VarChartDisplay.Sizing);
    sizing_->setAccessibleName("Location/Dispersion Chart Sizing");
    sizing_->setToolTip(QString::fromStdString(SizingHint(VarChartDisplay.Sizing)));
    sizingPanel_ = new QWidget(right);
    auto* sizingLayout = new QVBoxLayout(sizingPanel_);
    sizingLayout->setContentsMargins(0, 0, 0, 0);
    sizingLayout->addWidget(sizing_);
    auto* chartRow = new QHBoxLayout;
    chartRow->addWidget(chart_, 1);
    chartRow->addWidget(sizingPanel_);

    const TChartControls controls = MakeChartControls(
        this, right, VarChartDisplay.PointSize, VarChartDisplay.LineThickness,
        [this](int size) {
            VarChartDisplay.PointSize = size;
            RedrawChart();
        },
        [this](int n) {
            VarChartDisplay.LineThickness = n;
            RedrawChart();
        });
    lineTitle_ = controls.LineTitle;
    lineTitle_->setMinimumWidth(180);
    pointValue_ = controls.PointValue;
    pointSize_ = controls.PointSize;
    lineThickness_ = controls.LineThickness;
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lineTitle_);
    bottom->addWidget(pointValue_);
    bottom->addStretch();
    bottom->addLayout(controls.SizeRow);
    // What the points alone cannot tell (values left out, sets without limits), above the chart.
    notes_ = new QLabel(right);
    notes_->setObjectName("Label_ChartNotes");
    notes_->setStyleSheet("color: #a00000;");
    notes_->setWordWrap(true);
    notes_->hide();
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 4, 4, 4);
    rightLayout->addWidget(notes_);
    rightLayout->addLayout(chartRow, 1);
    rightLayout->addLayout(bottom);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({160, 840});
    setCentralWidget(splitter);

    connect(charts_, &QListWidget::currentRowChanged, this, &TVARchart_Form::ShowChart);
    connect(infoButton_, &QPushButton::clicked, this, &TVARchart_Form::ShowInformation);
    connect(sizing_, &QSlider::valueChanged, this, &TVARchart_Form::SizingMoved);
    connect(chart_, &TChartView::hovered, this,
            [this](const QString& title, const QString& value, bool, bool) {
                lineTitle_->setText(title);
                pointValue_->setText(value);
            });
    connect(chart_, &TChartView::titleClicked, this, &TVARchart_Form::EditTitles);
    connect(chart_, &TChartView::pointClicked, this, &TVARchart_Form::PointClicked);
    connect(chart_, &TChartView::mouseDoubleClick, this, [this](QMouseEvent*) { CopyChart(chart_); });
    connect(chart_, &TChartView::zoomChanged, this, [this](bool zoomed) {
        zoomOut_->setEnabled(zoomed);
        zoomOutTool_->setEnabled(zoomed);
    });

    BuildMenus();
    zoomOut_->setEnabled(false);
    zoomOutTool_->setEnabled(false);
    resize(1000, 680);
    // The window never gets narrower than it was made.
    setMinimumWidth(720);
}

QAction* TVARchart_Form::Option(QMenu* menu, const char* name, const QString& text, bool checked,
                                const std::function<void(bool)>& changed) {
    return options_[name] = AddOption(menu, name, text, checked, changed);
}

void TVARchart_Form::BuildMenus() {
    const TChartCommands commands = AddChartCommands(this, {.Chart = chart_,
                                                            .MainWindow = mainWindow_,
                                                            .ReturnHint = "Return to Setup Form",
                                                            .Return = [this] { ReturnToSetup(); },
                                                            .EditTitles = [this] { EditTitles(); },
                                                            .Redraw = [this] { RedrawChart(); },
                                                            .HelpTopic = kHelpVarChart});
    QMenu* file = commands.File;
    QMenu* view = commands.View;
    returnItem_ = commands.ReturnItem;
    if (setupWindow_) returnItem_->setText("&Return to " + setupWindow_->windowTitle());
    zoomOut_ = commands.ZoomOut;
    zoomOutTool_ = commands.ZoomOutTool;
    blackWhite_ = commands.BlackWhite;
    TVarChartDisplay& d = VarChartDisplay;
    const auto redrawWith = [this](bool TVarChartDisplay::*field) {
        return [this, field](bool on) {
            VarChartDisplay.*field = on;
            ApplyVarChartMenuRules();
            RedrawChart();
        };
    };
    Option(view, "DisplayControlViolations1", "&Display Control Violations", d.ShowViolations,
           redrawWith(&TVarChartDisplay::ShowViolations));
    Option(view, "DisplayControlViolationCodes1", "Display Control Violation Codes", d.ShowCodes,
           redrawWith(&TVarChartDisplay::ShowCodes));
    Option(view, "DisplayZones1", "Display Zones", d.ShowZones, redrawWith(&TVarChartDisplay::ShowZones));
    Option(view, "ShowAllPoints1", "Show &All Points", VarChartSettings.ShowAllPoints, [this](bool on) {
        if (on) {
            VarChartSettings.ShowAllPoints = true;
            Recalculate();
        } else {
            AllPointsSwitchedOff();
            RedrawChart();
        }
    });
    Option(view, "ShowSigmaLines1", "Show ±&3 Sigma Lines", d.ShowSigmaLines,
           redrawWith(&TVarChartDisplay::ShowSigmaLines));
    Option(view, "ShowSpecifications1", "Show Specifications", d.ShowSpecs,
           redrawWith(&TVarChartDisplay::ShowSpecs));
    Option(view, "RemovePlotofLocationStatistics1", "Remove Plot of Location Statistics", d.RemoveLocation,
           redrawWith(&TVarChartDisplay::RemoveLocation));
    Option(view, "ConnectPoints1", "&Connect Points", d.Connect, redrawWith(&TVarChartDisplay::Connect));
    Option(view, "ShowBreaks1", "&Show Breaks", VarChartSettings.ShowBreaks, [this](bool on) {
        VarChartSettings.ShowBreaks = on;
        // The positions move: the labels no longer belong to their points.
        Recalculate();
        ClearPointLabels();
        RedrawChart();
    });
    QAction* clearText = view->addAction("Clear Point &Text", this, [this] {
        ClearPointLabels();
        RedrawChart();
    });
    clearText->setObjectName("ClearPointText1");
    options_["ClearPointText1"] = clearText;

    decimalsMenu_ = AddAxisDecimalsMenu(view, VarChartDisplay.AxisDecimals, [this](int places) {
        VarChartDisplay.AxisDecimals = places;
        RedrawChart();
    });
    Option(view, "AddLimitInformationtoChart1", "&Add Limit Information to Chart", d.AddLimitInfo,
           redrawWith(&TVarChartDisplay::AddLimitInfo));
    Option(view, "AddFileModificationstoChart1", "Add File &Modifications to Chart", d.AddModifications,
           redrawWith(&TVarChartDisplay::AddModifications));
    view->addSeparator();
    QAction* recalc = view->addAction("Recalculate", this, &TVARchart_Form::Recalculate);
    recalc->setObjectName("Recalculate1");
    recalc->setShortcut(QKeySequence(Qt::Key_F9));
    QAction* tests = view->addAction("Control &Tests Selection", this, [this] {
        if (ShowControlTestsDialog(this)) Recalculate();
    });
    tests->setObjectName("ControlTestsSelection1");
    QAction* info = view->addAction("&Chart &Information", this, &TVARchart_Form::ShowInformation);
    info->setObjectName("ChartInformation1");
    connect(view, &QMenu::aboutToShow, this, &TVARchart_Form::UpdateViewMenu);

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kCaption;
    menus.helpTopic = kHelpVarChart;
    menus.helpCaption = "&Help on Variables Chart Form";
    menus.helpItemName = "HelponVariablesChartForm1";
    SetUpFormMenus(this, menus);
}

void TVARchart_Form::UpdateViewMenu() {
    const TVarChartMenuState state = ApplyVarChartMenuRules();
    const TVarChartDisplay& d = VarChartDisplay;
    const auto set = [this](const char* name, bool enabled, bool checked) {
        QAction* a = options_[name];
        a->setEnabled(enabled);
        if (a->isCheckable()) a->setChecked(checked);
    };
    blackWhite_->setChecked(ChartsBlackAndWhite);
    zoomOut_->setEnabled(chart_->IsZoomed());
    set("DisplayControlViolations1", true, d.ShowViolations);
    set("DisplayControlViolationCodes1", state.Codes, d.ShowCodes);
    set("DisplayZones1", state.Zones, d.ShowZones);
    set("ShowAllPoints1", state.AllPoints, VarChartSettings.ShowAllPoints);
    set("ShowSigmaLines1", state.SigmaLines, d.ShowSigmaLines);
    set("ShowSpecifications1", state.Specifications, d.ShowSpecs);
    set("RemovePlotofLocationStatistics1", state.RemoveLocation, d.RemoveLocation);
    set("ConnectPoints1", true, d.Connect);
    set("ShowBreaks1", true, VarChartSettings.ShowBreaks);
    set("ClearPointText1", HasPointLabels(), false);
    set("AddLimitInformationtoChart1", true, d.AddLimitInfo);
    set("AddFileModificationstoChart1", true, d.AddModifications);
}

void TVARchart_Form::Reload() {
    builtColumns_ = DataTable().ColumnCount();
    const QSignalBlocker block(charts_);
    charts_->clear();
    for (const TChartListEntry& entry : VarChart.ChartList) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.Name), charts_);
        item->setData(Qt::UserRole, QString::fromStdString(entry.Key()));
    }
    if (charts_->count() > 0) {
        charts_->setCurrentRow(0);
        ShowChart(0);
    } else {
        ResetVarChart();
        RedrawChart();
    }
    UpdateCaption();
}

void TVARchart_Form::ShowChart(int index) {
    if (index < 0 || index >= static_cast<int>(VarChart.ChartList.size())) return;
    const TChartListEntry entry = VarChart.ChartList[static_cast<std::size_t>(index)];
    {
        BusyCursor busy;
        ComputeChart(entry.Column, entry.Group);
    }
    ClearPointLabels();
    RedrawChart();
}

void TVARchart_Form::Recalculate() {
    if (VarChart.ChartList.empty()) return;
    {
        BusyCursor busy;
        ComputeChart(VarChart.Column, VarChart.Group);
    }
    // Breaks move the positions: labels no longer belong to their points.
    if (static_cast<int>(VarChartDisplay.LocationLabels.size()) != PlottedPositions()) ClearPointLabels();
    RedrawChart();
}

void TVARchart_Form::RedrawChart() {
    BusyCursor busy;
    ApplyVarChartMenuRules();
    TChartScene scene;
    kivspc::RedrawChart(scene);
    // A chart that lost its points (the data changed since) says why instead of an empty axis.
    if (VarChart.Count == 0 && !VarChart.ChartList.empty()) scene.TitleLines = {EmptyChartListReason()};
    chart_->SetScene(std::move(scene));
    QStringList notes;
    for (const std::string& note : VarChart.Notes)
        notes << QString::fromStdString(note);
    notes_->setText(notes.join('\n'));
    notes_->setVisible(!notes.isEmpty());
    const bool both =
        VarChartSettings.LocationChart != kChartNone && VarChartSettings.DispersionChart != kChartNone;
    sizingPanel_->setVisible(both);
    lastSizing_ = VarChartDisplay.Sizing;
}

void TVARchart_Form::SizingMoved(int position) {
    VarChartDisplay.Sizing = position;
    const QString hint = QString::fromStdString(SizingHint(position));
    sizing_->setToolTip(hint);
    statusBar()->showMessage(hint, 2000);
    // Reaching or leaving an end changes which charts are drawn.
    const bool wasEnd = lastSizing_ <= 10 || lastSizing_ >= 90;
    const bool isEnd = position <= 10 || position >= 90;
    if (wasEnd || isEnd)
        RedrawChart();
    else
        chart_->SetSplit(position / 100.0);
    lastSizing_ = position;
}

void TVARchart_Form::PointClicked(bool dispersion, double position) {
    auto& labels = dispersion ? VarChartDisplay.DispersionLabels : VarChartDisplay.LocationLabels;
    const auto at = static_cast<std::size_t>(std::max(position, 0.0));
    if (at >= labels.size()) return;
    const auto text = EnterPointLabel(QString::fromStdString(labels[at]), QCursor::pos(), this);
    if (!text) return;
    labels[at] = text->toStdString();
    RedrawChart();
}

void TVARchart_Form::EditTitles() { EditChartTitles(chart_, this); }

void TVARchart_Form::ShowInformation() { ShowChartInfo(this, kCaption); }

void TVARchart_Form::ReturnToSetup() { BringBack(setupWindow_); }

void TVARchart_Form::UpdateCaption() {
    const std::string& file = DataTable().FileName;
    setWindowTitle(file.empty() ? QString(kCaption)
                                : QString(kCaption) + " - " + QString::fromStdString(file));
}

void TVARchart_Form::FormActivate() {
    // The table lost or gained columns since the chart was built: the chart no longer fits it.
    if (builtColumns_ >= 0 && builtColumns_ != DataTable().ColumnCount()) {
        builtColumns_ = -1;
        ResetVarChart();
        charts_->clear();
        RedrawChart();
        hide();
        ReturnToSetup();
        return;
    }
    UpdateCaption();
}

bool TVARchart_Form::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

} // namespace kivspc::gui
