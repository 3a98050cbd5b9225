#include "core/content/ArchivePreviewService.h"

#include "core/base/FileSystemError.h"
#include "core/base/InputItem.h"
#include "core/base/LegacyNames.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/content/ArchiveListingParser.h"
#include "core/content/EditWorkFolder.h"
#include "core/content/ExtractedItemSearch.h"
#include "core/content/LegacyNameRows.h"
#include "core/content/PreviewEntryRules.h"
#include "core/content/SevenZipListingReader.h"
#include "core/content/ZipDirectoryListing.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ArchiveVolumes.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionStaging.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/LegacyNameRenamer.h"
#include "core/engine/SevenZipTool.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureText.h"
#include "platform/PrivateTempDirectory.h"

#include <QFileInfo>
#include <QUuid>

namespace {

QString extensionOf(const QString& fileURL) { return QFileInfo(fileURL).suffix(); }

QString fileNameOf(const QString& fileURL) { return QFileInfo(fileURL).fileName(); }

ArchiveError unsafePath(const QString& path) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包内路径不安全，无法预览：") + path);
}

bool isFolderEntry(const ArchivePreviewEntry& entry) { return entry.path.endsWith(QLatin1Char('/')); }

// The file the tools open: an archive, or for any volume of a split set its main volume, once the set
// is whole (ArchiveVolumes). Anything else is refused.
QString openedArchive(const QString& archiveURL) {
    if (!ArchiveFormat::kindOrSetKind(archiveURL))
        throw ArchiveError::unsupportedFormat(extensionOf(archiveURL));
    return ArchiveVolumes::openingVolume(archiveURL);
}

// The browser judges a failed run by the same rules as an extraction; blankOutput is said when the
// tool printed nothing.
void throwIfFailed(const ProcessResult& result, const QString& blankOutput, const QStringList& echoedNames) {
    if (result.status != 0) throw ToolFailure::mapExternalError(result, blankOutput, echoedNames);
}

// A listing's failure is judged by the same rules, but never shows the tool's whole output (a banner and
// a table, no reason): where the rules find no reason in its words, the sentence says it.
void throwIfListingFailed(const ProcessResult& result, const QString& sentence,
                          const QStringList& echoedNames) {
    if (result.status == 0) return;
    const ArchiveError error = ToolFailure::mapExternalError(result, sentence, echoedNames);
    if (error.kind() == ArchiveError::Kind::extractFailed) throw ArchiveError::commandFailed(sentence);
    throw error;
}

// An edit is no extraction: where the rules find no reason, its own sentence says it (with the tool's
// one error line), not "解压失败".
void throwIfEditFailed(const ProcessResult& result, const QString& sentence, const QStringList& echoedNames) {
    if (result.status == 0) return;
    const ArchiveError error = ToolFailure::mapExternalError(result, sentence, echoedNames);
    if (error.kind() == ArchiveError::Kind::extractFailed) throw ArchiveError::commandFailed(error.payload());
    throw error;
}

using FailureJudge = void (*)(const ProcessResult&, const QString&, const QStringList&);

// Runs the programs in order (ToolFallback); the deciding run must succeed, and a failure it printed
// nothing for gets that program's blankOutput. Nothing installed is dependencyMissing with missingMessage.
void runInOrderOrThrow(const ArchivePrograms& programs, const QList<ToolFallback::Program>& order,
                       const ToolFallback::Attempts& attempts, QString (*blankOutput)(ToolFallback::Program),
                       const QString& missingMessage, const QStringList& echoedNames,
                       const CancellationToken& token, FailureJudge judge = throwIfFailed) {
    const std::optional<ToolFallback::Run> run =
        ToolFallback::runInOrder(programs, order, attempts, echoedNames, token);
    if (!run) throw ArchiveError::dependencyMissing(missingMessage);
    judge(run->result, blankOutput(run->program), echoedNames);
}

// Info-ZIP programs would read such a name as a switch; refused before anything runs.
void refuseSwitchLikeNames(const QStringList& entryPaths) {
    for (const QString& path : entryPaths) {
        if (ArchiveTools::InfoZip::isReadAsSwitch(path)) throw unsafePath(path);
    }
}

QString makePreviewRoot() {
    const QString relative =
        QStringLiteral("velmoraPreviews/") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const std::optional<QString> root = PrivateTempDirectory::makeFolder(relative);
    if (!root) throw FileSystemError::privateTempUnavailable();
    return *root;
}

