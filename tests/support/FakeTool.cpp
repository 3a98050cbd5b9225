#include "support/FakeTool.h"

#include <QDir>
#include <QFile>

FakeTool::FakeTool(const QString& folder, const QString& name, const QString& body)
    : m_path(folder + QLatin1Char('/') + name) {
    QDir().mkpath(folder);
    QFile file(m_path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QString script = QStringLiteral(
                               "#!/bin/sh\n"
                               "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$0.argv\"; done\n"
                               "printf '\\n' >> \"$0.argv\"\n"
                               "{ cat; printf '\\036'; } >> \"$0.stdin\"\n") +
                           body + QLatin1Char('\n');
    file.write(script.toUtf8());
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QList<QStringList> FakeTool::recordedRuns() const {
    QFile file(m_path + QStringLiteral(".argv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QStringList> runs;
    QStringList current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty()) {
            if (!current.isEmpty()) runs << current;
            current.clear();
        } else {
            current << line;
        }
    }
    return runs;
}

QStringList FakeTool::recordedInputs() const {
    QFile file(m_path + QStringLiteral(".stdin"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList inputs = QString::fromUtf8(file.readAll()).split(QChar(0x1e));
    inputs.removeLast();  // after the last separator
    return inputs;
}
