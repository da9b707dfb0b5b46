// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ControlTestsForm.h"

#include "app/DialogParts.h"
#include "app/Help.h"
#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace kivspc::gui {

namespace {

// A count: two digits, and left empty it takes its minimum rather than its last value.
class TCountSpinEdit : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    void fixup(QString& input) const override {
        if (input.trimmed().isEmpty())
            input = QString::number(minimum());
        else
            QSpinBox::fixup(input);
    }
};

// One row of the dialog: the caption (its accelerator leads to the first count, or to the
// Standard check box where there is none), the counts and the words after them.
struct TestRow {
    const char* caption;
    int count = -1;         // place of the count in the settings, -1 for none
    int window = -1;        // place of the zone rule's m, -1 for none
    const char* after = ""; // the words after the counts
};

// clang-format off
const TestRow kRows[kControlTestCount] = {
    {"Points &Outside Control Limits"},
    {"&Run:", kCountRun, -1, "Consecutive Points All Above or All Below the Centerline"},
    {"&Trend:", kCountTrend, -1, "Consecutive Points All Increasing or All Decreasing"},
    {"&Excess Variability:", kCountExcessVariability, -1, "Consecutive Points Outside One Standard Error"},
    {"&Lack of Variability:", kCountLackOfVariability, -1, "Consecutive Points Within One Standard Error"},
    {"&Alternating Values:", kCountAlternating, -1, "Consecutive Points Alternating direction"},
    {"Zone Rule &1:", kCountZoneRule1K, kCountZoneRule1M, "Consecutive Points Outside One Standard Error"},
    {"Zone Rule &2:", kCountZoneRule2K, kCountZoneRule2M, "Consecutive Points Outside Two Standard Errors"},
    {"Excessive &Moving Range between Two Points (3.6864 Standard Errors)"},
};
// clang-format on

// The controls' numbers: CheckBox1-9 (Standard), CheckBox11-18 (Moving Range), SpinEdit2-8 for
// counts 1-7 and SpinEdit17-18 for counts 15-16.
QString SpinEditName(int place) {
    return "SpinEdit" + QString::number(place >= kCountZoneRule1M ? place + 2 : place + 1);
}

QString PlainCaption(const char* caption) {
    return QString(caption).remove('&').remove(QChar(':')).trimmed();
}

} // namespace

TForm_ControlTests::TForm_ControlTests(QWidget* parent) : QDialog(parent), shown_(ControlTestSettings) {
    setObjectName("Form_ControlTests");
    setWindowTitle("Tests for Statistical Control");

    auto* box = new QGroupBox("Statistical Tests", this);
    box->setObjectName("GroupBox_Tests");
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("Standard", box), 0, 0, Qt::AlignCenter);
    grid->addWidget(new QLabel("Moving Range", box), 0, 1, Qt::AlignCenter);
    std::vector<QLabel*> countCaptions;
    for (int t = 1; t <= kControlTestCount; ++t) {
        const TestRow& row = kRows[t - 1];
        const QString name = PlainCaption(row.caption);
        auto* standard = new QCheckBox(box);
        standard->setObjectName("CheckBox" + QString::number(t));
        standard->setAccessibleName(name + " (Standard)");
        standard_[static_cast<std::size_t>(t - 1)] = standard;
        grid->addWidget(standard, t, 0, Qt::AlignCenter);
        if (t < kControlTestCount) {
            auto* movingRange = new QCheckBox(box);
            movingRange->setObjectName("CheckBox1" + QString::number(t));
            movingRange->setAccessibleName(name + " (Moving Range)");
            movingRange_[static_cast<std::size_t>(t - 1)] = movingRange;
            grid->addWidget(movingRange, t, 1, Qt::AlignCenter);
        }

        auto* line = new QHBoxLayout;
        auto* caption = new QLabel(row.caption, box);
        caption->setBuddy(standard);
        line->addWidget(caption);
        if (row.count >= 0) {
            countCaptions.push_back(caption);
            QSpinBox* count = AddCount(row.count, SpinEditName(row.count), name);
            caption->setBuddy(count);
            line->addWidget(count);
            if (row.window >= 0) {
                line->addWidget(new QLabel("of", box));
                QSpinBox* window = AddCount(row.window, SpinEditName(row.window), name + " window");
                line->addWidget(window);
                CoupleZoneCounts(count, window);
            }
            line->addWidget(new QLabel(row.after, box));
        }
        line->addStretch();
        grid->addLayout(line, t, 2);
    }
    grid->setColumnMinimumWidth(1, fontMetrics().horizontalAdvance("Moving Range"));
    // The counts line up in one column.
    int captionWidth = 0;
    for (const QLabel* caption : countCaptions)
        captionWidth = std::max(captionWidth, caption->sizeHint().width());
    for (QLabel* caption : countCaptions)
        caption->setMinimumWidth(captionWidth);

    auto* ok = new QPushButton("O&K", this);
    ok->setObjectName("Button_OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("&Cancel", this);
    cancel->setObjectName("Button_Cancel");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* save = new QPushButton("&Save as Default", this);
    save->setObjectName("Button_Save");
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &TForm_ControlTests::Button_SaveClick);
    auto* restore = new QPushButton("Restore &Default", this);
    restore->setObjectName("Button_Restore");
    restore->setAutoDefault(false);
    connect(restore, &QPushButton::clicked, this, &TForm_ControlTests::Button_RestoreClick);
    AddHelpShortcut(this, kHelpControlTests);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(restore);
    buttons->addStretch();
    buttons->addWidget(MakeHelpButton(this, kHelpControlTests));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowSettings(ControlTestSettings);
}

