// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogParts.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include "app/Help.h"

namespace kivspc::gui {

QPushButton* MakeHelpButton(QWidget* parent, int helpTopic, const QString& name) {
    auto* help = new QPushButton("Help", parent);
    help->setObjectName(name);
    help->setAutoDefault(false);
    QObject::connect(help, &QPushButton::clicked, help, [helpTopic] { ShowHelpTopic(helpTopic); });
    return help;
}

void AddHelpShortcut(QDialog* dialog, int helpTopic) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    f1->setObjectName("HelpShortcut");
    QObject::connect(f1, &QShortcut::activated, dialog, [helpTopic] { ShowHelpTopic(helpTopic); });
}

QHBoxLayout* MakeOkCancelHelp(QDialog* dialog, int helpTopic, const QString& okText) {
    auto* ok = new QPushButton(okText, dialog);
    ok->setObjectName("Button_OK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", dialog);
    cancel->setObjectName("Button_Cancel");
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    row->addWidget(MakeHelpButton(dialog, helpTopic));
    AddHelpShortcut(dialog, helpTopic);
    return row;
}

QGroupBox* MakeRadioGroup(QWidget* parent, const QString& name, const QString& title,
                          const QStringList& items, int columns, QButtonGroup** group) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* buttons = new QButtonGroup(box);
    auto* grid = new QGridLayout(box);
    columns = std::max(columns, 1);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        buttons->addButton(radio, i);
        grid->addWidget(radio, i / columns, i % columns);
    }
    *group = buttons;
    return box;
}

void SetRadioIndex(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps its checked button otherwise.
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(exclusive);
}

} // namespace kivspc::gui
