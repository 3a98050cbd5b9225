#include "core/engine/ExtractionStaging.h"

#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/FileSystemError.h"
#include "core/engine/FileTree.h"
#include "core/engine/ToolText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>

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

bool isPresent(const fs::path& path) {
    std::error_code code;
    return fs::exists(fs::symlink_status(path, code));
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

using Move = std::pair<fs::path, fs::path>;  // from, to

// A whole item moves by one rename unless a real folder of its name is already there and it is a
// folder too: then its contents merge into that folder.
void planMoves(const fs::path& from, const fs::path& to, std::vector<Move>& moves) {
    if (!isPresent(to)) {
        moves.emplace_back(from, to);
        return;
    }
    const bool folder = isRealFolder(from);
    if (folder != isRealFolder(to)) throw ArchiveError::destinationExists(qtPath(to));
    if (!folder) {
        moves.emplace_back(from, to);
        return;
    }
    for (const fs::path& child : childrenOf(from)) planMoves(child, to / child.filename(), moves);
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

}  // namespace

ExtractionStaging::ExtractionStaging(const QString& destinationURL)
    : m_destination(QDir::cleanPath(QFileInfo(destinationURL).absoluteFilePath())) {
    m_createdDestination = !QFileInfo::exists(m_destination);
    ExtractionSteps::createFolder(m_destination);
    const QString path = m_destination + QStringLiteral("/.velmoraExtraction-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (::mkdir(ToolText::encodedName(path).constData(), 0700) != 0) {
        const int error = errno;
        if (m_createdDestination) QDir().rmdir(m_destination);
        ExtractionSteps::throwCreateFailed(m_destination, error);
    }
    m_path = path;
}

ExtractionStaging::~ExtractionStaging() {
    std::error_code code;
    fs::remove_all(nativePath(m_path), code);  // never follows a link
    if (m_createdDestination && !m_committed) QDir().rmdir(m_destination);
}

void ExtractionStaging::commit() {
    const fs::path stagingPath = nativePath(m_path);
    const fs::path destination = nativePath(m_destination);
    const std::vector<fs::path> links = linksIn(m_path);
    requireLinksInside(links);
    for (const fs::path& link : links) pointIntoDestination(link);
    std::vector<Move> moves;
    for (const fs::path& child : childrenOf(stagingPath))
        planMoves(child, destination / child.filename(), moves);
    for (const auto& [from, to] : moves) {
        std::error_code code;
        fs::rename(from, to, code);
        if (code)
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, qtPath(to),
                                                   code.value());
    }
    m_committed = true;
    for (const fs::path& link : links) removeIfOutside(destination / link.lexically_relative(stagingPath));
}

// Before anything moves, so that an archive with a link out of the destination leaves it as it was.
// A link whose end cannot be worked out (a cycle) leads nowhere and is left to removeIfOutside.
void ExtractionStaging::requireLinksInside(const std::vector<fs::path>& links) const {
    const std::optional<fs::path> root = resolved(nativePath(m_path));
    for (const fs::path& link : links) {
        const std::optional<fs::path> end = resolvedTarget(link);
        if (root && end && !isWithin(*end, *root)) {
            throw ExtractionSteps::linkOutsideDestination(
                qtPath(link.lexically_relative(nativePath(m_path))));
        }
    }
}

// 7-Zip roots an absolute link target in its output folder, which is the private folder here.
void ExtractionStaging::pointIntoDestination(const fs::path& link) const {
    const QString prefix = m_path + QLatin1Char('/');
    std::error_code code;
    const fs::path stored = fs::read_symlink(link, code);
    if (code || !qtPath(stored).startsWith(prefix)) return;
    const fs::path moved = nativePath(m_destination) / stored.lexically_relative(nativePath(m_path));
    fs::remove(link, code);
    fs::create_symlink(moved, link, code);
}

void ExtractionStaging::removeIfOutside(const fs::path& link) const {
    const std::optional<fs::path> root = resolved(nativePath(m_destination));
    const std::optional<fs::path> end = resolvedTarget(link);
    if (root && end && isWithin(*end, *root)) return;
    std::error_code code;
    if (fs::is_symlink(fs::symlink_status(link, code))) fs::remove(link, code);
}
