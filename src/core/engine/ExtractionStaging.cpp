#include "core/engine/ExtractionStaging.h"

#include "core/base/ExclusiveRename.h"
#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/base/FileTree.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ToolFailureText.h"
#include "platform/ToolText.h"
#include "platform/WorkTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path nativePath(const QString& path) { return fs::path(ToolText::encodedName(path).toStdString()); }

QString qtPath(const fs::path& path) {
    return ToolText::escapedName(QByteArray::fromStdString(path.string()));
}

// Not following a link: a link to a folder is not a folder here.
bool isRealFolder(const fs::path& path) {
    std::error_code code;
    return fs::is_directory(fs::symlink_status(path, code));
}

bool isWithin(const fs::path& path, const fs::path& root) {
    const fs::path relative = path.lexically_normal().lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

// The canonical form of a path whose end may not exist: its links resolved as far as it exists.
std::optional<fs::path> resolved(const fs::path& path) {
    std::error_code code;
    fs::path result = fs::weakly_canonical(path, code);
    if (code) return std::nullopt;
    return result;
}

// Where a link leads, every link on the way resolved; nothing when that cannot be worked out.
std::optional<fs::path> resolvedTarget(const fs::path& link) {
    std::error_code code;
    const fs::path target = fs::read_symlink(link, code);
    if (code) return std::nullopt;
    return resolved(target.is_absolute() ? target : link.parent_path() / target);
}

// Names are handled as bytes: they need not be UTF-8.
std::vector<fs::path> childrenOf(const fs::path& folder) {
    std::error_code code;
    std::vector<fs::path> children;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        children.push_back(it->path());
    }
    if (code)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::listFailed, qtPath(folder),
                                               code.value());
    return children;
}

// The first component of a relative path, and the rest.
std::pair<fs::path, fs::path> splitFirst(const fs::path& relative) {
    auto part = relative.begin();
    if (part == relative.end()) return {};
    const fs::path first = *part;
    fs::path rest;
    for (++part; part != relative.end(); ++part) rest /= *part;
    return {first, rest};
}

std::vector<fs::path> linksIn(const QString& folder) {
    std::vector<fs::path> links;
    FileTree::walk(folder, [&](const FileTree::Entry& entry) {
        if (entry.kind == FileTree::EntryKind::symbolicLink)
            links.emplace_back(entry.nativePath.toStdString());
        return true;
    });
    return links;
}

// A device node (GNU tar makes them as root), a named pipe or a socket: handed over, one would give
// whoever may read it a disk or a terminal, or keep a program that opens it waiting for good. Each
// becomes an empty file, as 7-Zip writes it.
void replaceSpecialFile(const FileTree::Entry& entry) {
    const mode_t type = entry.info.st_mode & S_IFMT;
    if (type != S_IFBLK && type != S_IFCHR && type != S_IFIFO && type != S_IFSOCK) return;
    if (::unlink(entry.nativePath.constData()) != 0) return;
    const int file = ::open(entry.nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file >= 0) ::close(file);
}

// Readies what the tool wrote in root for the move: special files become empty files, and folders that
// their owner may not write or enter are given their owner's read, write and search permission, each
// listed with the mode it had (paths below root, parents first). Tools set a folder's mode once its
// contents are written, so a TAR of read-only folders leaves such folders; velmora must still look
// through them for links and move them, and a folder moved to another parent must be writable.
std::vector<std::pair<fs::path, mode_t>> settleTree(const QString& root) {
    std::vector<std::pair<fs::path, mode_t>> opened;
    FileTree::walk(root, [&](const FileTree::Entry& entry) {
        const mode_t mode = entry.info.st_mode & 07777;
        if (entry.kind == FileTree::EntryKind::other) replaceSpecialFile(entry);
        if (entry.kind == FileTree::EntryKind::directory && (mode & S_IRWXU) != S_IRWXU &&
            ::chmod(entry.nativePath.constData(), mode | S_IRWXU) == 0)
            opened.emplace_back(entry.nativeRelativePath.toStdString(), mode);
        return true;
    });
    return opened;
}

}  // namespace