QString editExtension(const QString& archiveURL) { return extensionOf(archiveURL).toLower(); }

// ZIP names without the UTF-8 flag follow the systems they were made on whichever tool printed them
// (a listing that names none: the format's own code page); other kinds store a file system's bytes.
LegacyNames::Source legacySource(std::optional<ArchiveFormat::Kind> kind,
                                 const PreviewListing& listing = {}) {
    const bool zip = kind && ArchiveKindTable::row(*kind).family == ArchiveFormat::Family::zip;
    return zip ? listing.zipSource() : LegacyNames::Source::fileSystemBytes;
}

// A ZIP's rows from its central directory alone; an encrypted one needs a password first.
QList<ArchivePreviewEntry> zipReaderEntries(const QString& archiveURL,
                                            const std::optional<QString>& password) {
    const PreviewListing listing = ZipDirectoryListing::nativeZipEntries(archiveURL);
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
        sevenZip.listTechnical(archive, password, ArchiveTools::kListingTimeout, token,
                               [&reader](const QString& piece) { reader.read(piece); });
    if (result.status != 0) return result;
    listing = reader.finish(result.output, result.outputBytes);
    LegacyNameRows::decode(listing.entries, legacySource(kind, listing));
    return result;
}

// 7-Zip's technical listing, else its plain one; entries gets the rows of the run that succeeded. An
// encrypted archive listed without a password is a password problem, as is a run that says so.
ProcessResult sevenZipListing(const SevenZipTool& sevenZip, const QString& archiveURL,
                              std::optional<ArchiveFormat::Kind> kind, const std::optional<QString>& password,
                              const CancellationToken& token, QList<ArchivePreviewEntry>& entries) {
    PreviewListing listing;
    const ProcessResult result = runStructuredListing(sevenZip, archiveURL, kind, token, password, listing);
    if (result.status == 0) {
        entries = listing.entries;
        if (listing.isEncrypted && !ArchiveTools::givenPassword(password) &&
            !PreviewEntryRules::containsMojibakePath(entries))
            throw ArchiveError::wrongPassword();
        return result;
    }
    const ArchiveError error = ToolFailure::mapExternalError(
        result, ToolFailureText::extractingToolFailed(ToolFallback::Program::sevenZip), {archiveURL});
    if (error.kind() == ArchiveError::Kind::wrongPassword) throw error;
    const ProcessResult plain = sevenZip.listPlain(archiveURL, password, token);
    if (plain.status != 0) return plain;
    entries = ArchiveListingParser::parseSevenZipPlainList(plain.output, plain.outputBytes);
    LegacyNameRows::decode(entries, legacySource(kind));
    return plain;
}

// GNU tar's listing, parsed as it arrives; names that are not UTF-8 are a file system's bytes, as in
// every TAR.
ProcessResult tarListing(const TarTool& tar, const QString& archive, const CancellationToken& token,
                         QList<ArchivePreviewEntry>& entries) {
    ArchiveListingParser::TarListingReader reader;
    const ProcessResult result =
        tar.list(archive, token, [&reader](const QString& piece) { reader.read(piece); });
    if (result.status != 0) return result;
    entries = reader.finish(result.output);
    LegacyNameRows::decode(entries, LegacyNames::Source::fileSystemBytes);
    return result;
}

// Each program's extraction of the named entries from archive into destinationURL.
ToolFallback::Attempts entryAttempts(const QString& archive, const QStringList& entryPaths,
                                     const QString& destinationURL, const std::optional<QString>& password,
                                     double timeout, const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.outputFolder = destinationURL;
    attempts.sevenZip = [=](const SevenZipTool& sevenZip) {
        return sevenZip.extractEntries(archive, entryPaths, destinationURL, password, timeout, token);
    };
    attempts.unrar = [=](const UnrarTool& unrar) {
        return unrar.extractEntries(archive, entryPaths, destinationURL, password, timeout, token);
    };
    attempts.infoZip = [=](const InfoZipTool& infoZip) {
        refuseSwitchLikeNames(entryPaths);
        return infoZip.extractEntries(archive, entryPaths, destinationURL, password, timeout, token);
    };
    attempts.tar = [=](const TarTool& tar) {
        return tar.extract(archive, destinationURL, entryPaths, timeout, token);
    };
    if (CompoundTar::isCompoundTar(archive)) {
        attempts.sevenZip = [=](const SevenZipTool& sevenZip) {
            return CompoundTar::throughInnerTar(
                archive,
                [&](const QString& work) {
                    // The whole layer: gzip, bzip2 and xz cannot be entered in the middle.
                    return sevenZip.extractEntries(archive, {}, work, password, ArchiveTools::kLongRunTimeout,
                                                   token);
                },
                [&](const QString& tarFile) {
                    // The password protected the outer file only.
                    return sevenZip.extractEntries(tarFile, entryPaths, destinationURL, std::nullopt, timeout,
                                                   token);
                });
        };
    }
    return attempts;
}

