#include "core/base/InputItem.h"

#include "core/base/FileTree.h"
#include "platform/ToolText.h"

#include <QDir>

#include <sys/stat.h>

namespace InputItem {

namespace {

QString kindName(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral(u"命名管道");
    if (S_ISSOCK(mode)) return QStringLiteral(u"套接字");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral(u"设备文件");
    return QStringLiteral(u"特殊文件");
}

}  // namespace

QString normalizedPath(const QString& path) {
    if (path.isEmpty()) return path;
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path);
}

QStringList normalizedPaths(const QStringList& paths) {
    QStringList normalized;
    normalized.reserve(paths.size());
    for (const QString& path : paths) normalized << normalizedPath(path);
    return normalized;
}

bool isContent(mode_t mode) { return S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode); }

State stateOf(const QString& path) {
    struct stat info {};
    if (::stat(ToolText::encodedName(path).constData(), &info) != 0) return State::missing;
    return S_ISREG(info.st_mode) || S_ISDIR(info.st_mode) ? State::usable : State::notFileOrFolder;
}

QString notFileOrFolderText(const QString& path) {
    struct stat info {};
    const mode_t mode = ::stat(ToolText::encodedName(path).constData(), &info) == 0 ? info.st_mode : 0;
    return QStringLiteral(u"“") + path + QStringLiteral(u"”是") + kindName(mode) +
           QStringLiteral(u"，不是文件或文件夹，无法使用。");
}

std::optional<QString> firstNonContentInside(const QString& folder, const CancellationToken& token) {
    struct stat info {};
    if (::lstat(ToolText::encodedName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    std::optional<QString> found;
    FileTree::walk(
        folder,
        [&found](const FileTree::Entry& entry) {
            if (!found && !isContent(entry.info.st_mode)) found = entry.path;
            return !found;
        },
        {}, token);
    return found;
}

}  // namespace InputItem
