// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormResize.h"

#include "app/CommandIcons.h"
#include "app/FormScale.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <vector>

namespace kivspc::gui {

namespace {

QRect WorkArea(const QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize Scaled(const QSize& s, double q) {
    auto scale = [q](int v) {
        if (v <= 0 || v >= QWIDGETSIZE_MAX) return v;
        return static_cast<int>(std::lround(v * q));
    };
    return {scale(s.width()), scale(s.height())};
}

// The icon size a tool bar was built with, kept on the bar when its window is first scaled.
constexpr const char* kDesignedIconSize = "kivspcDesignedIconSize";

} // namespace

double ScaleForm(QWidget* window, double& scale, double target) {
    const QRect area = WorkArea(window);
    const QSize size = window->size();
    TFormScale s = ScaleFormGeometry(area.left(), area.top(), area.width(), area.height(), size.width(),
                                     size.height(), scale, target);
    if (!s.Changed) return 1;
    const bool wasVisible = window->isVisible();
    window->hide();
    const double q = s.Factor;
    scale = s.Scale;
    // Children first: every control keeps its own font, its size limits and grid metrics in step.
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    // Fonts are read before any is changed: a child inherits its parent's new font otherwise
    // and would be scaled twice.
    std::vector<std::pair<QWidget*, QFont>> fonts;
    fonts.emplace_back(window, window->font());
    for (QWidget* w : children) fonts.emplace_back(w, w->font());
    for (auto& [w, font] : fonts) {
        if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * q);
        else if (font.pixelSize() > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * q))));
        w->setFont(font);
    }
    for (QWidget* w : children) {
        w->setMinimumSize(Scaled(w->minimumSize(), q));
        w->setMaximumSize(Scaled(w->maximumSize(), q));
        if (auto* table = qobject_cast<QTableView*>(w)) {
            table->verticalHeader()->setDefaultSectionSize(
                static_cast<int>(std::lround(table->verticalHeader()->defaultSectionSize() * q)));
            for (int c = 0; c < table->horizontalHeader()->count(); ++c)
                table->setColumnWidth(c, static_cast<int>(std::lround(table->columnWidth(c) * q)));
        }
    }
    // Tool-bar icons follow the text: the designed size times the window's scale, so that going
    // back and forth never drifts by rounding.
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        QVariant designed = bar->property(kDesignedIconSize);
        if (!designed.isValid()) {
            designed = bar->iconSize();
            bar->setProperty(kDesignedIconSize, designed);
        }
        bar->setIconSize(Scaled(designed.toSize(), scale));
    }
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(s.Width, s.Height);
    window->setFixedSize(s.Width, s.Height);
    window->move(s.Left, s.Top);
    if (wasVisible) window->show();
    return q;
}

void CentreOnScreen(QWidget* window) { window->move(WorkArea(window).center() - window->rect().center()); }

double ToggleFormSize(QWidget* window, QAction* button, double& scale) {
    const QRect area = WorkArea(window);
    const double target = ToggleFormTarget(area.width(), area.height(), window->width(), window->height(), scale);
    const double q = ScaleForm(window, scale, target);
    if (button) {
        const bool enlarged = scale > 1;
        button->setIcon(CommandIcon(enlarged ? Command::Restore : Command::Enlarge));
        button->setToolTip(enlarged ? "Minimize Form Size" : "Maximize Form Size");
        button->setText(button->toolTip());
    }
    return q;
}

} // namespace kivspc::gui