// The name the tools know an entry by: a legacy name as printed, any other as listed. A printed name
// holding a "\" is checked with it read as "/", but goes to the tools as they print it: they take it
// as a character of the name.
QString safeToolPath(const ArchivePreviewEntry& entry) {
    if (entry.toolPath.isEmpty()) return ArchivePreviewService::safeRelativePath(entry.path);
    const QString safe = ArchivePreviewService::safeRelativePath(entry.toolPath);
    return entry.toolPath.contains(QLatin1Char('\\')) ? entry.toolPath : safe;
}

// Whether the archive's names separate folders with "\", which rows and extracted items then show as
// folders.
bool separatesFoldersWithBackslash(const QString& archiveURL) {
    return ArchiveFormat::family(archiveURL) == ArchiveFormat::Family::zip &&
           ZipCentralDirectory::separatesFoldersWithBackslash(archiveURL);
}

}  // namespace

// Listing

QList<ArchivePreviewEntry> ArchivePreviewService::previewEntries(const QString& archiveURL,
                                                                 const std::optional<QString>& password,
                                                                 const CancellationToken& token) const {
    ExtractionSteps::requireItem(archiveURL);
    const QString archive = openedArchive(archiveURL);
    return PreviewEntryRules::shownRows(programEntries(
        archive, ToolFallback::order(archive, ArchiveTools::givenPassword(password).has_value()), password,
        {archive}, token));
}

std::optional<QList<ArchivePreviewEntry>> ArchivePreviewService::fastPreviewEntriesIfAvailable(
    const QString& archiveURL) const {
    if (ArchiveFormat::kind(archiveURL) != ArchiveFormat::Kind::zip) return std::nullopt;
    PreviewListing listing;
    try {
        listing = ZipDirectoryListing::nativeZipEntries(archiveURL);
    } catch (const FileSystemError&) {
        return std::nullopt;
    }
    if (listing.isEncrypted || listing.entries.isEmpty()) return std::nullopt;
    if (PreviewEntryRules::containsMojibakePath(listing.entries)) return std::nullopt;
    if (separatesFoldersWithBackslash(archiveURL)) LegacyNameRows::separateFolders(listing.entries);
    return PreviewEntryRules::shownRows(listing.entries);
}

// The listing in the programs' order (ToolFallback). 7-Zip's technical listing, and its plain one
// when that fails for another reason than the password (of a compressed TAR, of the TAR its layer
// unpacks to); the ZIP reader (rows of a ZIP's central directory); unrar's technical listing; unzip's;
// GNU tar's, of a compressed TAR too. Garbled names from 7-Zip, and a ZIP reader that finds no rows or
// garbled ones, hand over to the next reader; the last one's rows are taken as they are.
QList<ArchivePreviewEntry> ArchivePreviewService::programEntries(const QString& archiveURL,
                                                                 const QList<ToolFallback::Program>& order,
                                                                 const std::optional<QString>& password,
                                                                 const QStringList& echoedNames,
                                                                 const CancellationToken& token) const {
    const std::optional<ArchiveFormat::Kind> kind = ArchiveFormat::kindOrSetKind(archiveURL);
    QList<ArchivePreviewEntry> entries;
    // Read by the fallback as the run goes: 7-Zip's inner TAR is named once it is unpacked.
    QStringList echoed = echoedNames;
    ToolFallback::Attempts attempts;
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        if (!CompoundTar::isCompoundTar(archiveURL))
            return sevenZipListing(sevenZip, archiveURL, kind, password, token, entries);
        return CompoundTar::throughInnerTar(
            archiveURL,
            [&](const QString& work) {
                return sevenZip.extractEntries(archiveURL, {}, work, password, ArchiveTools::kLongRunTimeout,
                                               token);
            },
            [&](const QString& tarFile) {
                echoed.append(tarFile);
                return sevenZipListing(sevenZip, tarFile, kind, std::nullopt, token, entries);
            });
    };
    attempts.zipReader = [&] {
        entries = zipReaderEntries(archiveURL, password);
        return ProcessResult{};
    };
    attempts.unrar = [&](const UnrarTool& unrar) {
        const ProcessResult result = unrar.listTechnical(archiveURL, password, token);
        if (result.status == 0) entries = ArchiveListingParser::parseRarTechnicalList(result.output);
        return result;
    };
    attempts.infoZip = [&](const InfoZipTool& infoZip) {
        const ProcessResult result = infoZip.list(archiveURL, token);
        if (result.status != 0) return result;
        entries = ArchiveListingParser::parseZipList(result.output, result.outputBytes);
        LegacyNameRows::decode(entries, ZipCentralDirectory::legacyNameSource(archiveURL));
        return result;
    };
    attempts.tar = [&](const TarTool& tar) { return tarListing(tar, archiveURL, token, entries); };
    attempts.unusable = [&entries](ToolFallback::Program program) {
        if (program == ToolFallback::Program::zipReader && entries.isEmpty()) return true;
        return (program == ToolFallback::Program::sevenZip || program == ToolFallback::Program::zipReader) &&
               PreviewEntryRules::containsMojibakePath(entries);
    };
    const std::optional<ToolFallback::Run> run =
        ToolFallback::runInOrder(m_programs, order, attempts, echoed, token);
    if (!run)
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"RAR / 7-Zip 预览工具不可用")));
    throwIfListingFailed(run->result, ToolFailureText::extractingToolFailed(run->program), echoed);
    if (separatesFoldersWithBackslash(archiveURL)) LegacyNameRows::separateFolders(entries);
    return entries;
}

