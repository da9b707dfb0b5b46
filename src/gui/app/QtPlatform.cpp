// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtPlatform.h"

#include "app/HelpViewer.h"

#include "app/SharedState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include <algorithm>

namespace kivspc::gui {

namespace {

constexpr const char* kOrganization = "Kiv Programs";
constexpr const char* kApplication = "Kivspc";

QWidget* DialogParent() { return QApplication::activeWindow(); }

} // namespace

QString QtSettingsStore::GroupOf(const std::string& key) {
    QString path = ToQt(key);
    path.replace('\\', '/');
    const QString prefix = QStringLiteral("/Software/") + kOrganization + '/' + kApplication + '/';
    if (path.startsWith(prefix, Qt::CaseInsensitive)) path = path.mid(prefix.size());
    while (path.startsWith('/'))
        path.remove(0, 1);
    while (path.endsWith('/'))
        path.chop(1);
    return path;
}

bool QtSettingsStore::KeyExists(const std::string& key) {
    QSettings settings(kOrganization, kApplication);
    if (settings.status() != QSettings::NoError) return false;
    settings.beginGroup(GroupOf(key));
    return !settings.childKeys().isEmpty() || !settings.childGroups().isEmpty();
}

bool QtSettingsStore::OpenKey(const std::string& key, bool create) {
    QSettings settings(kOrganization, kApplication);
    if (settings.status() != QSettings::NoError) return false;
    if (create && !settings.isWritable()) return false;
    return create || KeyExists(key);
}

std::optional<std::string> QtSettingsStore::ReadValue(const std::string& key, const std::string& name) {
    QSettings settings(kOrganization, kApplication);
    settings.beginGroup(GroupOf(key));
    const QString valueName = ToQt(name);
    if (!settings.contains(valueName)) return std::nullopt;
    return FromQt(settings.value(valueName).toString());
}

bool QtSettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& text) {
    QSettings settings(kOrganization, kApplication);
    if (!settings.isWritable()) return false;
    settings.beginGroup(GroupOf(key));
    settings.setValue(ToQt(name), ToQt(text));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool QtSettingsStore::WriteInteger(const std::string& key, const std::string& name, long long value) {
    QSettings settings(kOrganization, kApplication);
    if (!settings.isWritable()) return false;
    settings.beginGroup(GroupOf(key));
    settings.setValue(ToQt(name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QtPlatform::QtPlatform() { sinceEvents_.start(); }

QtPlatform::~QtPlatform() { delete progress_; }

void QtPlatform::Beep() { QApplication::beep(); }

void QtPlatform::ShowErrorBox(const std::string& text) {
    QMessageBox::critical(DialogParent(), QObject::tr("Error"), ToQt(text));
}

void QtPlatform::ShowWarningBox(const std::string& text) {
    QMessageBox::warning(DialogParent(), QObject::tr("Warning"), ToQt(text));
}

void QtPlatform::ShowInformationBox(const std::string& text) {
    QMessageBox::information(DialogParent(), QObject::tr("Information"), ToQt(text));
}

bool QtPlatform::ConfirmYesNo(const std::string& text) {
    return QMessageBox::question(DialogParent(), QObject::tr("Confirm"), ToQt(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

Answer QtPlatform::ConfirmYesNoCancel(const std::string& text) {
    auto button =
        QMessageBox::question(DialogParent(), QObject::tr("Confirm"), ToQt(text),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

int QtPlatform::Choose(const std::string& text, const std::vector<std::string>& choices, int defaultChoice) {
    QMessageBox box(QMessageBox::Question, QObject::tr("Confirm"), ToQt(text), QMessageBox::NoButton,
                    DialogParent());
    box.setObjectName("ChoiceBox");
    std::vector<QAbstractButton*> buttons;
    for (const std::string& choice : choices)
        buttons.push_back(box.addButton(ToQt(choice), QMessageBox::AcceptRole));
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    if (defaultChoice >= 0 && static_cast<std::size_t>(defaultChoice) < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons[static_cast<std::size_t>(defaultChoice)]));
    box.setEscapeButton(cancel);
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

void QtPlatform::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::ProgressBegin(const std::string& caption) {
    delete progress_;
    progress_ = new QProgressDialog(ToQt(caption), QString(), 0, 100, DialogParent());
    progress_->setWindowTitle(ToQt(ProgramName));
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(300);
    progress_->setValue(0);
}

void QtPlatform::ProgressSet(int percent) {
    if (progress_) progress_->setValue(std::clamp(percent, 0, 100));
}

void QtPlatform::ProgressEnd() {
    delete progress_;
    progress_ = nullptr;
}

void QtPlatform::KeepResponsive() {
    // Repaint and timers only: a click must not start a second command in the middle of this one.
    if (sinceEvents_.elapsed() < 40) return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceEvents_.restart();
}

std::string QtPlatform::ClipboardText() { return FromQt(QApplication::clipboard()->text()); }

void QtPlatform::SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(ToQt(text)); }

bool QtPlatform::ShellOpen(const std::string& target) {
    QString t = ToQt(target);
    QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
    return QDesktopServices::openUrl(url);
}

bool QtPlatform::ShowHelp(int topic) { return THelpViewer::Instance().ShowTopic(topic); }

} // namespace kivspc::gui
