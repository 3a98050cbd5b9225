#include "core/engine/SevenZipTool.h"

#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompoundTar.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/SevenZipLinkChains.h"
#include "core/engine/SevenZipListing.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureLines.h"
#include "platform/PrivateTempDirectory.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringView>

#include <algorithm>
#include <cerrno>

namespace {

// Its warnings on lines of their own ("WARNINGS:", "Archives with Warnings: 1"), which it may print with
// status 0: a TAR header it could not read (a name cut short, an entry skipped) is such a warning.
bool warned(const ProcessResult& result) {
    static const QRegularExpression line(SevenZipWords::kWarnedLine, QRegularExpression::MultilineOption);
    return line.match(result.output).hasMatch();
}

// A run that failed only because the file system would not take the items' Unix modes (FAT: fusefat,
// many FUSE and network mounts, USB sticks): every line of its standard error is "ERROR: Cannot set file
// attribute : errno=38 : …" (not implemented, not supported, not permitted). Every item was written and
// checked.
bool onlyModesUnset(const ProcessResult& result) {
    // 7-Zip reports every error on standard error and ends such a run with 2.
    if (result.status != 2) return false;
    bool anyUnset = false;
    for (const QString& line : result.error.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) continue;
        if (!ToolFailureLines::isUnsetMode(line)) return false;
        anyUnset = true;
    }
    return anyUnset;
}

ProcessResult ranBySevenZip(ProcessResult result) {
    result.program = ToolProgram::sevenZip;
    return result;
}

// The first entry a technical listing marks as encrypted ("Encrypted = +").
struct FirstEncryptedPath {
    QString path;
    std::optional<QString> encrypted;

    void store(SevenZipListing::Key key, QStringView value, QStringView, qsizetype) {
        if (key == SevenZipListing::Key::path)
            path = SevenZipListing::trimmed(value).toString();
        else if (key == SevenZipListing::Key::encrypted && !encrypted && SevenZipListing::isPlus(value))
            encrypted = path;
    }
    void finishBlock() {}
};

// An extraction's status is its verdict's (classify): 0 for a success, 7-Zip's warning status for a TAR it
// read only in part.
ProcessResult extracted(const SevenZipTool& sevenZip, ProcessResult result) {
    const ToolOutcome outcome = sevenZip.classify(result, {});
    if (outcome == ToolOutcome::success) result.status = 0;
    if (outcome == ToolOutcome::warned) result.status = 1;
    return result;
}

// The run on the TAR file inside, told as the archive's.
ProcessResult asArchives(ProcessResult result, const QString& tarFile, const QString& archive) {
    result.output.replace(tarFile, archive);
    result.error.replace(tarFile, archive);
    return result;
}

// 7-Zip names the type of the archive it opened in its own field ("Type = tar").
bool openedTar(const ProcessResult& result) {
    static const QRegularExpression tarType(SevenZipWords::kTarTypeLine, QRegularExpression::MultilineOption);
    return tarType.match(result.output).hasMatch();
}

}  // namespace

ToolOutcome SevenZipTool::classify(const ProcessResult& result, const QStringList& echoedNames) const {
    constexpr int kSucceeded = 0;
    constexpr int kWarning = 1;
    if (result.status == kSucceeded)
        return warned(result) && openedTar(result) ? ToolOutcome::warned : ToolOutcome::success;
    if (onlyModesUnset(result)) return ToolOutcome::success;
    if ((result.status == kWarning && warned(result)) ||
        ToolFailure::sevenZipCannotHandle(result, echoedNames))
        return ToolOutcome::unreadable;
    return ToolOutcome::failed;
}

ProcessResult SevenZipTool::run(const QStringList& arguments, ProcessRunner::TimeLimit timeout,
                                const CancellationToken& token, const std::optional<QString>& password,
                                const ProcessRunner::OutputHandler& handler,
                                ProcessRunner::HandlerReads handlerReads) const {
    return ranBySevenZip(ProcessRunner::run(m_program, arguments, std::nullopt, timeout, handler, token,
                                            ArchiveTools::givenPassword(password),
                                            ProcessRunner::InputChannel::pipe, handlerReads));
}