SevenZipTool ArchivePreviewService::requireSevenZip(const QString& missingMessage) const {
    std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip) throw ArchiveError::dependencyMissing(missingMessage);
    return *sevenZip;
}

// Entry extraction

QString ArchivePreviewService::safeRelativePath(const QString& path) {
    QString replaced = path;
    replaced.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList pieces = replaced.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool escapes = replaced.startsWith(QLatin1Char('/')) || replaced.startsWith(QLatin1Char('~')) ||
                         pieces.isEmpty() || pieces.contains(QStringLiteral(".."));
    // A NUL would cut the path short where the tool reads it.
    if (escapes || replaced.contains(QChar(u'\0'))) throw unsafePath(path);
    return pieces.join(QLatin1Char('/'));
}

QString ArchivePreviewService::extractedPreviewFile(const ArchivePreviewEntry& entry,
                                                    const QString& archiveURL,
                                                    const std::optional<QString>& password,
                                                    const CancellationToken& token) const {
    ExtractionSteps::requireItem(archiveURL);
    if (isFolderEntry(entry)) throw ArchiveError::extractFailed(QStringLiteral(u"文件夹不能直接预览。"));
    const QString archive = openedArchive(archiveURL);
    const QString safePath = safeRelativePath(entry.path);
    const QString toolPath = safeToolPath(entry);
    const QString root = makePreviewRoot();
    extractWithTools(archive, {toolPath},
                     LegacyNameRows::componentDecodings({entry}, LegacyNameRows::Undecodable::nameAsListed),
                     root, password, Purpose::preview, token);

    const QString candidate = root + QLatin1Char('/') + safePath;
    if (QFileInfo::exists(candidate) && ExtractedItemSearch::isContained(candidate, root)) return candidate;
    if (std::optional<QString> found = ExtractedItemSearch::locateExtractedFile(fileNameOf(safePath), root)) {
        return *found;
    }
    throw ArchiveError::extractFailed(QStringLiteral(u"未能读取压缩包内文件：") + entry.path);
}

