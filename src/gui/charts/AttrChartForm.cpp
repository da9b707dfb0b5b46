// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/AttrChartForm.h"

#include "app/CommandIcons.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/Platform.h"
#include "charts/AttrChart.h"
#include "charts/AttrChartScene.h"
#include "charts/ChartScene.h"
#include "charts/ChartTitles.h"
#include "charts/ChartView.h"
#include "charts/ChartWindowParts.h"
#include "charts/ControlTestsForm.h"
#include "charts/GraphDia.h"
#include "charts/LabelTextInput.h"
#include "data/DataTable.h"
#include "data/TableEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace kivspc::gui {

namespace {

const char* const kCaption = "Attributes Chart";

} // namespace

TAttrChart_Form::TAttrChart_Form(QWidget* setupWindow, QWidget* mainWindow)
    : QMainWindow(setupWindow, Qt::Window), caller_(setupWindow), mainWindow_(mainWindow) {
    setObjectName("AttrChart_Form");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    AttrChartDisplay = TAttrChartDisplay{};

    auto* splitter = new QSplitter(this);
    auto* left = new QWidget(splitter);
    chart_ = new TChartView(left);
    chart_->setMinimumSize(400, 280);
    // The limit summary: read-only, in a fixed-pitch font so that its columns line up.
    limits_ = new QPlainTextEdit(left);
    limits_->setObjectName("Memo1");
    limits_->setReadOnly(true);
    limits_->setAccessibleName("Control limits");
    limits_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    limits_->setPlainText("UCL = \nCenterline =\nLCL = ");
    limits_->setFixedHeight(limits_->fontMetrics().lineSpacing() * 4 + 12);
    limits_->setLineWrapMode(QPlainTextEdit::NoWrap);
    limits_->installEventFilter(this);
    const TChartControls controls = MakeChartControls(
        this, left, AttrChartDisplay.PointSize, AttrChartDisplay.LineThickness,
        [this](int size) {
            AttrChartDisplay.PointSize = size;
            RedrawChart();
        },
        [this](int n) {
            AttrChartDisplay.LineThickness = n;
            RedrawChart();
        });
    lineTitle_ = controls.LineTitle;
    pointValue_ = controls.PointValue;
    pointSize_ = controls.PointSize;
    lineThickness_ = controls.LineThickness;
    auto* hover = new QVBoxLayout;
    hover->addWidget(lineTitle_);
    hover->addWidget(pointValue_);
    hover->addStretch();
    auto* rightOfLimits = new QVBoxLayout;
    rightOfLimits->addLayout(hover, 1);
    rightOfLimits->addLayout(controls.SizeRow);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(limits_, 1);
    bottom->addLayout(rightOfLimits);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 0, 4);
    leftLayout->addWidget(chart_, 1);
    leftLayout->addLayout(bottom);

    auto* right = new QWidget(splitter);
    analyses_ = new QListWidget(right);
    analyses_->setObjectName("ListBox_Selection");
    analyses_->setAccessibleName("Analyses");
    analyses_->installEventFilter(this);
    auto* analysesLabel = new QLabel("Analyses", right);
    analysesLabel->setBuddy(analyses_);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 4, 4, 4);
    rightLayout->addWidget(analysesLabel);
    rightLayout->addWidget(analyses_, 1);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({840, 160});
    setCentralWidget(splitter);

    connect(analyses_, &QListWidget::currentRowChanged, this, &TAttrChart_Form::ShowAnalysis);
    connect(chart_, &TChartView::hovered, this,
            [this](const QString& title, const QString& value, bool, bool) {
                lineTitle_->setText(title);
                pointValue_->setText(value);
            });
    connect(chart_, &TChartView::titleClicked, this, &TAttrChart_Form::EditTitles);
    connect(chart_, &TChartView::pointClicked, this, &TAttrChart_Form::PointClicked);
    connect(chart_, &TChartView::mouseDoubleClick, this, [this](QMouseEvent*) { CopyChart(chart_); });
    connect(chart_, &TChartView::zoomChanged, this, [this](bool zoomed) {
        zoomOut_->setEnabled(zoomed);
        zoomOutTool_->setEnabled(zoomed);
    });
    connect(limits_, &QPlainTextEdit::copyAvailable, this, [this](bool yes) { copyText_->setEnabled(yes); });

    BuildMenus();
    zoomOut_->setEnabled(false);
    zoomOutTool_->setEnabled(false);
    copyText_->setEnabled(false);
    resize(1000, 680);
    // Never narrower than the bottom row's controls need.
    setMinimumWidth(lineThickness_->sizeHint().width() + pointSize_->minimumWidth() + 420);
}

QAction* TAttrChart_Form::Option(QMenu* menu, const char* name, const QString& text, bool checked,
                                 const std::function<void(bool)>& changed) {
    return options_[name] = AddOption(menu, name, text, checked, changed);
}