ProcessResult SevenZipTool::list(const QString& archive, const std::optional<QString>& password,
                                 const CancellationToken& token,
                                 const ProcessRunner::OutputHandler& handler) const {
    const auto listing = [&](const QString& file, const std::optional<QString>& filePassword) {
        return run(ArchiveTools::SevenZip::technicalListArguments(file), ArchiveTools::kListingTimeout, token,
                   filePassword, handler, ProcessRunner::HandlerReads::standardOutput);
    };
    if (!CompoundTar::isCompoundTar(archive)) return listing(archive, password);
    return throughLayer(archive, password, std::nullopt, token,
                        [&](const QString& tarFile) { return listing(tarFile, std::nullopt); });
}

ProcessResult SevenZipTool::listTechnical(const QString& archive, const std::optional<QString>& password,
                                          ProcessRunner::TimeLimit timeout,
                                          const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::technicalListArguments(archive), timeout, token, password);
}

std::optional<ProcessResult> SevenZipTool::listTechnical(const QString& archive,
                                                         const std::optional<QString>& password,
                                                         const CancellationToken& token) const {
    return listTechnical(archive, password, ArchiveTools::kListingTimeout, token);
}

ArchiveDriver::Encryption SevenZipTool::encryptionIn(const ProcessResult& technicalListing) const {
    if (technicalListing.status != 0)
        return {technicalListing.output.contains(SevenZipWords::kPasswordPromptStart), std::nullopt};
    FirstEncryptedPath fields;
    SevenZipListing::read(technicalListing.output, fields);
    return {fields.encrypted.has_value(), fields.encrypted};
}

std::optional<ProcessResult> SevenZipTool::listWithLineFeeds(const QString& archive,
                                                             const std::optional<QString>& password,
                                                             const CancellationToken& token) const {
    const std::optional<QStringList> arguments = ArchiveTools::SevenZip::lineFeedListArguments(archive);
    if (!arguments) return std::nullopt;
    return run(*arguments, ArchiveTools::kListingTimeout, token, password);
}

ProcessResult SevenZipTool::listPlain(const QString& archive, const std::optional<QString>& password,
                                      const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::plainListArguments(archive), ArchiveTools::kListingTimeout, token,
               password);
}

ProcessResult SevenZipTool::extract(const QString& archive, const QString& destination, int threadCount,
                                    const std::optional<QString>& password,
                                    const CancellationToken& token) const {
    if (!CompoundTar::isCompoundTar(archive))
        return extractWhole(archive, destination, threadCount, password, token);
    return throughLayer(archive, password, threadCount, token, [&](const QString& tarFile) {
        return extractWhole(tarFile, destination, threadCount, std::nullopt, token);
    });
}

ProcessResult SevenZipTool::extractEntries(const QString& archive, const QStringList& entryPaths,
                                           const QString& destination, const std::optional<QString>& password,
                                           double timeout, const CancellationToken& token) const {
    if (!CompoundTar::isCompoundTar(archive))
        return extractNamed(archive, entryPaths, destination, password, timeout, token);
    return throughLayer(archive, password, std::nullopt, token, [&](const QString& tarFile) {
        return extractNamed(tarFile, entryPaths, destination, std::nullopt, timeout, token);
    });
}

ProcessResult SevenZipTool::throughLayer(
    const QString& archive, const std::optional<QString>& password, std::optional<int> threadCount,
    const CancellationToken& token, const std::function<ProcessResult(const QString& tarFile)>& read) const {
    return CompoundTar::throughInnerTar(
        archive,
        [&](const QString& work) {
            // The whole layer: gzip, bzip2 and xz cannot be entered in the middle.
            ProcessResult unpacked =
                threadCount ? extractWhole(archive, work, *threadCount, password, token)
                            : extractNamed(archive, {}, work, password, ArchiveTools::kLongRunTimeout, token);
            const std::optional<ArchiveError> named = ToolFailure::namedFailure(unpacked, {archive, work});
            const std::optional<QString> temporary = PrivateTempDirectory::base();
            if (named && named->kind() == ArchiveError::Kind::diskFull && named->payload().isEmpty() &&
                temporary)
                throw *ArchiveError::unwritable(QFileInfo(*temporary).path(), ENOSPC);
            return unpacked;
        },
        [&](const QString& tarFile) { return asArchives(read(tarFile), tarFile, archive); });
}

