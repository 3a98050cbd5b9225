#include "core/engine/SevenZipExtractor.h"

#include "core/content/LegacyNameRenamer.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/FileNameHelper.h"
#include "core/engine/FileSystemError.h"
#include "core/engine/ProcessRunner.h"
#include "core/split/ArchiveFormat.h"
#include "platform/PrivateTempDirectory.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QUuid>

namespace {

using Kind = ArchiveFormat::Kind;

bool isSevenZipKind(Kind kind) {
    switch (kind) {
        case Kind::zip:
        case Kind::zipx:
        case Kind::rar:
            return false;
        case Kind::sevenZip:
        case Kind::tar:
        case Kind::tarGz:
        case Kind::tarBz2:
        case Kind::tarXz:
        case Kind::gz:
        case Kind::bz2:
        case Kind::xz:
        case Kind::dmg:
        case Kind::iso:
            return true;
    }
    return false;
}

bool isCompoundTar(const QString& fileURL) {
    const std::optional<Kind> kind = ArchiveFormat::kind(fileURL);
    return kind == Kind::tarGz || kind == Kind::tarBz2 || kind == Kind::tarXz;
}

bool isTarKind(const QString& fileURL) {
    return isCompoundTar(fileURL) || ArchiveFormat::kind(fileURL) == Kind::tar;
}

// Removes the work folder with everything in it on every way out; a failed removal is not an error.
class WorkFolder {
public:
    explicit WorkFolder(QString path) : m_path(std::move(path)) {}
    ~WorkFolder() { QDir(m_path).removeRecursively(); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

}  // namespace

SevenZipExtractor::SevenZipExtractor(QStringList supportedExtensions)
    : m_supportedExtensions(std::move(supportedExtensions)) {}

bool SevenZipExtractor::canHandle(const QString& fileURL) const {
    if (const std::optional<Kind> kind = ArchiveFormat::kind(fileURL)) return isSevenZipKind(*kind);
    // Compressed TAR names are always a kind, so only the extension list and 7Z volumes remain.
    if (m_supportedExtensions.contains(FileNameHelper::pathExtension(fileURL).toLower())) return true;
    static const QRegularExpression volume(QStringLiteral("\\.7z\\.\\d{3}$"));
    return volume.match(FileNameHelper::lastPathComponent(fileURL).toLower()).hasMatch();
}

void SevenZipExtractor::extract(const QString& fileURL, const QString& destinationURL,
                                const std::optional<QString>& password, int threadCount,
                                const CancellationToken& token) {
    ExtractionSteps::requireArchive(fileURL);
    ExtractionStaging staging(destinationURL);
    if (isCompoundTar(fileURL)) {
        extractCompoundTarArchive(fileURL, staging.path(), password, threadCount, token);
    } else {
        extractSingleArchive(fileURL, staging.path(), password, threadCount, token);
    }
    // Only TAR among these stores names as bytes; the others store Unicode.
    if (isTarKind(fileURL))
        LegacyNameRenamer::renameExtractedArchive(staging.path(), LegacyNames::Source::tool);
    staging.commit();
}

void SevenZipExtractor::extractCompoundTarArchive(const QString& fileURL, const QString& destinationURL,
                                                  const std::optional<QString>& password, int threadCount,
                                                  const CancellationToken& token) {
    const QString name =
        QStringLiteral("velmoraCompoundTar-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const std::optional<QString> path = PrivateTempDirectory::makeFolder(name);
    if (!path) throw FileSystemError(FileSystemError::Kind::createFailed, name, {});
    const WorkFolder work(*path);

    extractSingleArchive(fileURL, work.path(), password, threadCount, token);
    const std::optional<QString> tarFile = locateTarFile(work.path());
    if (!tarFile) {
        throw ArchiveError::extractFailed(QStringLiteral(u"未能解析 ") +
                                          FileNameHelper::lastPathComponent(fileURL) +
                                          QStringLiteral(u" 中的 TAR 中间文件。"));
    }
    // The password protected the outer file only.
    extractSingleArchive(*tarFile, destinationURL, std::nullopt, threadCount, token);
}

void SevenZipExtractor::extractSingleArchive(const QString& fileURL, const QString& destinationURL,
                                             const std::optional<QString>& password, int threadCount,
                                             const CancellationToken& token) {
    const std::optional<QString> sevenZip = ArchiveTools::SevenZip::locate();
    if (!sevenZip)
        throw ArchiveError::dependencyMissing(QStringLiteral(u"7Z 解压工具不可用，请重新安装 velmora。"));
    const ProcessResult result = ProcessRunner::run(
        *sevenZip, ArchiveTools::SevenZip::extractArguments(fileURL, destinationURL, threadCount),
        std::nullopt, ArchiveTools::kLongRunTimeout, {}, token, ArchiveTools::givenPassword(password));
    if (result.status != 0) {
        throw ExtractionSteps::mapExternalError(result, QStringLiteral(u"第三方 7Z 工具返回错误。"),
                                                {fileURL, destinationURL});
    }
}

std::optional<QString> SevenZipExtractor::locateTarFile(const QString& folderURL) {
    QDirIterator entries(folderURL, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList files;
    while (entries.hasNext()) {
        const QString entry = entries.next();
        if (FileNameHelper::pathExtension(entry).toLower() == QLatin1String("tar")) return entry;
        if (entries.fileInfo().isFile()) files.append(entry);
    }
    // The gzip header may name the member anything (backup.taraa); a lone file is the TAR.
    if (files.size() == 1) return files.first();
    return std::nullopt;
}
