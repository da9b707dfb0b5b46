// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ControlLimitForm.h"

#include "app/FormShell.h"
#include "app/Help.h"

#include "app/CommandIcons.h"
#include "app/EditCommands.h"
#include "app/FormResize.h"
#include "app/KeyFilterInstaller.h"
#include "app/QtPlatform.h"
#include "app/SharedState.h"
#include "charts/contcalc.h"
#include "output/OutputDataModule.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include <functional>

namespace kivspc::gui {

TDecoratedLabel::TDecoratedLabel(const QString& text, Mark mark, QWidget* parent)
    : QLabel(text, parent), mark_(mark) {
    // Room above the letter for its mark.
    setContentsMargins(0, 5, 0, 0);
}

void TDecoratedLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (mark_ == Mark::None) return;
    const QString shown = QString(text()).remove('&');
    const QFontMetrics fm(font());
    // The mark spans the symbol: the letters before the colon.
    const int symbolEnd = std::max<qsizetype>(shown.indexOf(':'), 1);
    const QRect textRect = contentsRect();
    const int textWidth = fm.horizontalAdvance(shown);
    int x0 = textRect.left();
    if (alignment() & Qt::AlignRight) x0 = textRect.right() - textWidth;
    const int x1 = x0 + fm.horizontalAdvance(shown.left(symbolEnd));
    const int top = textRect.top() + (textRect.height() - fm.height()) / 2 + fm.ascent() - fm.capHeight() - 3;
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    switch (mark_) {
    case Mark::Bar: p.drawLine(x0 + 1, top, x1 - 1, top); break;
    case Mark::DoubleBar:
        p.drawLine(x0 + 1, top, x1 - 1, top);
        p.drawLine(x0 + 1, top - 2, x1 - 1, top - 2);
        break;
    case Mark::Tilde: {
        QPainterPath path;
        const double w = x1 - x0 - 2;
        path.moveTo(x0 + 1, top);
        path.cubicTo(x0 + 1 + w / 3, top - 3, x0 + 1 + 2 * w / 3, top + 3, x1 - 1, top - 1);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPath(path);
        break;
    }
    default: break;
    }
}

namespace {

QLineEdit* MakeEdit(QWidget* parent, int page, int field, const QString& text, KeyFilterKind filter) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString("Edit%1%2").arg(page).arg(field));
    edit->setFixedWidth(110);
    InstallKeyFilter(edit, filter);
    return edit;
}

// The number of decimals: left empty, it goes back to its default rather than to the last value
// (the spin box's own correction would restore the last value).
class TDecimalSpinEdit : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty())
            input = "4";
        else
            QSpinBox::fixup(input);
    }
    // Called when the box got its "4" back on losing the focus empty.
    std::function<void()> Restored;

protected:
    void focusOutEvent(QFocusEvent* event) override {
        const QLineEdit* text = TextFieldOf(this);
        const bool wasEmpty = text && text->text().trimmed().isEmpty();
        QSpinBox::focusOutEvent(event);
        if (wasEmpty && Restored) Restored();
    }
};

QString StatisticLabel(TChartKind page) {
    switch (page) {
    case kChartMean:
    case kChartMedian:
    case kChartX:
    case kChartRange:
    case kChartStdDev:
    case kChartVariance: return "&Statistic:";
    case kChartP: return "&p:";
    case kChartNP: return "&np:";
    case kChartC: return "&c:";
    case kChartU: return "&u:";
    case kChartNone:
    case kChartMovingRange:
    case kChartIndividualPoints: break; // no page of the calculator
    }
    return "&Statistic:";
}

// Over the centre's X: two bars on a grand mean, a tilde on a centre of medians, a bar on a mean.
TDecoratedLabel::Mark CentreMark(TChartKind page) {
    switch (page) {
    case kChartMean: return TDecoratedLabel::Mark::DoubleBar;
    case kChartMedian: return TDecoratedLabel::Mark::Tilde;
    case kChartX: return TDecoratedLabel::Mark::Bar;
    case kChartNone:
    case kChartMovingRange:
    case kChartRange:
    case kChartStdDev:
    case kChartVariance:
    case kChartIndividualPoints:
    case kChartP:
    case kChartNP:
    case kChartC:
    case kChartU: return TDecoratedLabel::Mark::None;
    }
    return TDecoratedLabel::Mark::None;
}

} // namespace

