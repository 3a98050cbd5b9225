#pragma once

#include <QProcess>
#include <QString>

// What desktop-file-validate says about the file: empty when it passes without a remark.
inline QString desktopFileValidateOutput(const QString& path) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("desktop-file-validate"), {path});
    if (!process.waitForFinished(30000)) return QStringLiteral("desktop-file-validate did not run");
    const QString output = QString::fromUtf8(process.readAll());
    if (process.exitCode() != 0 && output.isEmpty())
        return QStringLiteral("exit code %1").arg(process.exitCode());
    return output;
}
