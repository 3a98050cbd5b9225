#pragma once

#include "core/base/CancellationToken.h"

#include <QString>
#include <QStringList>
#include <functional>

#include <sys/stat.h>

// Walks a folder tree without following links (except the root itself), parents before children.
// Hidden means a name starting with "."; there are no packages on this platform.
namespace FileTree {

enum class EntryKind { directory, regularFile, symbolicLink, other };

// Qt turns bytes that are not UTF-8 into U+FFFD, so the QString forms of such a name are for showing
// only; the native forms reach the same entry.
struct Entry {
    QString path;
    QString relativePath;  // below the root, "/"-separated
    QString name;
    EntryKind kind;
    struct stat info;
    QByteArray nativePath;
    QByteArray nativeRelativePath;
};

// Returns false for a directory whose contents are to be skipped; ignored for other entries.
using Visitor = std::function<bool(const Entry&)>;
// Called for a folder (the root included) that cannot be read or an entry that cannot be examined,
// with its errno; the walk goes on unless it throws. The walk ignores such entries without it.
using ErrorHandler = std::function<void(const QString& path, int errorNumber)>;

// Checks the token before each entry and throws CancellationError once it is cancelled, so a walk of
// a huge tree ends soon after its owner gives it up.
void walk(const QString& root, const Visitor& visitor, const ErrorHandler& errorHandler = {},
          const CancellationToken& token = {});

// Names of a folder's direct entries, hidden ones included, in the order the folder gives them.
// Throws FileSystemError when the folder cannot be read.
QStringList childNames(const QString& folder);


bool isHiddenName(const QString& name);
// Hidden items and the resource folders of macOS archives, left out when hidden files are excluded.
bool isHiddenOrMacMetadataName(const QString& name);

}  // namespace FileTree
