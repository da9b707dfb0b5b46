// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartWindowParts.h"

#include "app/TextTools.h"
#include "data/DataTable.h"

#include <QAction>
#include <QActionGroup>
#include <QListWidget>
#include <QMenu>
#include <QStyledItemDelegate>

namespace kivspc::gui {

namespace {

// Draws an entry without its two-letter column tag.
class TColumnEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = option->text.mid(2);
    }
};

QString DecimalsCaption(int places) {
    return places < 0 ? QString("Axis Decimal &Places (Floating)")
                      : "Axis Decimal &Places (" + QString::number(places) + ")";
}

} // namespace

QListWidget* MakeColumnList(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->setItemDelegate(new TColumnEntryDelegate(list));
    return list;
}

int EntryColumn(const QListWidgetItem* item) { return item ? TagColumn(item->text().toStdString()) : 0; }

QString ColumnEntry(int column) {
    return QString::fromStdString(ColumnTag(column)) + QString::fromStdString(DataTable().ColumnName(column));
}

void SetShown(QWidget* w, bool shown) {
    if (w && w->isHidden() == shown) w->setHidden(!shown);
}

void BringBack(QWidget* window) {
    if (!window) return;
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

QAction* AddOption(QMenu* menu, const char* name, const QString& text, bool checked,
                   const std::function<void(bool)>& changed) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(checked);
    QObject::connect(a, &QAction::triggered, menu, [changed](bool on) { changed(on); });
    return a;
}

QMenu* AddAxisDecimalsMenu(QMenu* view, int current, const std::function<void(int)>& chosen) {
    QMenu* menu = view->addMenu(DecimalsCaption(current));
    menu->setObjectName("AxisDecimalPlaces1");
    auto* group = new QActionGroup(menu);
    for (int places = -1; places <= 9; ++places) {
        QAction* a = menu->addAction(places < 0 ? QString("&Floating") : "&" + QString::number(places));
        a->setObjectName(places < 0 ? QString("Floating1") : "Decimals" + QString::number(places));
        a->setCheckable(true);
        a->setChecked(places == current);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [menu, places, chosen] {
            menu->setTitle(DecimalsCaption(places));
            chosen(places);
        });
    }
    return menu;
}

} // namespace kivspc::gui