QSpinBox* TForm_ControlTests::AddCount(int place, const QString& name, const QString& accessibleName) {
    auto* count = new TCountSpinEdit(this);
    count->setObjectName(name);
    count->setAccessibleName(accessibleName);
    const TCountRange range = ControlTestCountRange(place);
    count->setRange(range.Min, range.Max);
    InstallKeyFilter(count, KeyFilterKind::Integer);
    counts_[static_cast<std::size_t>(place)] = count;
    return count;
}

void TForm_ControlTests::CoupleZoneCounts(QSpinBox* least, QSpinBox* window) {
    connect(least, &QSpinBox::valueChanged, this, [least, window](int k) {
        if (k >= window->value()) window->setValue(k + 1);
        // At the top of the range m cannot follow, so k steps back below it.
        if (k >= window->value()) least->setValue(window->value() - 1);
    });
    connect(window, &QSpinBox::valueChanged, this, [least](int m) {
        if (m <= least->value()) least->setValue(m - 1);
    });
}

TControlTestSettings TForm_ControlTests::ControlsSettings() const {
    TControlTestSettings settings = shown_;
    for (std::size_t t = 0; t < standard_.size(); ++t) {
        settings.StdCheck[t] = standard_[t]->isChecked();
        if (movingRange_[t]) settings.MRCheck[t] = movingRange_[t]->isChecked();
    }
    for (std::size_t place = 0; place < counts_.size(); ++place)
        if (counts_[place]) settings.Counts[place] = static_cast<std::uint8_t>(counts_[place]->value());
    return settings;
}

void TForm_ControlTests::ShowSettings(const TControlTestSettings& settings) {
    shown_ = settings;
    for (std::size_t t = 0; t < standard_.size(); ++t) {
        standard_[t]->setChecked(settings.StdCheck[t]);
        if (movingRange_[t]) movingRange_[t]->setChecked(settings.MRCheck[t]);
    }
    // The counts are shown as they are, without the zone rules' coupling in between.
    for (std::size_t place = 0; place < counts_.size(); ++place) {
        if (!counts_[place]) continue;
        const QSignalBlocker quiet(counts_[place]);
        counts_[place]->setValue(settings.Counts[place]);
    }
}

void TForm_ControlTests::accept() {
    ControlTestSettings = ControlsSettings();
    QDialog::accept();
}

void TForm_ControlTests::Button_SaveClick() {
    ControlTestSettings = ControlsSettings();
    shown_ = ControlTestSettings;
    SaveControlTestSettings();
    Beep();
    ShowInformation("Settings Saved as Default");
}

void TForm_ControlTests::Button_RestoreClick() {
    LoadControlTestSettings();
    ShowSettings(ControlTestSettings);
}

bool ShowControlTestsDialog(QWidget* parent) {
    TForm_ControlTests form(parent);
    return form.exec() == QDialog::Accepted;
}

} // namespace kivspc::gui
