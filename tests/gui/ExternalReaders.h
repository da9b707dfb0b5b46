// SPDX-License-Identifier: GPL-3.0-or-later
// The real readers the export tests open files with (emf2svg-conv, wmf2svg, djpeg, identify,
// rsvg-convert, pdftotext).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <optional>

// Runs a reader program; its standard output, or nothing when it is missing or fails.
inline std::optional<QByteArray> RunReader(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QByteArray();
    return p.readAllStandardOutput();
}