OperationOutputs ArchivePreviewService::extractEntries(const QList<ArchivePreviewEntry>& entries,
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
    QStringList safePaths;
    QStringList toolPaths;
    for (const ArchivePreviewEntry& entry : files) {
        safePaths.append(safeRelativePath(entry.path));
        toolPaths.append(safeToolPath(entry));
    }
    const QString archive = openedArchive(archiveURL);
    const ExtractionStaging::Renames renames =
        extractWithTools(archive, toolPaths,
                         LegacyNameRows::componentDecodings(files, LegacyNameRows::Undecodable::keepToolName),
                         destinationURL, password, Purpose::extraction, token);

    QStringList extracted;
    for (const QString& path : safePaths) {
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

ExtractionStaging::Renames ArchivePreviewService::extractWithTools(
    const QString& archiveURL, const QStringList& entryPaths, const QHash<QByteArray, QString>& legacyNames,
    const QString& destinationURL, const std::optional<QString>& password, Purpose purpose,
    const CancellationToken& token) const {
    ExtractionStaging staging(destinationURL);
    runTools(archiveURL, entryPaths, staging.path(), password, purpose, token);
    if (!legacyNames.isEmpty()) {
        LegacyNameRenamer::rename(staging.path(), [&legacyNames](const QByteArray& name) {
            return legacyNames.contains(name) ? std::optional<QString>(legacyNames.value(name))
                                              : std::nullopt;
        });
    }
    if (separatesFoldersWithBackslash(archiveURL)) LegacyNameRenamer::separateFolders(staging.path());
    return staging.commit(token);
}

// The programs in the extractors' order (ToolFallback).
void ArchivePreviewService::runTools(const QString& archiveURL, const QStringList& entryPaths,
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
    runInOrderOrThrow(m_programs,
                      ToolFallback::order(archiveURL, ArchiveTools::givenPassword(password).has_value()),
                      entryAttempts(archiveURL, entryPaths, destinationURL, password, timeout, token),
                      ToolFailureText::extractingToolFailed, missing,
                      QStringList{archiveURL, destinationURL} + entryPaths, token);
}

// Editing

void ArchivePreviewService::addFiles(const QStringList& fileURLs, const QString& archiveURL,
                                     const std::optional<QString>& password,
                                     const CancellationToken& token) const {
    if (fileURLs.isEmpty()) throw ArchiveError::noInputFiles();
    const QString extension = editExtension(archiveURL);
    if (!ArchiveFormat::isEditable(archiveURL)) {
        throw ArchiveError::commandFailed(
            QStringLiteral(u"当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持添加文件。"));
    }
    // 7-Zip would wait for good on a pipe it opens, also one inside a folder being added.
    for (const QString& file : fileURLs) {
        ExtractionSteps::requireItem(file);
        if (const std::optional<QString> inside = InputItem::firstNonContentInside(file, token))
            throw ArchiveError::notFileOrFolder(*inside);
    }
    const SevenZipTool sevenZip =
        requireSevenZip(ArchiveError::withReinstallAdvice(QStringLiteral(u"添加文件需要 7-Zip 工具")));
    const EditWorkFolder work(archiveURL);
    throwIfEditFailed(sevenZip.add(archiveURL, extension, fileURLs, password, work.path(), token),
                      QStringLiteral(u"添加文件失败。"), QStringList{archiveURL} + fileURLs);
}

void ArchivePreviewService::deleteEntries(const QList<ArchivePreviewEntry>& entries,
                                          const QString& archiveURL, const std::optional<QString>& password,
                                          const CancellationToken& token) const {
    if (entries.isEmpty()) throw ArchiveError::commandFailed(QStringLiteral(u"请选择要删除的条目。"));
    QStringList safePaths;
    for (const ArchivePreviewEntry& entry : entries) safePaths.append(safeToolPath(entry));
    const QString extension = editExtension(archiveURL);
    if (!ArchiveFormat::isEditable(archiveURL)) {
        throw ArchiveError::commandFailed(
            QStringLiteral(u"当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持删除内部文件。"));
    }
    // A ZIP 7-Zip cannot open goes to zip, as in extraction; zip needs no password to delete.
    const EditWorkFolder work(archiveURL);
    ToolFallback::Attempts attempts;
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.remove(archiveURL, safePaths, password, work.path(), token);
    };
    attempts.infoZip = [&](const InfoZipTool& infoZip) {
        refuseSwitchLikeNames(safePaths);
        return infoZip.remove(archiveURL, safePaths, work.path(), token);
    };
    runInOrderOrThrow(
        m_programs, ToolFallback::order(archiveURL, false), attempts,
        [](ToolFallback::Program program) {
            return program == ToolFallback::Program::infoZip ? QStringLiteral(u"删除 ZIP 内文件失败。")
                                                             : QStringLiteral(u"删除压缩包内文件失败。");
        },
        extension == QStringLiteral("zip")
            ? ArchiveError::withReinstallAdvice(QStringLiteral(u"编辑 ZIP 压缩包需要 7-Zip 或 zip 工具"))
            : ArchiveError::withReinstallAdvice(QStringLiteral(u"编辑 7Z 压缩包需要 7-Zip 工具")),
        QStringList{archiveURL} + safePaths, token, throwIfEditFailed);
}