TControl_Limit_Form::TControl_Limit_Form(QWidget* mainWindow)
    : QMainWindow(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setObjectName("Control_Limit_Form");
    setWindowTitle("Control Limit Calculations");

    auto* central = new QWidget(this);
    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName("PageControl_cc");
    for (TChartKind page : kCalculatorChartKinds)
        pageControl_->addTab(BuildPage(page), ToQt(ControlLimitPageCaption(page)));

    action_ = new QPushButton("&Action", central);
    action_->setObjectName("Button_Action");
    action_->setDefault(true);
    connect(action_, &QPushButton::clicked, this, &TControl_Limit_Form::Button_ActionClick);

    auto* decimals = new TDecimalSpinEdit(central);
    decimals_ = decimals;
    decimals_->setObjectName("DecimalSpinEdit1");
    decimals_->setRange(0, 9);
    decimals_->setValue(4);
    decimals_->setAccessibleName("Decimals");
    InstallKeyFilter(decimals_, KeyFilterKind::Integer);
    auto* decimalsLabel = new QLabel("&Decimals:", central);
    decimalsLabel->setBuddy(decimals_);
    // Every change of the text that leaves a value repeats the calculation, also the "4" an
    // emptied box gets back when it loses the focus.
    if (QLineEdit* decimalsText = TextFieldOf(decimals_)) {
        connect(decimalsText, &QLineEdit::textChanged, this, [this](const QString& text) {
            // An emptied box starts over: retyping the same number is a change again.
            if (text.trimmed().isEmpty())
                decimalsRunFor_.clear();
            else
                RepeatActionFor(text.trimmed());
        });
        // Steps and fix-ups change the value with the text's signals held back.
        connect(decimals_, &QSpinBox::valueChanged, this,
                [this, decimalsText] { RepeatActionFor(decimalsText->text().trimmed()); });
        decimals->Restored = [this, decimalsText] {
            decimalsRunFor_.clear();
            RepeatActionFor(decimalsText->text().trimmed());
        };
    }

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(action_);
    bottom->addSpacing(20);
    bottom->addWidget(decimalsLabel);
    bottom->addWidget(decimals_);
    bottom->addStretch();

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(pageControl_);
    layout->addLayout(bottom);
    setCentralWidget(central);

    BuildMenus();
    BuildToolBar();
    connect(pageControl_, &QTabWidget::currentChanged, this, &TControl_Limit_Form::PageChanged);

    // Designed size: room for the longest method list and a report of the usual width.
    const QSize hint = sizeHint();
    resize(std::max(760, hint.width()), std::max(450, hint.height() + 10));
    setFixedSize(size());
    CentreOnScreen(this);
    PageChanged();
}

