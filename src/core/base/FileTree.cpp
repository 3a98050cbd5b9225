#include "core/base/FileTree.h"

#include "core/base/FileSystemError.h"
#include "platform/ToolText.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fts.h>
#include <unistd.h>

namespace FileTree {

namespace {
EntryKind kindOf(const FTSENT* entry) {
    switch (entry->fts_info) {
        case FTS_D:
            return EntryKind::directory;
        case FTS_F:
            return EntryKind::regularFile;
        case FTS_SL:
        case FTS_SLNONE:
            return EntryKind::symbolicLink;
        default:
            return EntryKind::other;
    }
}

bool isError(const FTSENT* entry) {
    return entry->fts_info == FTS_DNR || entry->fts_info == FTS_ERR || entry->fts_info == FTS_NS;
}

void report(const ErrorHandler& errorHandler, const FTSENT* entry) {
    if (errorHandler) errorHandler(ToolText::escapedName(entry->fts_path), entry->fts_errno);
}

struct FtsCloser {
    void operator()(FTS* fts) const { fts_close(fts); }
};
}  // namespace

void walk(const QString& root, const Visitor& visitor, const ErrorHandler& errorHandler,
          const CancellationToken& token) {
    const QString cleanRoot = QDir::cleanPath(root);
    QByteArray nativeRoot = ToolText::encodedName(cleanRoot);
    char* roots[] = {nativeRoot.data(), nullptr};
    std::unique_ptr<FTS, FtsCloser> fts(fts_open(roots, FTS_PHYSICAL | FTS_COMFOLLOW | FTS_NOCHDIR, nullptr));
    if (!fts) {
        if (errorHandler) errorHandler(cleanRoot, errno);
        return;
    }
    const qsizetype prefixLength = nativeRoot.size() + 1;
    while (FTSENT* entry = fts_read(fts.get())) {
        token.throwIfCancelled();
        if (entry->fts_info == FTS_DP) continue;
        if (isError(entry)) {
            report(errorHandler, entry);
            continue;
        }
        if (entry->fts_level == FTS_ROOTLEVEL) continue;
        const QByteArray path(entry->fts_path, entry->fts_pathlen);
        const QByteArray relativePath = path.mid(prefixLength);
        const Entry visited{ToolText::escapedName(path),
                            ToolText::escapedName(relativePath),
                            ToolText::escapedName(QByteArray(entry->fts_name, entry->fts_namelen)),
                            kindOf(entry),
                            *entry->fts_statp,
                            path,
                            relativePath};
        if (!visitor(visited) && visited.kind == EntryKind::directory) fts_set(fts.get(), entry, FTS_SKIP);
    }
}

QStringList childNames(const QString& folder) {
    DIR* directory = ::opendir(ToolText::encodedName(folder).constData());
    if (!directory) throw FileSystemError::fromErrorNumber(FileSystemError::Kind::listFailed, folder, errno);
    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") names << ToolText::escapedName(name);
        errno = 0;
    }
    const int readError = errno;
    ::closedir(directory);
    if (readError != 0)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::listFailed, folder, readError);
    return names;
}

bool isHiddenName(const QString& name) { return name.startsWith(QLatin1Char('.')); }

bool isHiddenOrMacMetadataName(const QString& name) {
    return isHiddenName(name) || name == QStringLiteral("__MACOSX");
}

}  // namespace FileTree
