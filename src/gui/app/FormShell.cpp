// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormShell.h"

#include "app/FormResize.h"
#include "app/Help.h"
#include "app/MRUFilesUnit.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace kivspc::gui {

namespace {

constexpr int kRecentItems = 9;

// Program windows, frontmost first.
QList<QPointer<QWidget>>& Forms() {
    static QList<QPointer<QWidget>> forms;
    return forms;
}

// Moves a window to the front of the list whenever it is activated.
class ActivationWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::WindowActivate && watched->isWidgetType())
            MoveFormToFront(static_cast<QWidget*>(watched));
        return false;
    }
};

DataFileOpener& Opener() {
    static DataFileOpener opener;
    return opener;
}

void Prune() { Forms().removeAll(QPointer<QWidget>()); }

void BringForward(QWidget* w) {
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    MoveFormToFront(w);
}

} // namespace

void RegisterForm(QWidget* window) {
    static ActivationWatcher* watcher = nullptr;
    if (!watcher) watcher = new ActivationWatcher(QCoreApplication::instance());
    Prune();
    if (!Forms().contains(window)) Forms().append(window);
    window->installEventFilter(watcher);
    KeepOnScreen(window);
}

QList<QWidget*> FormsFrontToBack() {
    Prune();
    QList<QWidget*> list;
    for (const QPointer<QWidget>& w : Forms())
        list.append(w.data());
    return list;
}

void MoveFormToFront(QWidget* window) {
    const qsizetype at = Forms().indexOf(window);
    if (at > 0) Forms().move(at, 0);
}

void ViewNextForm(bool hiddenToo) {
    const QList<QWidget*> forms = FormsFrontToBack();
    if (forms.size() < 3) return;
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        QWidget* w = *it;
        if (qobject_cast<QDialog*>(w)) continue;
        if (!hiddenToo && !w->isVisible()) continue;
        BringForward(w);
        return;
    }
}

void HideAllForms() {
    const QList<QWidget*> forms = FormsFrontToBack();
    for (qsizetype i = 1; i < forms.size(); ++i)
        forms[i]->hide();
}

void FillFormsMenu(QMenu* menu) {
    menu->clear();
    QList<QWidget*> others = FormsFrontToBack();
    if (!others.isEmpty()) others.removeFirst();
    if (others.isEmpty()) {
        QAction* none = menu->addAction("(No Open Forms)");
        none->setObjectName("NoOpenForms1");
        none->setEnabled(false);
        return;
    }
    std::sort(others.begin(), others.end(), [](QWidget* a, QWidget* b) {
        return QString::localeAwareCompare(a->windowTitle(), b->windowTitle()) < 0;
    });
    for (QWidget* w : others) {
        QAction* entry = menu->addAction(w->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(w->isVisible());
        QPointer<QWidget> target = w;
        QObject::connect(entry, &QAction::triggered, menu, [target] {
            if (target) BringForward(target);
        });
    }
    menu->addSeparator();
    QAction* hide = menu->addAction("&Hide All Forms");
    hide->setObjectName("HideAllForms1");
    QObject::connect(hide, &QAction::triggered, menu, [] { HideAllForms(); });
}

void SetDataFileOpener(DataFileOpener opener) { Opener() = std::move(opener); }

void AddRecentFileItems(QMenu* file, QWidget* window, const QString& returnCaption,
                        const char* separatorName) {
    file->addSeparator()->setObjectName(separatorName);
    for (int n = 1; n <= kRecentItems; ++n) {
        QAction* item = file->addAction(QString());
        item->setObjectName(QString("MRFile%1").arg(n));
        QPointer<QWidget> owner = window;
        QObject::connect(item, &QAction::triggered, file,
                         [item, owner, returnCaption] { OpenRecentFileFrom(item, owner, returnCaption); });
    }
    QPointer<QWidget> owner = window;
    QObject::connect(file, &QMenu::aboutToShow, file, [owner] {
        if (owner) UpdateMenu(owner);
    });
    UpdateMenu(window);
}

void UpdateMenu(QWidget* window) {
    TMRUFiles& mru = MRUFiles();
    mru.Load();
    for (const char* name : {"MenuLineMRU", "MenulineMRU"})
        if (auto* line = window->findChild<QAction*>(name)) line->setVisible(!mru.Entries[1].empty());
    for (int n = 1; n <= kRecentItems; ++n) {
        auto* item = window->findChild<QAction*>(QString("MRFile%1").arg(n));
        if (!item) break;
        const std::string& path = mru.Entries[static_cast<std::size_t>(n)];
        item->setVisible(!path.empty());
        item->setText(QString("&%1  %2").arg(n).arg(ToQt(path)));
    }
}

bool OpenRecentFileFrom(QAction* item, QWidget* window, const QString& caption) {
    // The caption is "&n  path": the path starts at its fifth character.
    const QString path = item->text().mid(4);
    const QFileInfo info(path);
    if (!info.isFile()) {
        ShowError(FromQt("File Not Found!\r\n\r\n" + path));
        return false;
    }
    if (info.suffix().compare("PER", Qt::CaseInsensitive) == 0) {
        Beep();
        return false;
    }
    return Opener() && Opener()(path, window, caption);
}

void AddHelpItems(QMenu* help, int topic, const QString& caption, const char* itemName) {
    QAction* contents = help->addAction("&Contents");
    contents->setObjectName("Contents1");
    QObject::connect(contents, &QAction::triggered, help, [] { ShowHelpContents(); });
    QAction* own = help->addAction(caption);
    own->setObjectName(itemName);
    own->setShortcut(Qt::Key_F1);
    QObject::connect(own, &QAction::triggered, help, [topic] { ShowHelpTopic(topic); });
}

void SetUpFormMenus(QMainWindow* window, const FormMenus& menus) {
    RegisterForm(window);
    if (menus.fileMenu)
        AddRecentFileItems(menus.fileMenu, window, menus.returnCaption, menus.recentSeparator);
    if (menus.formResize) {
        QMenu* view = window->menuBar()->findChild<QMenu*>("View1");
        if (!view) {
            view = window->menuBar()->addMenu("&View");
            view->setObjectName("View1");
        }
        QAction* resize = view->addAction("&Form Resize");
        resize->setObjectName("FormResize1");
        QObject::connect(resize, &QAction::triggered, window, menus.formResize);
    }
    if (menus.helpTopic > 0) {
        QMenu* help = window->menuBar()->addMenu("&Help");
        help->setObjectName("Help1");
        AddHelpItems(help, menus.helpTopic, menus.helpCaption, menus.helpItemName);
    }
}

} // namespace kivspc::gui
