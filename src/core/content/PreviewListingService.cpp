#include "core/content/PreviewListingService.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileSystemError.h"
#include "core/base/LegacyNames.h"
#include "core/base/ZipDirectoryReading.h"
#include "core/content/ArchiveListingParser.h"
#include "core/content/LegacyNameRows.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/PreviewListing.h"
#include "core/content/PreviewToolRuns.h"
#include "core/content/SevenZipLineFeeds.h"
#include "core/content/SevenZipListingReader.h"
#include "core/content/ZipDirectoryListing.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/SevenZipTool.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"

namespace {

// A listing's failure is judged as an extraction's (ToolFailure::mapExternalError), but never shows the
// tool's whole output (a banner and a table, no reason): where the rules find no reason in its words, the
// sentence says it.
void throwIfListingFailed(const ProcessResult& result, const QString& sentence,
                          const QStringList& echoedNames) {
    if (result.status == 0) return;
    const ArchiveError error = ToolFailure::mapExternalError(result, sentence, echoedNames);
    if (error.kind() == ArchiveError::Kind::extractFailed) throw ArchiveError::commandFailed(sentence);
    throw error;
}

// ZIP names without the UTF-8 flag follow the systems they were made on whichever tool printed them
// (a listing that names none: the format's own code page); other kinds store a file system's bytes.
LegacyNames::Source legacySource(std::optional<ArchiveFormat::Kind> kind,
                                 const PreviewListing& listing = {}) {
    const bool zip = kind && ArchiveKindTable::row(*kind).family == ArchiveFormat::Family::zip;
    return zip ? listing.zipSource() : LegacyNames::Source::fileSystemBytes;
}

// A ZIP's rows from its central directory alone; an encrypted one needs a password first.
QList<ArchivePreviewEntry> zipReaderEntries(ZipDirectoryReading& directory,
                                            const std::optional<QString>& password) {
    const PreviewListing listing = ZipDirectoryListing::nativeZipEntries(directory.directory());
    if (listing.isEncrypted && !ArchiveTools::givenPassword(password)) throw ArchiveError::wrongPassword();
    return listing.entries;
}

// Runs 7-Zip's technical listing of archive. The output is parsed as it arrives, so that the parse
// of a long listing overlaps the tool's run; after a run that succeeded, listing holds its rows with
// their legacy names decoded, for an archive of that kind.
ProcessResult runStructuredListing(const SevenZipTool& sevenZip, const QString& archive,
                                   std::optional<ArchiveFormat::Kind> kind, const CancellationToken& token,
                                   const std::optional<QString>& password, PreviewListing& listing) {
    SevenZipListingReader reader;
    const ProcessResult result =
        sevenZip.list(archive, password, token, [&reader](const QString& piece) { reader.read(piece); });
    if (result.status != 0) return result;
    listing = reader.finishRead(result.outputBytes);
    LegacyNameRows::decode(listing.entries, legacySource(kind, listing));
    return result;
}

// 7-Zip prints a line feed in a name as "_": its listing of the entries that hold one tells which rows do.
void restoreLineFeeds(const SevenZipTool& sevenZip, const QString& archive,
                      const std::optional<QString>& password, const CancellationToken& token,
                      QList<ArchivePreviewEntry>& entries) {
    if (!SevenZipLineFeeds::mayHoldLineFeeds(entries)) return;
    const std::optional<ProcessResult> result = sevenZip.listWithLineFeeds(archive, password, token);
    if (!result || result->status != 0) return;
    QHash<QString, int> paths;
    for (const ArchivePreviewEntry& row :
         ArchiveListingParser::parseSevenZipStructuredList(result->output).entries)
        ++paths[row.path];
    SevenZipLineFeeds::restore(entries, paths);
}

// 7-Zip's technical listing, else its plain one; entries gets the rows of the run that succeeded. An
// encrypted archive listed without a password is a password problem, as is a run that says so. Of a
// compressed TAR only the technical listing runs, through its layer: the others would read the layer.
ProcessResult sevenZipListing(const SevenZipTool& sevenZip, const QString& archiveURL,
                              std::optional<ArchiveFormat::Kind> kind, const std::optional<QString>& password,
                              const CancellationToken& token, QList<ArchivePreviewEntry>& entries) {
    PreviewListing listing;
    const ProcessResult result = runStructuredListing(sevenZip, archiveURL, kind, token, password, listing);
    if (result.status == 0) {
        entries = std::move(listing.entries);
        if (listing.isEncrypted && !ArchiveTools::givenPassword(password) &&
            !PreviewEntryRules::containsMojibakePath(entries))
            throw ArchiveError::wrongPassword();
        if (!CompoundTar::isCompoundTar(archiveURL))
            restoreLineFeeds(sevenZip, archiveURL, password, token, entries);
        return result;
    }
    const ArchiveError error = ToolFailure::mapExternalError(
        result, ToolFailureText::extractingToolFailed(ToolFallback::Program::sevenZip), {archiveURL});
    if (error.kind() == ArchiveError::Kind::wrongPassword) throw error;
    if (CompoundTar::isCompoundTar(archiveURL)) return result;
    const ProcessResult plain = sevenZip.listPlain(archiveURL, password, token);
    if (plain.status != 0) return plain;
    entries = ArchiveListingParser::parseSevenZipPlainList(plain.output, plain.outputBytes);
    LegacyNameRows::decode(entries, legacySource(kind));
    return plain;
}

// GNU tar's listing, parsed as it arrives; names that are not UTF-8 are a file system's bytes, as in
// every TAR.
ProcessResult tarListing(const ArchiveDriver& tar, const QString& archive, const CancellationToken& token,
                         QList<ArchivePreviewEntry>& entries) {
    ArchiveListingParser::TarListingReader reader;
    const ProcessResult result =
        tar.list(archive, std::nullopt, token, [&reader](const QString& piece) { reader.read(piece); });
    if (result.status != 0) return result;
    entries = reader.finishRead();
    LegacyNameRows::decode(entries, LegacyNames::Source::fileSystemBytes);
    return result;
}

// The listing of the driver's program, read by that program's reader into entries: 7-Zip's (above),
// unrar's technical listing, unzip's (its legacy names decoded as the ZIP's directory says), GNU tar's.
ProcessResult programListing(const ArchiveDriver& driver, const QString& archiveURL,
                             std::optional<ArchiveFormat::Kind> kind, const std::optional<QString>& password,
                             ZipDirectoryReading& directory, const CancellationToken& token,
                             QList<ArchivePreviewEntry>& entries) {
    if (const auto* sevenZip = dynamic_cast<const SevenZipTool*>(&driver))
        return sevenZipListing(*sevenZip, archiveURL, kind, password, token, entries);
    if (driver.program() == ToolProgram::tar) return tarListing(driver, archiveURL, token, entries);
    const ProcessResult result = driver.list(archiveURL, password, token, {});
    if (driver.classify(result, {archiveURL}) == ToolOutcome::failed) return result;
    if (driver.program() == ToolProgram::unrar) {
        entries = ArchiveListingParser::parseRarTechnicalList(result.output);
    } else {
        entries = ArchiveListingParser::parseZipList(result.output, result.outputBytes);
        LegacyNameRows::decode(entries, directory.legacyNameSource());
    }
    return result;
}

}  // namespace