ExtractionStaging::ExtractionStaging(const QString& destinationURL)
    : m_journal(WorkJournal::open()),
      m_destination(QDir::cleanPath(QFileInfo(destinationURL).absoluteFilePath())) {
    m_createdDestination = !QFileInfo::exists(m_destination);
    ExtractionSteps::createFolder(m_destination);
    if (m_journal && m_createdDestination) {
        if (const int error = m_journal->add(m_destination, WorkJournal::Kind::Placeholder)) {
            QDir().rmdir(m_destination);
            ExtractionSteps::throwCreateFailed(m_destination, error);
        }
    }
    const QString path = m_destination + QStringLiteral("/.velmoraExtraction-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces);
    const int unrecorded = m_journal ? m_journal->add(path, WorkJournal::Kind::Tree) : 0;
    if (unrecorded != 0 || ::mkdir(ToolText::encodedName(path).constData(), 0700) != 0) {
        const int error = unrecorded != 0 ? unrecorded : errno;
        if (m_createdDestination) QDir().rmdir(m_destination);
        ExtractionSteps::throwCreateFailed(m_destination, error);
    }
    m_path = path;
}

ExtractionStaging::~ExtractionStaging() {
    // The record names the folder until it is gone.
    if (WorkTree::remove(ToolText::encodedName(m_path)) != 0 && m_journal) m_journal->keep();
    if (m_createdDestination && !m_committed) QDir().rmdir(m_destination);
}

ExtractionStaging::Renames ExtractionStaging::commit(const CancellationToken& token) {
    const fs::path stagingPath = nativePath(m_path);
    const std::vector<std::pair<fs::path, mode_t>> opened = settleTree(m_path);
    const std::vector<fs::path> links = linksIn(m_path);
    requireLinksInside(links);
    const std::vector<fs::path> children = childrenOf(stagingPath);
    if (m_journal) {
        QList<QByteArray> items;
        for (const fs::path& child : children) items.append(QByteArray::fromStdString(child.string()));
        if (const int error = m_journal->addMovesOut(items))
            ExtractionSteps::throwCreateFailed(m_destination, error);
    }
    Placed placed;
    Renames renames;
    for (const fs::path& child : children) {
        const fs::path moved = moveIn(child, token);
        if (moved.filename() == child.filename()) continue;
        placed.emplace(child.filename(), moved.filename());
        renames.insert(qtPath(child.filename()), qtPath(moved.filename()));
    }
    m_committed = true;
    for (const fs::path& link : links) {
        const fs::path relative = link.lexically_relative(stagingPath);
        repoint(relative, placed);
        removeIfOutside(placedPath(relative, placed));
    }
    // Innermost first: a folder's own mode may keep velmora out of it.
    for (auto folder = opened.rbegin(); folder != opened.rend(); ++folder)
        ::chmod(placedPath(folder->first, placed).c_str(), folder->second);
    if (m_journal) m_journal->endMovesOut(QByteArray::fromStdString(stagingPath.string()));
    return renames;
}

// Before anything moves, so that an archive with a link out of the destination leaves it as it was.
// A link whose end cannot be worked out (a loop) leads nowhere and is left to removeIfOutside.
void ExtractionStaging::requireLinksInside(const std::vector<fs::path>& links) const {
    const std::optional<fs::path> root = resolved(nativePath(m_path));
    for (const fs::path& link : links) {
        const std::optional<fs::path> end = resolvedTarget(link);
        if (root && end && !isWithin(*end, *root)) {
            throw ToolFailureText::linkOutsideDestination(
                qtPath(link.lexically_relative(nativePath(m_path))));
        }
    }
}

// Returns where the item went: under its own name, else under the first free numbered one.
fs::path ExtractionStaging::moveIn(const fs::path& item, const CancellationToken& token) const {
    const QString name = qtPath(item.filename());
    const bool folder = isRealFolder(item);
    const auto nameFor = [&](qint64 number) {
        return number == 0 ? name : FileNameHelper::numberedName(name, number, folder);
    };
    return nativePath(
        ExclusiveRename::toFreeName(qtPath(item), m_destination, nameFor, m_journal.get(), token));
}

// Where an item of the private folder ended up.
fs::path ExtractionStaging::placedPath(const fs::path& relative, const Placed& placed) const {
    const auto [first, rest] = splitFirst(relative);
    const auto renamed = placed.find(first);
    const fs::path item = nativePath(m_destination) / (renamed == placed.end() ? first : renamed->second);
    return rest.empty() ? item : item / rest;  // "/ empty" would add a trailing separator
}

// 7-Zip roots an absolute link target in its output folder, which is the private folder here. A
// relative target that climbs out of its own top-level item into one that was renamed follows it.
void ExtractionStaging::repoint(const fs::path& relativeLink, const Placed& placed) const {
    const fs::path link = placedPath(relativeLink, placed);
    std::error_code code;
    const fs::path stored = fs::read_symlink(link, code);
    if (code) return;
    fs::path target;
    if (stored.is_absolute()) {
        if (!qtPath(stored).startsWith(m_path + QLatin1Char('/'))) return;
        target = placedPath(stored.lexically_relative(nativePath(m_path)), placed);
    } else {
        const fs::path reached = (relativeLink.parent_path() / stored).lexically_normal();
        const fs::path first = splitFirst(reached).first;
        if (first == splitFirst(relativeLink).first || first == ".." || !placed.contains(first)) return;
        const fs::path parent = relativeLink.parent_path();
        const auto depth = std::distance(parent.begin(), parent.end());
        for (std::ptrdiff_t level = 0; level < depth; ++level) target /= "..";
        target /= placedPath(reached, placed).lexically_relative(nativePath(m_destination));
    }
    fs::remove(link, code);
    fs::create_symlink(target, link, code);
}
void ExtractionStaging::removeIfOutside(const fs::path& link) const {
    const std::optional<fs::path> root = resolved(nativePath(m_destination));
    const std::optional<fs::path> end = resolvedTarget(link);
    if (root && end && isWithin(*end, *root)) return;
    // A loop (loop1 -> loop2 -> loop1) leads nowhere: nothing can be reached through it.
    struct stat info {};
    if (!end && ::stat(link.c_str(), &info) != 0 && errno == ELOOP) return;
    std::error_code code;
    if (fs::is_symlink(fs::symlink_status(link, code))) fs::remove(link, code);
}
