#include "core/engine/ArchiveService.h"

#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/FileNameHelper.h"
#include "core/engine/RarExtractor.h"
#include "core/engine/SecurityScopedAccessHelper.h"
#include "core/engine/SevenZipExtractor.h"
#include "core/engine/ZipExtractor.h"

#include <QFile>

ArchiveService::ArchiveService(Extractors extractors, std::shared_ptr<ArchiveCompressor> compressor)
    : m_extractors(std::move(extractors)), m_compressor(std::move(compressor)) {}

ArchiveService::Extractors ArchiveService::standardExtractors() {
    return {std::make_shared<ZipExtractor>(QStringList{QStringLiteral("zip"), QStringLiteral("zipx")}),
            std::make_shared<SevenZipExtractor>(QStringList{
                QStringLiteral("7z"), QStringLiteral("tar"), QStringLiteral("gz"), QStringLiteral("bz2"),
                QStringLiteral("xz"), QStringLiteral("dmg"), QStringLiteral("iso")}),
            std::make_shared<RarExtractor>(QStringList{QStringLiteral("rar")})};
}

QStringList ArchiveService::extract(const QStringList& fileURLs, const QString& destinationRootURL,
                                    const std::optional<QString>& password, const AppSettings& settings,
                                    int threadCount, const CancellationToken& token) const {
    if (fileURLs.isEmpty()) return {};
    // Chosen once, before the first archive; the first extractor creates the folder.
    const QString rootURL =
        fileURLs.size() == 1 || settings.extractToSeparateFolder
            ? destinationRootURL
            : FileNameHelper::uniqueDirectoryURL(QStringLiteral(u"解压文件"), destinationRootURL);
    return SecurityScopedAccessHelper::withAccess(QStringList{rootURL} + fileURLs, [&] {
        QStringList folders;
        for (const QString& fileURL : fileURLs) {
            token.throwIfCancelled();
            folders << extractArchive(fileURL, destinationRootURL, rootURL, password, settings, threadCount,
                                      token);
        }
        return folders;
    });
}

ArchiveExtractor& ArchiveService::extractorFor(const QString& fileURL) const {
    for (const std::shared_ptr<ArchiveExtractor>& extractor : m_extractors) {
        if (extractor->canHandle(fileURL)) return *extractor;
    }
    throw ArchiveError::unsupportedFormat(FileNameHelper::pathExtension(fileURL));
}

QString ArchiveService::extractArchive(const QString& fileURL, const QString& destinationRootURL,
                                       const QString& rootURL, const std::optional<QString>& password,
                                       const AppSettings& settings, int threadCount,
                                       const CancellationToken& token) const {
    ExtractionSteps::requireArchive(fileURL);
    ArchiveExtractor& extractor = extractorFor(fileURL);
    if (!settings.extractToSeparateFolder) {
        // Sources are kept in this mode, whatever deleteSourceAfterExtract says.
        SecurityScopedAccessHelper::withAccess(
            {fileURL, rootURL}, [&] { extractor.extract(fileURL, rootURL, password, threadCount, token); });
        return rootURL;
    }
    // Computed only now, so of two archives with one base name the second gets the next free name.
    const QString folderURL =
        FileNameHelper::uniqueDirectoryURL(FileNameHelper::archiveBaseName(fileURL), destinationRootURL);
    SecurityScopedAccessHelper::withAccess(
        {fileURL, folderURL}, [&] { extractor.extract(fileURL, folderURL, password, threadCount, token); });
    // The archive counts as extracted even when it cannot be deleted.
    if (settings.deleteSourceAfterExtract) QFile::remove(fileURL);
    return folderURL;
}