void TAttrChart_Form::BuildMenus() {
    const TChartCommands commands =
        AddChartCommands(this, {.Chart = chart_,
                                .MainWindow = mainWindow_,
                                .ReturnHint = "Return to Attributes Chart Setup Form",
                                .Return = [this] { ReturnToCaller(); },
                                .EditTitles = [this] { EditTitles(); },
                                .Redraw = [this] { RedrawChart(); },
                                .HelpTopic = kHelpAttrChart});
    QMenu* file = commands.File;
    QMenu* view = commands.View;
    returnItem_ = commands.ReturnItem;
    returnTool_ = commands.ReturnTool;
    zoomOut_ = commands.ZoomOut;
    zoomOutTool_ = commands.ZoomOutTool;
    blackWhite_ = commands.BlackWhite;
    copyText_ = commands.Edit->addAction("Copy Te&xt", this, &TAttrChart_Form::CopyText);
    copyText_->setObjectName("CopyText1");

    TAttrChartDisplay& d = AttrChartDisplay;
    const auto redrawWith = [this](bool TAttrChartDisplay::*field) {
        return [this, field](bool on) {
            AttrChartDisplay.*field = on;
            // Codes are part of the violations: they go off with them.
            if (!AttrChartDisplay.ShowViolations) AttrChartDisplay.ShowCodes = false;
            RedrawChart();
        };
    };
    Option(view, "DisplayControlViolations1", "&Display Control Violations", d.ShowViolations,
           redrawWith(&TAttrChartDisplay::ShowViolations));
    Option(view, "DisplayControlCodes1", "Display Control Codes", d.ShowCodes,
           redrawWith(&TAttrChartDisplay::ShowCodes));
    Option(view, "DisplayZones1", "Display &Zones", d.ShowZones, redrawWith(&TAttrChartDisplay::ShowZones));
    Option(view, "ConnectPoints1", "&Connect Points", d.Connect, redrawWith(&TAttrChartDisplay::Connect));
    Option(view, "ShowBreaks1", "&Show Breaks", AttrChartSettings.ShowBreaks, [this](bool on) {
        AttrChartSettings.ShowBreaks = on;
        // The positions move: the texts no longer belong to their points.
        ReloadCurrent();
    });
    QAction* clearText = view->addAction("Clear Point &Text", this, [this] {
        ClearAttrPointTexts();
        RedrawChart();
    });
    clearText->setObjectName("ClearPointText1");
    options_["ClearPointText1"] = clearText;

    decimalsMenu_ = AddAxisDecimalsMenu(view, AttrChartDisplay.AxisDecimals, [this](int places) {
        AttrChartDisplay.AxisDecimals = places;
        RedrawChart();
    });
    Option(view, "AddLimitInformationtoChart1", "&Add Limit Information to Chart", d.AddLimitInfo,
           redrawWith(&TAttrChartDisplay::AddLimitInfo));
    Option(view, "AddFileModificationstoChart1", "Add File &Modifications to Chart", d.AddModifications,
           redrawWith(&TAttrChartDisplay::AddModifications));
    view->addSeparator();
    QAction* tests = view->addAction("Control &Tests Selection", this, [this] {
        if (ShowControlTestsDialog(this)) ReloadCurrent();
    });
    tests->setObjectName("ControlTestsSelection1");
    connect(view, &QMenu::aboutToShow, this, &TAttrChart_Form::UpdateViewMenu);

    FormMenus menus;
    menus.fileMenu = file;
    menus.returnCaption = kCaption;
    menus.helpTopic = kHelpAttrChart;
    menus.helpCaption = "&Help on Attribute Charts";
    menus.helpItemName = "HelponAttributeCharts1";
    SetUpFormMenus(this, menus);
}

void TAttrChart_Form::UpdateViewMenu() {
    const TAttrChartDisplay& d = AttrChartDisplay;
    const auto set = [this](const char* name, bool enabled, bool checked) {
        QAction* a = options_[name];
        a->setEnabled(enabled);
        if (a->isCheckable()) a->setChecked(checked);
    };
    blackWhite_->setChecked(ChartsBlackAndWhite);
    zoomOut_->setEnabled(chart_->IsZoomed());
    set("DisplayControlViolations1", true, d.ShowViolations);
    set("DisplayControlCodes1", d.ShowViolations, d.ShowCodes);
    set("DisplayZones1", true, d.ShowZones);
    set("ConnectPoints1", true, d.Connect);
    set("ShowBreaks1", true, AttrChartSettings.ShowBreaks);
    set("ClearPointText1", HasAttrPointTexts(), false);
    set("AddLimitInformationtoChart1", true, d.AddLimitInfo);
    set("AddFileModificationstoChart1", true, d.AddModifications);
}

