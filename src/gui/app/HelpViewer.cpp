// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpViewer.h"

#include "app/CommandIcons.h"
#include "app/Messages.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QWindow>

namespace kivspc::gui {

namespace {
QPointer<THelpViewer> theViewer;
}

THelpViewer& THelpViewer::Instance() {
    if (!theViewer) theViewer = new THelpViewer;
    return *theViewer;
}

void THelpViewer::Quit() { delete theViewer.data(); }

QString THelpViewer::TopicPage(int topic) {
    const QString page =
        topic == 0 ? QStringLiteral(":/help/contents.html") : QStringLiteral(":/help/%1.html").arg(topic);
    return QFile::exists(page) ? page : QString();
}

THelpViewer::THelpViewer(QWidget* parent) : QMainWindow(parent) {
    setObjectName("HelpViewer");
    setWindowTitle("Kivspc Help");
    resize(760, 640);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setSearchPaths({":/help"});
    // Our pages open here; addresses on the web go to the browser.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);
    setCentralWidget(browser_);
    connect(browser_, &QTextBrowser::sourceChanged, this, &THelpViewer::UpdateCaption);

    QToolBar* bar = addToolBar("Help");
    bar->setObjectName("HelpToolBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto add = [this, bar](const char* name, const QIcon& icon, const QString& text,
                           const QKeySequence& keys) {
        QAction* a = bar->addAction(icon, text);
        a->setObjectName(name);
        a->setShortcut(keys);
        a->setToolTip(keys.isEmpty() ? text : text + " (" + keys.toString(QKeySequence::NativeText) + ")");
        return a;
    };
    QAction* contents = add("HelpContents", CommandIcon(Command::OpenForms), "&Contents",
                            QKeySequence(Qt::ALT | Qt::Key_Home));
    QAction* back = add("HelpBack", QIcon::fromTheme("go-previous", CommandIcon(Command::Return)), "&Back",
                        QKeySequence::Back);
    QAction* forward = add("HelpForward", QIcon::fromTheme("go-next"), "&Forward", QKeySequence::Forward);
    QAction* print = add("HelpPrint", CommandIcon(Command::Print), "&Print...", QKeySequence::Print);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this, [this] { ShowTopic(0); });
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(print, &QAction::triggered, this, &THelpViewer::PrintPage);

    bar->addSeparator();
    auto* findLabel = new QLabel("F&ind:", bar);
    findEdit_ = new QLineEdit(bar);
    findEdit_->setObjectName("HelpFindEdit");
    findEdit_->setAccessibleName("Find in page");
    findEdit_->setPlaceholderText("text in this page");
    findEdit_->setMaximumWidth(220);
    findLabel->setBuddy(findEdit_);
    bar->addWidget(findLabel);
    bar->addWidget(findEdit_);
    QAction* next = add("HelpFindNext", QIcon::fromTheme("go-down"), "Next", QKeySequence::FindNext);
    QAction* previous =
        add("HelpFindPrevious", QIcon::fromTheme("go-up"), "Previous", QKeySequence::FindPrevious);
    QAction* focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence::Find);
    addAction(focusFind);
    connect(focusFind, &QAction::triggered, this, [this] {
        findEdit_->setFocus();
        findEdit_->selectAll();
    });
    auto findNext = [this](bool backwards) {
        if (!Find(findEdit_->text(), backwards))
            statusBar()->showMessage(QString("\"%1\" was not found in this page.").arg(findEdit_->text()),
                                     4000);
        else
            statusBar()->clearMessage();
    };
    connect(findEdit_, &QLineEdit::returnPressed, this, [findNext] { findNext(false); });
    connect(next, &QAction::triggered, this, [findNext] { findNext(false); });
    connect(previous, &QAction::triggered, this, [findNext] { findNext(true); });
    statusBar()->setObjectName("HelpStatus");
}

bool THelpViewer::ShowTopic(int topic) {
    const QString page = TopicPage(topic);
    if (page.isEmpty()) return false;
    browser_->setSource(QUrl("qrc" + page));
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    return true;
}

bool THelpViewer::event(QEvent* e) {
    // A modal dialog blocks every window but itself and the windows it is a transient parent of.
    // Help is read beside the dialog that asked for it (its F1 and Help button open the viewer while
    // it waits), and beside any dialog opened while help is up: the viewer goes with the dialog in
    // front, so it can still be scrolled, followed and navigated.
    // A dialog of the viewer's own (printing) blocks it as any dialog blocks its window.
    if (e->type() == QEvent::WindowBlocked) {
        QWindow* modal = QGuiApplication::modalWindow();
        QWindow* own = windowHandle();
        if (modal && own && modal != own && own->transientParent() != modal &&
            !own->isAncestorOf(modal, QWindow::IncludeTransients)) {
            own->setTransientParent(modal);
            return true;
        }
    } else if (e->type() == QEvent::WindowUnblocked && !QGuiApplication::modalWindow() && windowHandle()) {
        // With no dialog left the viewer stands on its own again.
        windowHandle()->setTransientParent(nullptr);
    }
    return QMainWindow::event(e);
}

bool THelpViewer::Find(const QString& text, bool backwards) {
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(text, flags)) return true;
    // Round the end of the page once.
    QTextCursor cursor = browser_->textCursor();
    cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(cursor);
    return browser_->find(text, flags);
}

void THelpViewer::PrintPage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    browser_->print(&printer);
}

void THelpViewer::UpdateCaption() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QString("Kivspc Help") : "Kivspc Help - " + title);
}

} // namespace kivspc::gui
