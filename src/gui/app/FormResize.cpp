// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormResize.h"

#include "app/CommandIcons.h"
#include "app/FormScale.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QEvent>
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

TWorkArea WorkAreaOf(const QWidget* window) {
    const QRect area = WorkArea(window);
    return {area.left(), area.top(), area.width(), area.height()};
}

TFormSize SizeOf(const QWidget* window) { return {window->width(), window->height()}; }

// Sizes that mean "no limit" (0 and QWIDGETSIZE_MAX) stay as they are.
QSize Scaled(const QSize& size, double factor) {
    auto scaleSide = [factor](int side) {
        if (side <= 0 || side >= QWIDGETSIZE_MAX) return side;
        return static_cast<int>(std::lround(side * factor));
    };
    return {scaleSide(size.width()), scaleSide(size.height())};
}

int Scaled(int length, double factor) { return static_cast<int>(std::lround(length * factor)); }

// The icon size a tool bar was built with, kept on the bar when its window is first scaled.
constexpr const char* kDesignedIconSize = "kivspcDesignedIconSize";

void ScaleFonts(QWidget* window, const QList<QWidget*>& children, double factor) {
    // Fonts are read before any is changed: a child inherits its parent's new font otherwise
    // and would be scaled twice.
    std::vector<std::pair<QWidget*, QFont>> fonts;
    fonts.emplace_back(window, window->font());
    for (QWidget* child : children)
        fonts.emplace_back(child, child->font());
    for (auto& [widget, font] : fonts) {
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * factor);
        else if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, Scaled(font.pixelSize(), factor)));
        widget->setFont(font);
    }
}

// Every control keeps its size limits and its grid metrics in step with its font.
void ScaleControlSizes(const QList<QWidget*>& children, double factor) {
    for (QWidget* child : children) {
        child->setMinimumSize(Scaled(child->minimumSize(), factor));
        child->setMaximumSize(Scaled(child->maximumSize(), factor));
        if (auto* table = qobject_cast<QTableView*>(child)) {
            QHeaderView* rows = table->verticalHeader();
            rows->setDefaultSectionSize(Scaled(rows->defaultSectionSize(), factor));
            for (int column = 0; column < table->horizontalHeader()->count(); ++column)
                table->setColumnWidth(column, Scaled(table->columnWidth(column), factor));
        }
    }
}

// Tool-bar icons follow the text: the designed size times the window's scale, so that going
// back and forth never drifts by rounding.
void ScaleToolBarIcons(QWidget* window, double scale) {
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        QVariant designed = bar->property(kDesignedIconSize);
        if (!designed.isValid()) {
            designed = bar->iconSize();
            bar->setProperty(kDesignedIconSize, designed);
        }
        bar->setIconSize(Scaled(designed.toSize(), scale));
    }
}

} // namespace

double ScaleForm(QWidget* window, double& scale, double target) {
    const TFormScale geometry = ScaleFormGeometry(WorkAreaOf(window), SizeOf(window), scale, target);
    if (!geometry.Changed) return 1;
    const bool wasVisible = window->isVisible();
    window->hide();
    scale = geometry.Scale;
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    ScaleFonts(window, children, geometry.Factor);
    ScaleControlSizes(children, geometry.Factor);
    ScaleToolBarIcons(window, scale);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(geometry.Width, geometry.Height);
    window->setFixedSize(geometry.Width, geometry.Height);
    window->move(geometry.Left, geometry.Top);
    if (wasVisible) window->show();
    return geometry.Factor;
}

namespace {

constexpr const char* kCentreWhenShown = "kivspcCentreWhenShown";

void Centre(QWidget* window) {
    const QRect area = WorkArea(window);
    const QSize size = window->frameGeometry().size();
    window->move(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2);
}

// Within the work area: as large as the window's minimum size allows, its top left corner on
// the area whatever its size.
void FitIntoWorkArea(QWidget* window) {
    const QRect area = WorkArea(window);
    const QRect frame = window->frameGeometry();
    const QSize border = frame.size() - window->size();
    if (frame.width() > area.width() || frame.height() > area.height()) {
        const QSize fit(
            std::max(window->minimumWidth(), std::min(window->width(), area.width() - border.width())),
            std::max(window->minimumHeight(), std::min(window->height(), area.height() - border.height())));
        if (fit != window->size()) window->resize(fit);
    }
    const QSize size = window->frameGeometry().size();
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - size.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - size.height()));
    if (left != frame.left() || top != frame.top()) window->move(left, top);
}

// Places a window when it is shown: its layout has given it its size by then.
class TPlacement : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            return false;
        if (window->property(kCentreWhenShown).toBool()) {
            window->setProperty(kCentreWhenShown, false);
            Centre(window);
        }
        FitIntoWorkArea(window);
        return false;
    }
};

} // namespace

void KeepOnScreen(QWidget* window) {
    static TPlacement* placement = nullptr;
    if (!placement) placement = new TPlacement(QCoreApplication::instance());
    // Installing twice would only move it to the front of the filters.
    window->removeEventFilter(placement);
    window->installEventFilter(placement);
}

void CentreOnScreen(QWidget* window) {
    Centre(window);
    if (!window->isVisible()) {
        window->setProperty(kCentreWhenShown, true);
        KeepOnScreen(window);
    }
}

double ToggleFormSize(QWidget* window, QAction* button, double& scale) {
    const double target = ToggleFormTarget(WorkAreaOf(window), SizeOf(window), scale);
    const double factor = ScaleForm(window, scale, target);
    if (button) {
        const bool enlarged = scale > 1;
        button->setIcon(CommandIcon(enlarged ? Command::Restore : Command::Enlarge));
        button->setToolTip(enlarged ? "Minimize Form Size" : "Maximize Form Size");
        button->setText(button->toolTip());
    }
    return factor;
}

} // namespace kivspc::gui