void TAttrChart_Form::ShowFrom(QWidget* caller, const QString& name) {
    caller_ = caller;
    returnTool_->setToolTip("Return to " + name);
    returnTool_->setText("Return to " + name);
    returnItem_->setText("&Return to " + name);
    BringBack(this);
}

void TAttrChart_Form::Reload() {
    builtChanges_ = ColumnChangeCount;
    {
        BusyCursor busy;
        BuildAnalysisList();
        if (NextAnalysis()) ClearAttrPointTexts();
    }
    const QSignalBlocker block(analyses_);
    analyses_->clear();
    for (const std::string& label : AttrChart.AnalysisLabels)
        analyses_->addItem(QString::fromStdString(label));
    if (analyses_->count() > 0) {
        analyses_->setCurrentRow(0);
    } else {
        // Nothing has points: an empty chart and an empty list.
        ClearAttrChart(false);
        ClearAttrPointTexts();
    }
    RedrawChart();
    UpdateCaption();
}

void TAttrChart_Form::ShowAnalysis(int row) {
    if (row < 0 || row >= static_cast<int>(AttrChart.AnalysisNumbers.size())) return;
    {
        BusyCursor busy;
        LoadAnalysis(AttrChart.AnalysisNumbers[static_cast<std::size_t>(row)]);
    }
    ClearAttrPointTexts();
    RedrawChart();
}

void TAttrChart_Form::ReloadCurrent() {
    if (analyses_->count() == 0) return;
    {
        BusyCursor busy;
        LoadAnalysis(AttrChart.Analysis);
    }
    ClearAttrPointTexts();
    RedrawChart();
}

void TAttrChart_Form::ClearPointTexts() {
    AttrChartDisplay.PointTexts.assign(AttrChartDisplay.PointTexts.size(), {});
}

void TAttrChart_Form::RedrawChart() {
    BusyCursor busy;
    TChartScene scene;
    // Without a listed analysis there is nothing to draw.
    if (analyses_->count() > 0) RedrawAttrChart(scene);
    chart_->SetScene(std::move(scene));
    QStringList lines;
    if (analyses_->count() > 0)
        for (const std::string& line : LimitSummary())
            lines << QString::fromStdString(line);
    limits_->setPlainText(lines.join('\n'));
}

void TAttrChart_Form::PointClicked(bool, double position) {
    auto& texts = AttrChartDisplay.PointTexts;
    const auto at = static_cast<std::size_t>(std::max(position, 0.0));
    if (at >= texts.size()) return;
    const auto text = EnterPointLabel(QString::fromStdString(texts[at]), QCursor::pos(), this);
    if (!text) return;
    texts[at] = text->toStdString();
    RedrawChart();
}

void TAttrChart_Form::EditTitles() { EditChartTitles(chart_, this); }

void TAttrChart_Form::CopyText() {
    const QString selected = limits_->textCursor().selectedText();
    if (selected.isEmpty()) return;
    // The edit box separates lines with the paragraph separator.
    QString text = selected;
    text.replace(QChar::ParagraphSeparator, '\n');
    QApplication::clipboard()->setText(text);
}

void TAttrChart_Form::ReturnToCaller() { BringBack(caller_ ? caller_.data() : parentWidget()); }

void TAttrChart_Form::UpdateCaption() {
    const std::string& file = DataTable().FileName;
    setWindowTitle(file.empty() ? QString(kCaption)
                                : QString(kCaption) + " - " + QString::fromStdString(file));
}

void TAttrChart_Form::FormActivate() {
    // The table's columns changed since the chart was computed: the chart no longer fits it.
    if (builtChanges_ >= 0 && builtChanges_ != ColumnChangeCount) {
        builtChanges_ = -1;
        ClearAttrChart(false);
        AttrChart.AnalysisLabels.clear();
        AttrChart.AnalysisNumbers.clear();
        {
            const QSignalBlocker block(analyses_);
            analyses_->clear();
        }
        RedrawChart();
        hide();
        return;
    }
    zoomOut_->setEnabled(chart_->IsZoomed());
    zoomOutTool_->setEnabled(chart_->IsZoomed());
    UpdateCaption();
}

bool TAttrChart_Form::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

bool TAttrChart_Form::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        // Enter in the list loads the current analysis again.
        if (watched == analyses_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            ReloadCurrent();
            return true;
        }
        // Ctrl+C in the limit box copies its selection, not the chart.
        if (watched == limits_ && key->matches(QKeySequence::Copy)) {
            CopyText();
            return true;
        }
    }
    if (e->type() == QEvent::ShortcutOverride && watched == limits_) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->matches(QKeySequence::Copy)) {
            e->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace kivspc::gui
