#include "core/base/FileNameHelper.h"

#include "core/base/LegacyNames.h"
#include "platform/ToolText.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>

#include <sys/stat.h>

namespace {

// Any item counts as taken, a dangling link included: extracting into one would follow it.
bool pathIsTaken(const QString& path) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(path).constData(), &info) == 0;
}

// Runs that hold escaped bytes, with the ASCII beside them that is not a separator: a legacy name's
// two-byte characters may end in an ASCII byte, so the name is decoded whole.
struct LegacyRun {
    qsizetype start = 0;
    qsizetype length = 0;
};

QList<LegacyRun> legacyRuns(const QString& text) {
    QList<LegacyRun> runs;
    qsizetype index = 0;
    while (index < text.size()) {
        const qsizetype start = index;
        bool escaped = false;
        for (; index < text.size(); ++index) {
            const bool isEscaped = ToolText::isEscapedByte(text, index);
            if (!isEscaped && (text[index].unicode() >= 0x80 || text[index] == QLatin1Char('/'))) break;
            escaped = escaped || isEscaped;
        }
        if (escaped) runs.append({start, index - start});
        index = std::max(index, start + 1);
    }
    return runs;
}

}  // namespace

namespace FileNameHelper {

QString shownText(const QString& text) {
    const QList<LegacyRun> runs = legacyRuns(text);
    if (runs.isEmpty()) return text;
    QList<QByteArray> names;
    for (const LegacyRun& run : runs) names.append(ToolText::encodedName(text.mid(run.start, run.length)));
    // One decision for the text's legacy names, as for an archive's.
    const LegacyNames legacy(names, LegacyNames::Source::fileSystemBytes);
    QString shown;
    qsizetype done = 0;
    for (qsizetype index = 0; index < runs.size(); ++index) {
        shown += QStringView(text).sliced(done, runs[index].start - done);
        shown += legacy.shown(names[index]);
        done = runs[index].start + runs[index].length;
    }
    return shown + text.mid(done);
}

QString shownName(const QString& url) { return shownText(lastPathComponent(url)); }

QString lastPathComponent(const QString& url) {
    QString path = url;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString pathExtension(const QString& url) {
    const QString name = lastPathComponent(url);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString deletingPathExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString numberedName(const QString& name, qint64 number, bool isFolder) {
    const QString suffix = QLatin1Char(' ') + QString::number(number);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (isFolder || dot <= 0) return name + suffix;
    return name.left(dot) + suffix + name.mid(dot);
}

QString uniqueDirectoryURL(const QString& baseName, const QString& directoryURL) {
    const QString name = baseName.isEmpty() ? QStringLiteral(u"解压文件") : baseName;
    const QDir directory(directoryURL);
    QString candidate = directory.filePath(name);
    for (qint64 counter = 1; pathIsTaken(candidate); ++counter) {
        candidate = directory.filePath(numberedName(name, counter, true));
    }
    return candidate;
}

QString archiveBaseName(const QString& fileURL) {
    const QString fileName = lastPathComponent(fileURL);
    QString stem = deletingPathExtension(fileName);
    if (stem.endsWith(QStringLiteral(".tar"), Qt::CaseInsensitive)) stem.chop(4);
    return stem.isEmpty() ? fileName : stem;
}

}  // namespace FileNameHelper
