#include "core/content/PreviewExtractionService.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileSystemError.h"
#include "core/base/ZipDirectoryReading.h"
#include "core/content/ExtractedItemSearch.h"
#include "core/content/LegacyNameRows.h"
#include "core/content/PreviewToolRuns.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "platform/PrivateTempDirectory.h"
#include "platform/ToolText.h"

#include <QFileInfo>
#include <QUuid>

#include <filesystem>
#include <system_error>

namespace {

QString fileNameOf(const QString& fileURL) { return QFileInfo(fileURL).fileName(); }

bool isFolderEntry(const ArchivePreviewEntry& entry) { return entry.path.endsWith(QLatin1Char('/')); }

// An entry extraction's failed run is judged as an extraction's; blankOutput is said when the tool's
// words name no reason.
void throwIfFailed(const ProcessResult& result, const QString& blankOutput, const QStringList& echoedNames) {
    if (result.status != 0) throw ToolFailure::mapExternalError(result, blankOutput, echoedNames);
}

QString makePreviewRoot() {
    const QString relative =
        QStringLiteral("velmoraPreviews/") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const std::optional<QString> root = PrivateTempDirectory::makeFolder(relative);
    if (!root) throw FileSystemError::privateTempUnavailable();
    return *root;
}

// Each program's extraction of the named entries from archive into destinationURL.
ToolFallback::Attempts entryAttempts(const QString& archive, const QStringList& entryPaths,
                                     const QString& destinationURL, const std::optional<QString>& password,
                                     double timeout, PreviewToolRuns::Action action,
                                     const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.outputFolder = destinationURL;
    attempts.step = [=, &token](const ArchiveDriver& driver) {
        PreviewToolRuns::refuseSwitchLikeNames(driver, entryPaths, action);
        return driver.extractEntries(archive, entryPaths, destinationURL, password, timeout, token);
    };
    return attempts;
}

}  // namespace

QString PreviewExtractionService::extractedPreviewFile(const ArchivePreviewEntry& entry,
                                                       const QString& archiveURL,
                                                       const std::optional<QString>& password,
                                                       const CancellationToken& token) const {
    ExtractionSteps::requireItem(archiveURL);
    if (isFolderEntry(entry)) throw ArchiveError::extractFailed(QStringLiteral(u"文件夹不能直接预览。"));
    const QString archive = PreviewToolRuns::openedArchive(archiveURL);
    const QString toolPath = PreviewToolRuns::safeToolPath(entry, PreviewToolRuns::Action::preview);
    const QString landing = PreviewToolRuns::landingPath(entry.path);
    const QString root = makePreviewRoot();
    const QString unread = QStringLiteral(u"未能读取压缩包内文件：") + entry.path;
    extractWithTools(archive, {toolPath},
                     LegacyNameRows::componentDecodings({entry}, LegacyNameRows::Undecodable::nameAsListed),
                     root, password, Purpose::preview, unread, token);

    const QString candidate = root + QLatin1Char('/') + landing;
    if (QFileInfo::exists(candidate) && ExtractedItemSearch::isContained(candidate, root)) return candidate;
    if (std::optional<QString> found = ExtractedItemSearch::locateExtractedFile(fileNameOf(landing), root)) {
        return *found;
    }
    throw ArchiveError::extractFailed(unread);
}

