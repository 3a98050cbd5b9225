#include "support/RecordedListings.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace RecordedListings {

const QStringList kFiles{QStringLiteral("7zz-slt-zip.txt"), QStringLiteral("7zz-slt-7z.txt"),
                         QStringLiteral("7zz-slt-tar.txt"), QStringLiteral("unrar-lt.txt")};

QByteArray recorded(const QString& file) {
    QFile stored(QStringLiteral(VELMORA_FIXTURES_DIR "/listings/") + file);
    if (!stored.open(QIODevice::ReadOnly)) return {};
    return stored.readAll();
}

bool recordInto(const QString& folder, QString& error) {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("/bin/sh"), {QStringLiteral(VELMORA_FIXTURES_DIR "/record.sh"), folder});
    const bool finished = script.waitForFinished(QDeadlineTimer(60'000).remainingTime());
    error = QString::fromUtf8(script.readAll());
    return finished && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
}

QList<QStringList> keyBlocks(const QByteArray& listing) {
    // 7-Zip writes "Key = value", unrar "  Key: value"; banners and summaries have neither.
    static const QRegularExpression keyLine(QStringLiteral("^\\s*([A-Za-z][A-Za-z0-9 ]*?)(?: =|:) "));
    QList<QStringList> blocks{QStringList()};
    for (const QString& line : QString::fromUtf8(listing).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!blocks.last().isEmpty()) blocks.append(QStringList());
            continue;
        }
        if (const QRegularExpressionMatch match = keyLine.match(line); match.hasMatch())
            blocks.last().append(match.captured(1));
    }
    if (blocks.last().isEmpty()) blocks.removeLast();
    return blocks;
}

}  // namespace RecordedListings