QWidget* TControl_Limit_Form::BuildPage(TChartKind page) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QString("TabSheet%1").arg(CalculatorPageOf(page)));
    Page& p = PageOf(page);
    auto* form = new QGridLayout;
    int row = 0;
    if (HasCentreInput(page)) {
        auto* label = new TDecoratedLabel("&X:", CentreMark(page), sheet);
        p.centre = MakeEdit(sheet, CalculatorPageOf(page), 1, "0", KeyFilterKind::SignedReal);
        label->setBuddy(p.centre);
        form->addWidget(label, row, 0);
        form->addWidget(p.centre, row++, 1);
    }
    {
        // The attributes charts' statistics are averages: p-bar, np-bar, c-bar, u-bar.
        const auto mark = IsVariablesChart(page) ? TDecoratedLabel::Mark::None : TDecoratedLabel::Mark::Bar;
        auto* label = new TDecoratedLabel(StatisticLabel(page), mark, sheet);
        p.statistic = MakeEdit(sheet, CalculatorPageOf(page), 2, "0",
                               page == kChartP ? KeyFilterKind::Proportion : KeyFilterKind::UnsignedReal);
        label->setBuddy(p.statistic);
        form->addWidget(label, row, 0);
        form->addWidget(p.statistic, row++, 1);
    }
    // A c chart counts in one unit: no n.
    if (page != kChartC) {
        p.nLabel = new QLabel(page == kChartX ? "&n (range):" : "&n:", sheet);
        p.n = MakeEdit(sheet, CalculatorPageOf(page), 3, "0",
                       page == kChartU ? KeyFilterKind::UnsignedReal : KeyFilterKind::Integer);
        p.nLabel->setBuddy(p.n);
        form->addWidget(p.nLabel, row, 0);
        form->addWidget(p.n, row++, 1);
    }
    {
        auto* label = new QLabel("Std &Err:", sheet);
        p.k = MakeEdit(sheet, CalculatorPageOf(page), 4, "3", KeyFilterKind::UnsignedReal);
        label->setBuddy(p.k);
        form->addWidget(label, row, 0);
        form->addWidget(p.k, row++, 1);
    }
    p.group = new QGroupBox(ToQt(ControlLimitMethodCaption(page)), sheet);
    p.group->setObjectName(QString("RadioGroup%1").arg(CalculatorPageOf(page)));
    p.methods = new QButtonGroup(p.group);
    auto* radios = new QVBoxLayout(p.group);
    radios->setSpacing(2);
    int id = 0;
    for (const std::string& item : ControlLimitMethodItems(page)) {
        auto* radio = new QRadioButton(ToQt(item), p.group);
        p.methods->addButton(radio, id++);
        radios->addWidget(radio);
    }
    p.methods->button(0)->setChecked(true);
    if (page == kChartX) connect(p.methods, &QButtonGroup::idClicked, this, [this] { RadioGroup3Click(); });

    p.pane = new TOutputRichEdit(sheet);
    p.pane->setObjectName(QString("RichEdit%1").arg(CalculatorPageOf(page)));
    p.pane->setAccessibleName("Results");

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(p.group);
    left->addStretch();
    auto* layout = new QHBoxLayout(sheet);
    layout->addLayout(left);
    layout->addWidget(p.pane, 1);
    return sheet;
}

void TControl_Limit_Form::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("File1");
    QAction* save = file->addAction("Save &As...", this, &TControl_Limit_Form::SaveAs1Click);
    save->setObjectName("SaveAs1");
    QAction* print = file->addAction("&Print...", this, &TControl_Limit_Form::Print1Click);
    print->setObjectName("Print1");
    print->setShortcut(QKeySequence("Ctrl+P"));
    file->addSeparator();
    QAction* ret = file->addAction("&Return to Main Form", this, &TControl_Limit_Form::ReturnToMainForm);
    ret->setObjectName("Return1");

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("Edit1");
    AddEditMenuCommands(edit, {EditCommand::Undo, EditCommand::Cut, EditCommand::Copy, EditCommand::Paste,
                               EditCommand::SelectAll});

    FormMenus menus;
    menus.formResize = [this] { FormResizeClick(); };
    menus.helpTopic = kHelpControlLimits;
    menus.helpCaption = "&Help on Control Limits";
    menus.helpItemName = "HelponControlLimits1";
    SetUpFormMenus(this, menus);
}

void TControl_Limit_Form::BuildToolBar() {
    QToolBar* bar = AddFormToolBar(this);
    auto add = [this, bar](auto... args) { return AddToolAction(bar, this, args...); };
    add("ToolButton_Return", Command::Return, "Return to Main Form", &TControl_Limit_Form::ReturnToMainForm);
    add("ToolButton_Save", Command::Save, "Save to File", &TControl_Limit_Form::SaveAs1Click);
    add("ToolButton_Print", Command::Print, "Print", &TControl_Limit_Form::Print1Click);
    add("ToolButton_Copy", Command::Copy, "Copy",
        [this] { DoEditCommand("Copy1", QApplication::focusWidget()); });
    add("ToolButton_Paste", Command::Paste, "Paste",
        [this] { DoEditCommand("Paste1", QApplication::focusWidget()); });
    resizeAction_ = add("ToolButton_Resize", Command::Enlarge, "Maximize Form Size",
                        &TControl_Limit_Form::FormResizeClick);
    add("ToolButton_Help", Command::Help, "Help", [] { ShowHelpTopic(kHelpControlLimits); });
    add("ToolButton_Close", Command::Close, "Hide Form", [this] { close(); });
}

TChartKind TControl_Limit_Form::CurrentPage() const {
    return kCalculatorChartKinds[static_cast<std::size_t>(pageControl_->currentIndex())];
}

bool TControl_Limit_Form::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) PageChanged();
    return QMainWindow::event(e);
}