OperationOutputs PreviewExtractionService::extractEntries(const QList<ArchivePreviewEntry>& entries,
                                                          const QString& archiveURL,
                                                          const QString& destinationURL,
                                                          const std::optional<QString>& password,
                                                          const CancellationToken& token) const {
    ExtractionSteps::requireItem(archiveURL);
    QList<ArchivePreviewEntry> files;
    for (const ArchivePreviewEntry& entry : entries) {
        if (!isFolderEntry(entry)) files.append(entry);
    }
    if (files.isEmpty()) throw ArchiveError::extractFailed(QStringLiteral(u"请选择要提取的文件。"));
    QStringList landings;
    QStringList toolPaths;
    for (const ArchivePreviewEntry& entry : files) {
        toolPaths.append(PreviewToolRuns::safeToolPath(entry, PreviewToolRuns::Action::extraction));
        landings.append(PreviewToolRuns::landingPath(entry.path));
    }
    const QString archive = PreviewToolRuns::openedArchive(archiveURL);
    const ExtractionStaging::Renames renames = extractWithTools(
        archive, toolPaths,
        LegacyNameRows::componentDecodings(files, LegacyNameRows::Undecodable::keepToolName), destinationURL,
        password, Purpose::extraction, QStringLiteral(u"未能提取压缩包内文件：") + files.first().path, token);

    QStringList extracted;
    for (const QString& path : landings) {
        // A top-level item whose name was taken went in under another one.
        const QString first = path.section(QLatin1Char('/'), 0, 0);
        const QString placed = renames.value(first, first) + path.mid(first.size());
        const QString candidate = destinationURL + QLatin1Char('/') + placed;
        if (QFileInfo::exists(candidate)) {
            extracted.append(candidate);
        } else if (std::optional<QString> found =
                       ExtractedItemSearch::locateExtractedItem(fileNameOf(path), destinationURL)) {
            extracted.append(*found);
        }
    }
    return {extracted, {}, static_cast<int>(renames.size())};
}

ExtractionStaging::Renames PreviewExtractionService::extractWithTools(
    const QString& archiveURL, const QStringList& entryPaths, const QHash<QByteArray, QString>& legacyNames,
    const QString& destinationURL, const std::optional<QString>& password, Purpose purpose,
    const QString& nothingWritten, const CancellationToken& token) const {
    ExtractionStaging staging(destinationURL);
    runTools(archiveURL, entryPaths, staging.path(), password, purpose, token);
    // A tool that found no entry of the names it was given may still call its run a success.
    // By its bytes: Qt passes over names that are not UTF-8.
    std::error_code error;
    if (std::filesystem::is_empty(ToolText::encodedName(staging.path()).toStdString(), error))
        throw ArchiveError::extractFailed(nothingWritten);
    if (!legacyNames.isEmpty()) {
        LegacyNameRenamer::rename(staging.path(), [&legacyNames](const QByteArray& name) {
            return legacyNames.contains(name) ? std::optional<QString>(legacyNames.value(name))
                                              : std::nullopt;
        });
    }
    ZipDirectoryReading directory(archiveURL);
    if (PreviewToolRuns::separatesFoldersWithBackslash(archiveURL, directory))
        LegacyNameRenamer::separateFolders(staging.path());
    return staging.commit(token);
}

// The programs in the extractors' order (ToolFallback).
void PreviewExtractionService::runTools(const QString& archiveURL, const QStringList& entryPaths,
                                        const QString& destinationURL, const std::optional<QString>& password,
                                        Purpose purpose, const CancellationToken& token) const {
    // A selection may be large; a one-entry preview must answer quickly.
    const double timeout =
        purpose == Purpose::extraction ? ArchiveTools::kLongRunTimeout : ArchiveTools::kPreviewTimeout;
    const QString missing =
        ArchiveFormat::kindOrSetKind(archiveURL) == ArchiveFormat::Kind::rar
            ? ArchiveError::withReinstallAdvice(QStringLiteral(u"RAR 预览工具不可用"))
        : purpose == Purpose::preview
            ? ArchiveError::withReinstallAdvice(QStringLiteral(u"7Z 预览工具不可用"))
            : ArchiveError::withReinstallAdvice(QStringLiteral(u"提取 7Z 内文件需要 7-Zip 工具"));
    PreviewToolRuns::runInOrderOrThrow(
        m_programs, ToolFallback::order(archiveURL, ArchiveTools::givenPassword(password).has_value()),
        entryAttempts(archiveURL, entryPaths, destinationURL, password, timeout,
                      purpose == Purpose::preview ? PreviewToolRuns::Action::preview
                                                  : PreviewToolRuns::Action::extraction,
                      token),
        ToolFailureText::extractingToolFailed, missing, QStringList{archiveURL, destinationURL} + entryPaths,
        token, throwIfFailed);
}
