#include "core/engine/RarArchiveAlias.h"

#include "core/base/FileSystemError.h"
#include "core/base/SplitArchiveDetector.h"
#include "platform/ToolText.h"
#include "core/engine/ArchiveTools.h"
#include "platform/PrivateTempDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <optional>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <unistd.h>

namespace {

// A name without "*" or "?"; the volume suffixes never hold one.
const QString kAliasBaseName = QStringLiteral("archive");

// A file name of either RAR volume scheme split into the set's stem and the volume's suffix, both as
// written: "Film?.part01.rar" is "Film?" and ".part01.rar", "a?.r00" is "a?" and ".r00".
struct RarVolumeName {
    SplitArchiveFormat format;
    QString stem;
    QString suffix;
};

std::optional<RarVolumeName> rarVolumeName(const QString& fileName) {
    const std::optional<SplitArchiveDetector::Match> match = SplitArchiveDetector::detect(fileName);
    if (!match) return std::nullopt;
    if (match->format != SplitArchiveFormat::rarNew && match->format != SplitArchiveFormat::rarOld)
        return std::nullopt;
    // The match is lower case; its suffix is ASCII, so it is as long in the name as written.
    const qsizetype suffixLength = fileName.toLower().size() - match->baseName.size();
    return RarVolumeName{match->format, fileName.chopped(suffixLength), fileName.right(suffixLength)};
}

bool isSameSet(const RarVolumeName& one, const RarVolumeName& other) {
    return one.format == other.format && one.stem == other.stem;
}

// The names in a folder that begin with prefix, compared as bytes before any is decoded: a folder may
// hold many thousands of other files (QDir's listing takes 40 ms for 10,000 names, this 7, the reading
// itself 6). An unreadable folder gives none; unrar then misses the later volumes as it would anyway.
QStringList namesBeginningWith(const QString& folder, const QString& prefix) {
    const QByteArray encodedPrefix = ToolText::encodedName(prefix);
    QStringList names;
    DIR* stream = ::opendir(ToolText::encodedName(folder).constData());
    if (!stream) return names;
    while (const dirent* entry = ::readdir(stream)) {
        if (std::strncmp(entry->d_name, encodedPrefix.constData(), encodedPrefix.size()) == 0)
            names.append(ToolText::escapedName(entry->d_name));
    }
    ::closedir(stream);
    return names;
}

QString makeAliasFolder() {
    const QString relative =
        QStringLiteral("velmoraRarAlias/") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const std::optional<QString> folder = PrivateTempDirectory::makeFolder(relative);
    if (!folder) throw FileSystemError::privateTempUnavailable();
    return *folder;
}

}  // namespace

RarArchiveAlias::RarArchiveAlias(const QString& archiveURL) {
    if (!ArchiveTools::Rar::isReadAsWildcard(archiveURL)) {
        m_path = archiveURL;
        return;
    }
    m_folder = makeAliasFolder();
    try {
        linkSet(archiveURL);
    } catch (...) {
        removeFolder();
        throw;
    }
}

RarArchiveAlias::~RarArchiveAlias() { removeFolder(); }

// The archive, then every other volume of its set found beside it; a name of neither RAR scheme is
// linked alone, without a suffix.
void RarArchiveAlias::linkSet(const QString& archiveURL) {
    const QFileInfo archive(archiveURL);
    const std::optional<RarVolumeName> volume = rarVolumeName(archive.fileName());
    m_path = link(archive.absoluteFilePath(), kAliasBaseName + (volume ? volume->suffix : QString()));
    if (!volume) return;
    const QString folder = archive.absolutePath();
    for (const QString& name : namesBeginningWith(folder, volume->stem)) {
        if (name == archive.fileName()) continue;
        const std::optional<RarVolumeName> sibling = rarVolumeName(name);
        if (sibling && isSameSet(*sibling, *volume))
            link(folder + QLatin1Char('/') + name, kAliasBaseName + sibling->suffix);
    }
}

QString RarArchiveAlias::link(const QString& target, const QString& linkName) {
    const QString path = m_folder + QLatin1Char('/') + linkName;
    if (::symlink(ToolText::encodedName(target).constData(), ToolText::encodedName(path).constData()) != 0)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::createFailed, path, errno);
    m_links.append(path);
    return path;
}

// Only what the alias made: its links (never what they point to) and then its folder.
void RarArchiveAlias::removeFolder() {
    if (m_folder.isEmpty()) return;
    for (const QString& path : m_links) ::unlink(ToolText::encodedName(path).constData());
    ::rmdir(ToolText::encodedName(m_folder).constData());
    m_links.clear();
    m_folder.clear();
}