ProcessResult SevenZipTool::extractWhole(const QString& archive, const QString& destination, int threadCount,
                                         const std::optional<QString>& password,
                                         const CancellationToken& token) const {
    return extracted(
        *this, withLinkCheckRetry(archive, destination, password, token, [&](bool linkChecksOff) {
            return run(
                ArchiveTools::SevenZip::extractArguments(archive, destination, threadCount, linkChecksOff),
                ArchiveTools::kLongRunTimeout, token, password);
        }));
}

ProcessResult SevenZipTool::extractNamed(const QString& archive, const QStringList& entryPaths,
                                         const QString& destination, const std::optional<QString>& password,
                                         double timeout, const CancellationToken& token) const {
    return extracted(*this,
                     withLinkCheckRetry(archive, destination, password, token, [&](bool linkChecksOff) {
                         return run(ArchiveTools::SevenZip::extractEntriesArguments(
                                        archive, entryPaths, destination, linkChecksOff),
                                    timeout, token, password);
                     }));
}

ProcessResult SevenZipTool::printEntries(const QString& archive, const QStringList& entryPaths,
                                         const std::optional<QString>& password,
                                         const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::printEntriesArguments(archive, entryPaths),
               ArchiveTools::kLongRunTimeout, token, password);
}

std::optional<ProcessResult> SevenZipTool::test(const QString& archive,
                                                const std::optional<QString>& password,
                                                const QStringList& entryPaths,
                                                const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::testArguments(archive, entryPaths), ArchiveTools::kLongRunTimeout,
               token, password);
}

ProcessResult SevenZipTool::create(const QString& archive, const QStringList& names,
                                   const QString& workingFolder, const Creation& creation,
                                   const std::optional<QString>& password,
                                   const ProcessRunner::OutputHandler& progress,
                                   const CancellationToken& token) const {
    using namespace ArchiveTools::SevenZip;
    const bool sevenZipFormat = creation.format == CompressionFormat::sevenZip;
    QStringList arguments{addCommand(), archiveType(creation.format), level(creation.level),
                          threads(std::max(1, creation.threadCount)), storeLinks()};
    arguments += progressSwitches();
    if (sevenZipFormat) arguments << lzma2Method();
    if (creation.volumeSizeBytes) arguments << volumeSize(*creation.volumeSizeBytes);
    if (creation.excludeHidden) arguments += hiddenExclusions();
    const std::optional<QString> given = ArchiveTools::givenPassword(password);
    if (given && sevenZipFormat) arguments << askPassword() << headerEncryptionOff();
    if (given && !sevenZipFormat) arguments << zipCryptoMethod() << askPassword();
    // The wildcard exclusions stop working under -spd, so they get "--" alone.
    arguments += creation.excludeHidden ? endOfSwitchesKeepingWildcards() : endOfSwitches();
    arguments << archive;
    return ranBySevenZip(ProcessRunner::run(m_program, arguments + names, workingFolder,
                                            ArchiveTools::kLongRunTimeout, progress, token, given));
}

ProcessResult SevenZipTool::add(const QString& archive, const QString& type, const QStringList& items,
                                const std::optional<QString>& password, const QString& workFolder,
                                const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::addArguments(archive, type, items, workFolder),
               ArchiveTools::kEditTimeout, token, password);
}

std::optional<ProcessResult> SevenZipTool::remove(const QString& archive, const QStringList& entryPaths,
                                                  const std::optional<QString>& password,
                                                  const QString& workFolder,
                                                  const CancellationToken& token) const {
    return run(ArchiveTools::SevenZip::deleteArguments(archive, entryPaths, workFolder),
               ArchiveTools::kEditTimeout, token, password);
}

ProcessResult SevenZipTool::withLinkCheckRetry(
    const QString& archive, const QString& destination, const std::optional<QString>& password,
    const CancellationToken& token, const std::function<ProcessResult(bool linkChecksOff)>& runWith) const {
    const ProcessResult result = runWith(false);
    if (result.status == 0 || !SevenZipLinkChains::refusedLink(result)) return result;
    if (!SevenZipLinkChains::provedSafe(*this, archive, password, token)) return result;
    ExtractionSteps::emptyFolder(destination);
    return runWith(true);
}
