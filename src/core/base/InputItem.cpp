#include "core/base/InputItem.h"

#include "core/base/FileTree.h"
#include "platform/ToolText.h"

#include <QDir>
#include <QFileInfo>

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace InputItem {

namespace {

QString kindName(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral(u"命名管道");
    if (S_ISSOCK(mode)) return QStringLiteral(u"套接字");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral(u"设备文件");
    return QStringLiteral(u"特殊文件");
}

// Bounds a loop of links, as the system's own lookup does.
constexpr int kMaxLinkHops = 40;

bool sameItem(const QString& path, const struct stat& info) {
    struct stat other {};
    return ::stat(ToolText::encodedName(path).constData(), &other) == 0 && other.st_dev == info.st_dev &&
           other.st_ino == info.st_ino;
}

// The folder a link (or a chain of links) in the last component leads to, its own parent kept where
// the link's target allows; the path itself when it is no link or leads to no folder.
QString followedToFolder(const QString& path) {
    struct stat info {};
    const QByteArray encodedPath = ToolText::encodedName(path);
    if (::stat(encodedPath.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) return path;
    QString current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length =
            ::readlink(ToolText::encodedName(current).constData(), target.data(), size_t(target.size()));
        if (length < 0) break;
        target.truncate(length);
        const QString named = ToolText::escapedName(target);
        current = QDir::cleanPath(named.startsWith(QLatin1Char('/'))
                                      ? named
                                      : QFileInfo(current).path() + QLatin1Char('/') + named);
    }
    if (sameItem(current, info)) return current;
    // A ".." after a parent that is itself a link: only the system's resolution finds the folder.
    char resolved[PATH_MAX];
    return ::realpath(encodedPath.constData(), resolved) ? ToolText::escapedName(QByteArray(resolved)) : path;
}

}  // namespace

QString normalizedPath(const QString& path) {
    if (path.isEmpty()) return path;
    const QString cleaned =
        QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path);
    return path.endsWith(QLatin1Char('/')) ? followedToFolder(cleaned) : cleaned;
}

bool holdsNul(const QString& path) { return path.contains(QChar(0)); }

std::optional<QString> localPathOf(const QUrl& url) {
    if (!url.isLocalFile()) return std::nullopt;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QUrl local = url;
    local.setHost(QString());
    const QString path = local.toLocalFile();
    if (path.isEmpty() || holdsNul(path)) return std::nullopt;
    return path;
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
