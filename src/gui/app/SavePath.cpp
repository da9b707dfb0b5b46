// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SavePath.h"

#include "app/Messages.h"
#include "app/QtPlatform.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace kivspc::gui {

QString SavePathForFilter(const QString& chosenPath, const QString& nameFilter,
                          const QStringList& extensions) {
    if (extensions.contains(QFileInfo(chosenPath).suffix().toLower())) return chosenPath;
    static const QRegularExpression pattern("\\*\\.(\\w+)");
    QString extension = pattern.match(nameFilter).captured(1).toLower();
    if (!extensions.contains(extension)) extension = extensions.value(0);
    QString path = chosenPath;
    while (path.endsWith('.'))
        path.chop(1);
    return path + '.' + extension;
}

QStringList FilterExtensions(const QString& nameFilter) {
    static const QRegularExpression pattern("\\*\\.(\\w+)");
    QStringList extensions;
    for (auto it = pattern.globalMatch(nameFilter); it.hasNext();) {
        const QString extension = it.next().captured(1).toLower();
        if (!extensions.contains(extension)) extensions.push_back(extension);
    }
    return extensions;
}

QString PathForSaveType(const QString& chosenPath, const QStringList& typeExtensions,
                        const QString& preferred) {
    const QString extension = QFileInfo(chosenPath).suffix().toLower();
    if (typeExtensions.isEmpty() && (!extension.isEmpty() || preferred.isEmpty())) return chosenPath;
    if (typeExtensions.contains(extension)) return chosenPath;
    QString path = chosenPath;
    while (path.endsWith('.'))
        path.chop(1);
    const QString added =
        typeExtensions.isEmpty() || typeExtensions.contains(preferred) ? preferred : typeExtensions.first();
    return path + '.' + added;
}

bool MayWriteSavePath(const QString& chosenPath, const QString& path) {
    return path == chosenPath || !QFileInfo::exists(path) ||
           AskYesNo(FromQt(QFileInfo(path).fileName() + " already exists.\nDo you want to replace it?"));
}

} // namespace kivspc::gui
