#pragma once

#include "core/base/CancellationToken.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include <sys/types.h>

// What velmora takes from the user as an item to read: a regular file, a folder, or a link to one.
// Pipes, sockets and devices are told apart by their type alone and never opened: opening a pipe
// waits for a writer, and reading a device never ends.
namespace InputItem {

enum class State { usable, missing, notFileOrFolder };

// The path velmora keeps for an item it is given (a dialog's answer, a drop, a link, the command line):
// absolute against the working folder, without "." or ".." pieces and without doubled or trailing
// "/", so "/a/src/" names "src" and its parent is "/a". A trailing "/" after a link to a folder names
// that folder, as the shell and the tools take it: "/a/linkdir/" is the folder linkdir leads to, while
// "/a/linkdir" is the link. Escaped bytes of a non-UTF-8 name stay as they are. Empty stays empty.
QString normalizedPath(const QString& path);
QStringList normalizedPaths(const QStringList& paths);

// No file name holds a NUL character: the system would read such a path only up to it.
bool holdsNul(const QString& path);

// The local path of a file: URL, or nothing for another scheme, for a host other than localhost (a
// file on another computer, not the local path after its host), and for a path holding NUL.
std::optional<QString> localPathOf(const QUrl& url);

// What an archive holds: files, folders and links.
bool isContent(mode_t mode);

// Follows a link to what it names; a link that names nothing is missing.
State stateOf(const QString& path);

// Why an existing item that is no file or folder is refused, naming it and what it is:
// "“/tmp/a.zip”是命名管道，不是文件或文件夹，无法使用。"
QString notFileOrFolderText(const QString& path);

// The first pipe, socket or device inside a folder, found without following links; nothing for a
// folder without one, or for anything that is not a folder.
std::optional<QString> firstNonContentInside(const QString& folder, const CancellationToken& token = {});

}  // namespace InputItem
