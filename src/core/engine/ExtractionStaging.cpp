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
bool isRealFolder(const QString& path) {
    std::error_code code;
    return fs::is_directory(fs::symlink_status(nativePath(path), code));
}

bool exists(const QString& path) {
    std::error_code code;
    return fs::exists(fs::symlink_status(nativePath(path), code));
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

using Move = std::pair<QString, QString>;  // from, to

// A whole item moves by one rename unless a real folder of its name is already there and it is a
// folder too: then its contents merge into that folder.
void planMoves(const QString& from, const QString& to, std::vector<Move>& moves) {
    if (!exists(to)) {
        moves.emplace_back(from, to);
        return;
    }
    const bool folder = isRealFolder(from);
    if (folder != isRealFolder(to)) throw ArchiveError::destinationExists(to);
    if (!folder) {
        moves.emplace_back(from, to);
        return;
    }
    for (const QString& name : FileTree::childNames(from)) {
        planMoves(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name, moves);
    }
}

QStringList linksIn(const QString& folder) {
    QStringList links;
    FileTree::walk(folder, [&](const FileTree::Entry& entry) {
        if (entry.kind == FileTree::EntryKind::symbolicLink) links << entry.path;
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
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, path, error);
    }
    m_path = path;
}

ExtractionStaging::~ExtractionStaging() {
    std::error_code code;
    fs::remove_all(nativePath(m_path), code);  // never follows a link
    if (m_createdDestination && !m_committed) QDir().rmdir(m_destination);
}

void ExtractionStaging::commit() {
    const QStringList links = linksIn(m_path);
    for (const QString& link : links) pointIntoDestination(link);
    std::vector<Move> moves;
    for (const QString& name : FileTree::childNames(m_path)) {
        planMoves(m_path + QLatin1Char('/') + name, m_destination + QLatin1Char('/') + name, moves);
    }
    for (const auto& [from, to] : moves) {
        std::error_code code;
        fs::rename(nativePath(from), nativePath(to), code);
        if (code)
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, to, code.value());
    }
    m_committed = true;
    for (const QString& link : links) removeIfOutside(m_destination + link.mid(m_path.size()));
}

// 7-Zip roots an absolute link target in its output folder, which is the private folder here.
void ExtractionStaging::pointIntoDestination(const QString& link) const {
    const QString prefix = m_path + QLatin1Char('/');
    std::error_code code;
    const fs::path stored = fs::read_symlink(nativePath(link), code);
    if (code || !qtPath(stored).startsWith(prefix)) return;
    const fs::path moved = nativePath(m_destination + QLatin1Char('/') + qtPath(stored).mid(prefix.size()));
    fs::remove(nativePath(link), code);
    fs::create_symlink(moved, nativePath(link), code);
}

void ExtractionStaging::removeIfOutside(const QString& link) const {
    std::error_code code;
    const fs::path location = nativePath(link);
    const fs::path target = fs::read_symlink(location, code);
    if (code) return;
    const std::optional<fs::path> root = resolved(nativePath(m_destination));
    const std::optional<fs::path> end =
        resolved(target.is_absolute() ? target : location.parent_path() / target);
    if (root && end && isWithin(*end, *root)) return;
    fs::remove(location, code);
}