void TControl_Limit_Form::PageChanged() { SetOutputDocument(&Pane(CurrentPage())->Document()); }

void TControl_Limit_Form::RadioGroup3Click() {
    Page& p = PageOf(kChartX);
    const int method = p.methods->checkedId() + 1;
    const bool usesN = LimitsUseSampleSize(kChartX, method);
    p.nLabel->setVisible(usesN);
    p.n->setVisible(usesN);
    if (method == static_cast<int>(IndividualsSigmaMethod::StdDev))
        p.nLabel->setText("&k (values):");
    else if (usesN)
        p.nLabel->setText("&n (range):");
}

TControlLimitInput TControl_Limit_Form::ReadInput(TChartKind page) const {
    const Page& p = PageOf(page);
    TControlLimitInput input;
    input.Page = page;
    input.Method = p.methods->checkedId() + 1;
    input.CentreText = p.centre ? FromQt(p.centre->text()) : "0";
    input.StatisticText = FromQt(p.statistic->text());
    input.NText = p.n ? FromQt(p.n->text()) : "1";
    input.KText = FromQt(p.k->text());
    // The box's text is newer than its value while the box is being edited or fixed up.
    bool typed = false;
    const QLineEdit* decimalsText = TextFieldOf(decimals_);
    const int shown = decimalsText ? decimalsText->text().trimmed().toInt(&typed) : 0;
    input.Decimals = typed && shown >= 0 && shown <= 9 ? shown : decimals_->value();
    input.TextScale = scale_;
    return input;
}

void TControl_Limit_Form::WriteReport(TChartKind page, const TControlLimitInput& input) {
    Page& p = PageOf(page);
    SetOutputDocument(&p.pane->Document());
    WriteControlLimitReport(input);
    p.pane->Render();
    p.reported = true;
}

void TControl_Limit_Form::Button_ActionClick() {
    const TChartKind page = CurrentPage();
    Page& p = PageOf(page);
    const TControlLimitInput input = ReadInput(page);
    // The core has checked and said why; the offending edit takes the focus.
    switch (CheckControlLimitInput(input)) {
    case ControlLimitInputError::Centre:
        if (p.centre) p.centre->setFocus();
        return;
    case ControlLimitInputError::Statistic: p.statistic->setFocus(); return;
    case ControlLimitInputError::SampleSize:
        if (p.n) p.n->setFocus();
        return;
    case ControlLimitInputError::StdErrors: p.k->setFocus(); return;
    case ControlLimitInputError::None: break;
    }
    WriteReport(page, input);
}

void TControl_Limit_Form::RepeatActionFor(const QString& decimalsText) {
    // One change of the decimals may arrive as a text change and a value change: act once.
    if (decimalsText.isEmpty() || decimalsText == decimalsRunFor_) return;
    decimalsRunFor_ = decimalsText;
    // The decimals only restate a report: a page without one stays empty, and inputs that the
    // action would refuse are left for the next action to point out, not a box at every step.
    const TChartKind page = CurrentPage();
    if (!PageOf(page).reported) return;
    const TControlLimitInput input = ReadInput(page);
    std::string problem;
    if (FindControlLimitInputError(input, problem) == ControlLimitInputError::None) WriteReport(page, input);
}

void TControl_Limit_Form::FormResizeClick() {
    const double before = scale_;
    ToggleFormSize(this, resizeAction_, scale_);
    if (scale_ == before) return;
    for (int page = 1; page <= kCalculatorPages; ++page) {
        TOutputRichEdit* pane = Pane(page);
        const TOutputRichEdit::ViewState view = pane->SaveView();
        SetOutputDocument(&pane->SyncedDocument());
        ScaleOutputFonts(0, scale_ / before);
        pane->Render();
        pane->RestoreView(view);
    }
    PageChanged();
}

void TControl_Limit_Form::ReturnToMainForm() {
    if (!mainWindow_) return;
    if (mainWindow_->isMinimized())
        mainWindow_->showNormal();
    else
        mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

void TControl_Limit_Form::SaveAs1Click() {
    SaveOutputDocumentDialog(this, Pane(CurrentPage()), ToQt(ProgramName));
}

void TControl_Limit_Form::Print1Click() {
    PrintOutputDocumentDialog(this, Pane(CurrentPage()), ToQt(ProgramName));
}

} // namespace kivspc::gui
