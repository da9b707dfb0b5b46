// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartTitles.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "charts/ChartTexts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace kivspc::gui {

namespace {

const int kSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 36, 40, 48, 54, 60, 66, 72};

QString SizeText(double size) { return QString::number(size, 'g', 4); }

QString HintFor(const std::string& text) { return "Last Text:\n" + QString::fromStdString(text); }

} // namespace

TChartTitleParts ChartTitlePartsOf(QCustomPlot* chart) {
    TChartTitleParts parts;
    if (!chart) return parts;
    for (QCPLayoutElement* e : chart->plotLayout()->elements(true))
        if (auto* text = qobject_cast<QCPTextElement*>(e); text && text->objectName() == "ChartTitle") {
            parts.title = text;
            break;
        }
    const int rects = chart->axisRectCount();
    if (rects > 0) {
        parts.left = chart->axisRect(0)->axis(QCPAxis::atLeft);
        parts.bottom = chart->axisRect(rects - 1)->axis(QCPAxis::atBottom);
    }
    if (rects >= 2) {
        QCPAxis* extra = chart->axisRect(1)->axis(QCPAxis::atLeft);
        if (extra && !extra->label().isEmpty()) parts.extra = extra;
    }
    return parts;
}

TForm_ChartTitles::TForm_ChartTitles(TChartView* chart, QWidget* parent)
    : QDialog(parent), chart_(chart), parts_(ChartTitlePartsOf(chart)), savedOverrides_(chart->Overrides()),
      overrides_(savedOverrides_) {
    setObjectName("Form_ChartTitles");
    setWindowTitle("Titles");

    // What Cancel puts back.
    if (parts_.title) {
        saved_.title = parts_.title->text();
        saved_.titleFont = parts_.title->font();
    }
    if (parts_.left) {
        saved_.y = parts_.left->label();
        saved_.yFont = parts_.left->labelFont();
        saved_.yLabels = parts_.left->tickLabelFont();
    }
    if (parts_.bottom) {
        saved_.x = parts_.bottom->label();
        saved_.xFont = parts_.bottom->labelFont();
        saved_.xLabels = parts_.bottom->tickLabelFont();
    }
    if (parts_.extra) {
        saved_.y2 = parts_.extra->label();
        saved_.y2Font = parts_.extra->labelFont();
        saved_.y2Labels = parts_.extra->tickLabelFont();
    }

    auto* texts = new QGridLayout;
    const auto lastButton = [this](const char* name, const std::string& text) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText("Last Text");
        b->setToolTip(HintFor(text));
        return b;
    };
    title_ = new QPlainTextEdit(saved_.title, this);
    title_->setObjectName("Memo_Title");
    title_->setTabChangesFocus(true);
    title_->setFixedHeight(title_->fontMetrics().lineSpacing() * 3 + 12);
    auto* titleLabel = new QLabel("Char&t:", this);
    titleLabel->setBuddy(title_);
    title_->setAccessibleName("Chart");
    QToolButton* lastTitle = lastButton("Button_LastTitle", ChartTextMemory.Title);
    texts->addWidget(titleLabel, 0, 0, Qt::AlignTop);
    texts->addWidget(title_, 0, 1);
    texts->addWidget(lastTitle, 0, 2, Qt::AlignTop);

    const auto line = [&](int row, const char* label, const char* name, const QString& text,
                          const char* button, const std::string& last, QLineEdit** edit,
                          QToolButton** lastOut, QLabel** labelOut) {
        *edit = new QLineEdit(text, this);
        (*edit)->setObjectName(name);
        auto* l = new QLabel(label, this);
        l->setBuddy(*edit);
        (*edit)->setAccessibleName(QString(label).remove('&').remove(':'));
        *lastOut = lastButton(button, last);
        texts->addWidget(l, row, 0);
        texts->addWidget(*edit, row, 1);
        texts->addWidget(*lastOut, row, 2);
        if (labelOut) *labelOut = l;
    };
    QToolButton *lastY = nullptr, *lastX = nullptr, *lastY2 = nullptr;
    QLabel* y2Label = nullptr;
    line(1, "&Y:", "Edit_Y", saved_.y, "Button_LastY", ChartTextMemory.YTitle, &y_, &lastY, nullptr);
    line(2, "&X:", "Edit_X", saved_.x, "Button_LastX", ChartTextMemory.XTitle, &x_, &lastX, nullptr);
    line(3, "Y&2:", "Edit_Y2", saved_.y2, "Button_LastY2", ChartTextMemory.Y2Title, &y2_, &lastY2, &y2Label);
    y2Label->setObjectName("Label_Y2");
    const bool hasExtra = parts_.extra != nullptr;
    y2_->setVisible(hasExtra);
    y2Label->setVisible(hasExtra);
    lastY2->setVisible(hasExtra);
    texts->setColumnStretch(1, 1);

    auto* sizes = new QGroupBox("Font Sizes", this);
    auto* grid = new QGridLayout(sizes);
    const auto header = [&](int col, const QString& text) {
        auto* l = new QLabel(text, sizes);
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 0, col);
    };
    header(1, "Chart");
    header(2, "Y Axis");
    header(3, "X Axis");
    titleSize_ = SizeBox("ComboBox_TitleSize", saved_.titleFont.pointSizeF());
    yTitleSize_ = SizeBox("ComboBox_YTitleSize", saved_.yFont.pointSizeF());
    xTitleSize_ = SizeBox("ComboBox_XTitleSize", saved_.xFont.pointSizeF());
    yLabelSize_ = SizeBox("ComboBox_YLabelSize", saved_.yLabels.pointSizeF());
    xLabelSize_ = SizeBox("ComboBox_XLabelSize", saved_.xLabels.pointSizeF());
    auto* titleRow = new QLabel("Title Size", sizes);
    auto* labelRow = new QLabel("Label Size", sizes);
    grid->addWidget(titleRow, 1, 0);
    grid->addWidget(titleSize_, 1, 1);
    grid->addWidget(yTitleSize_, 1, 2);
    grid->addWidget(xTitleSize_, 1, 3);
    grid->addWidget(labelRow, 2, 0);
    grid->addWidget(yLabelSize_, 2, 2);
    grid->addWidget(xLabelSize_, 2, 3);
    titleSize_->setAccessibleName("Chart Title Size");
    yTitleSize_->setAccessibleName("Y Axis Title Size");
    xTitleSize_->setAccessibleName("X Axis Title Size");
    yLabelSize_->setAccessibleName("Y Axis Label Size");
    xLabelSize_->setAccessibleName("X Axis Label Size");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(sizes);
    layout->addLayout(MakeOkCancelHelp(this, kHelpChartTitles));

    // Every edit shows on the chart at once.
    connect(title_, &QPlainTextEdit::textChanged, this, [this] {
        overrides_.Title = title_->toPlainText();
        Apply();
    });
    connect(y_, &QLineEdit::textChanged, this, [this](const QString& t) {
        overrides_.YTitle = t;
        Apply();
    });
    connect(x_, &QLineEdit::textChanged, this, [this](const QString& t) {
        overrides_.XTitle = t;
        Apply();
    });
    connect(y2_, &QLineEdit::textChanged, this, [this](const QString& t) {
        overrides_.Y2Title = t;
        Apply();
    });
    connect(lastTitle, &QToolButton::clicked, this,
            [this] { title_->setPlainText(QString::fromStdString(ChartTextMemory.Title)); });
    connect(lastY, &QToolButton::clicked, this,
            [this] { y_->setText(QString::fromStdString(ChartTextMemory.YTitle)); });
    connect(lastX, &QToolButton::clicked, this,
            [this] { x_->setText(QString::fromStdString(ChartTextMemory.XTitle)); });
    connect(lastY2, &QToolButton::clicked, this,
            [this] { y2_->setText(QString::fromStdString(ChartTextMemory.Y2Title)); });
    setTabOrder(title_, lastTitle);
    setTabOrder(lastTitle, y_);
    setTabOrder(y_, lastY);
    setTabOrder(lastY, x_);
    setTabOrder(x_, lastX);
    setTabOrder(lastX, y2_);
    setTabOrder(y2_, lastY2);
    setTabOrder(lastY2, titleSize_);
    setTabOrder(titleSize_, yTitleSize_);
    setTabOrder(yTitleSize_, xTitleSize_);
    setTabOrder(xTitleSize_, yLabelSize_);
    setTabOrder(yLabelSize_, xLabelSize_);
    resize(460, sizeHint().height());
}

