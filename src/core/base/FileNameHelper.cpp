#include "core/base/FileNameHelper.h"

#include "platform/ToolText.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

// Any item counts as taken, a dangling link included: extracting into one would follow it.
bool pathIsTaken(const QString& path) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(path).constData(), &info) == 0;
}

}  // namespace

namespace FileNameHelper {

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