QList<ArchivePreviewEntry> PreviewListingService::previewEntries(const QString& archiveURL,
                                                                 const std::optional<QString>& password,
                                                                 const CancellationToken& token) const {
    ExtractionSteps::requireItem(archiveURL);
    const QString archive = PreviewToolRuns::openedArchive(archiveURL);
    return PreviewEntryRules::shownRows(programEntries(
        archive, ToolFallback::order(archive, ArchiveTools::givenPassword(password).has_value()), password,
        {archive}, token));
}

std::optional<QList<ArchivePreviewEntry>> PreviewListingService::fastPreviewEntriesIfAvailable(
    const QString& archiveURL) const {
    if (ArchiveFormat::kind(archiveURL) != ArchiveFormat::Kind::zip) return std::nullopt;
    ZipDirectoryReading directory(archiveURL);
    PreviewListing listing;
    try {
        listing = ZipDirectoryListing::nativeZipEntries(directory.directory());
    } catch (const FileSystemError&) {
        return std::nullopt;
    }
    if (listing.isEncrypted || listing.entries.isEmpty()) return std::nullopt;
    if (PreviewEntryRules::containsMojibakePath(listing.entries)) return std::nullopt;
    PreviewToolRuns::separateFolders(archiveURL, directory, listing.entries);
    return PreviewEntryRules::shownRows(std::move(listing.entries));
}

// The listing in the programs' order (ToolFallback), each program's read by its reader
// (programListing); the ZIP reader gives the rows of a ZIP's central directory. Garbled names from 7-Zip, and
// a ZIP reader that finds no rows or garbled ones, hand over to the next reader; the last one's rows are
// taken as they are.
QList<ArchivePreviewEntry> PreviewListingService::programEntries(const QString& archiveURL,
                                                                 const QList<ToolFallback::Program>& order,
                                                                 const std::optional<QString>& password,
                                                                 const QStringList& echoedNames,
                                                                 const CancellationToken& token) const {
    const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kindOrSetKind(archiveURL);
    QList<ArchivePreviewEntry> entries;
    // Read once, by the first step that asks: the ZIP reader, unzip's legacy names or the "\" rule.
    ZipDirectoryReading directory(archiveURL);
    ToolFallback::Attempts attempts;
    attempts.step = [&](const ArchiveDriver& driver) {
        return programListing(driver, archiveURL, kind, password, directory, token, entries);
    };
    attempts.zipReader = [&] {
        entries = zipReaderEntries(directory, password);
        return ProcessResult{};
    };
    attempts.unusable = [&entries](ToolFallback::Program program) {
        if (program == ToolFallback::Program::zipReader && entries.isEmpty()) return true;
        return (program == ToolFallback::Program::sevenZip || program == ToolFallback::Program::zipReader) &&
               PreviewEntryRules::containsMojibakePath(entries);
    };
    const std::optional<ToolFallback::Run> run =
        ToolFallback::runInOrder(m_programs, order, attempts, echoedNames, token);
    if (!run)
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"RAR / 7-Zip 预览工具不可用")));
    throwIfListingFailed(run->result, ToolFailureText::extractingToolFailed(run->program), echoedNames);
    PreviewToolRuns::separateFolders(archiveURL, directory, entries);
    return entries;
}