QComboBox* TForm_ChartTitles::SizeBox(const char* name, double size) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int s : kSizes)
        box->addItem(QString::number(s));
    box->lineEdit()->setMaxLength(3);
    box->setEditText(SizeText(size));
    InstallKeyFilter(box, KeyFilterKind::UnsignedRealCombo);
    connect(box, &QComboBox::editTextChanged, this, [this, box] { ApplySize(box); });
    return box;
}

void TForm_ChartTitles::ApplySize(QComboBox* box) {
    bool ok = false;
    const double size = box->currentText().toDouble(&ok);
    // An empty or unfinished box changes nothing; sizes below 1 point cannot be drawn.
    if (!ok || size < 1) return;
    if (box == titleSize_) overrides_.TitleSize = size;
    if (box == yTitleSize_) overrides_.YTitleSize = size;
    if (box == xTitleSize_) overrides_.XTitleSize = size;
    if (box == yLabelSize_) overrides_.YLabelSize = size;
    if (box == xLabelSize_) overrides_.XLabelSize = size;
    Apply();
}

// The chart keeps what the dialog changed as a record of its own: what it shows, prints, copies
// and saves.
void TForm_ChartTitles::Apply() {
    if (chart_) chart_->SetOverrides(overrides_);
}

void TForm_ChartTitles::accept() {
    ChartTextMemory.Title = title_->toPlainText().toStdString();
    ChartTextMemory.YTitle = y_->text().toStdString();
    ChartTextMemory.XTitle = x_->text().toStdString();
    if (parts_.extra) ChartTextMemory.Y2Title = y2_->text().toStdString();
    QDialog::accept();
}

void TForm_ChartTitles::reject() {
    if (chart_) chart_->SetOverrides(savedOverrides_);
    QDialog::reject();
}

void EditChartTitles(TChartView* chart, QWidget* parent) {
    if (!chart) return;
    TForm_ChartTitles dialog(chart, parent);
    dialog.exec();
}

} // namespace kivspc::gui
