#include "core/engine/CompressionService.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileTree.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompressionOutputs.h"
#include "core/engine/CompressionStaging.h"
#include "core/engine/CompressionTarget.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/SevenZipProgress.h"
#include "core/engine/SourceTrash.h"
#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {
constexpr double kBeforeRun = 0.12;
constexpr double kAfterRun = 0.95;

// Removes a staged workspace's folder when the operation ends, however it ends.
class StagingRemoval {
public:
    explicit StagingRemoval(const CompressionWorkspace& workspace) : m_workspace(workspace) {}
    ~StagingRemoval() { m_workspace.removeStagingRoot(); }
    StagingRemoval(const StagingRemoval&) = delete;
    StagingRemoval& operator=(const StagingRemoval&) = delete;

private:
    const CompressionWorkspace& m_workspace;
};

void report(const ProgressHandler& progressHandler, double value) {
    if (progressHandler) progressHandler(value);
}

QStringList namesOf(const QStringList& files) {
    QStringList names;
    for (const QString& file : files) names << FileNameHelper::lastPathComponent(file);
    return names;
}

// Hidden entries inside folders are left out by the tool as well as by staging.
bool exclusionsApply(bool excludeHiddenFiles, const QStringList& files) {
    return excludeHiddenFiles && CompressionStaging::containsDirectory(files);
}

ProcessResult runInCommonParent(const QString& executable, const QStringList& arguments,
                                const QStringList& files, const ProcessRunner::OutputHandler& outputHandler,
                                const CancellationToken& token,
                                const std::optional<QString>& password = std::nullopt,
                                ProcessRunner::InputChannel channel = ProcessRunner::InputChannel::pipe) {
    return ProcessRunner::run(executable, arguments, CompressionStaging::commonParent(files),
                              ArchiveTools::kLongRunTimeout, outputHandler, token, password, channel);
}

QStringList sevenZipCreationSwitches(CompressionFormat format, CompressionLevel level, int threadCount) {
    return QStringList{ArchiveTools::SevenZip::addCommand(), ArchiveTools::SevenZip::archiveType(format),
                       ArchiveTools::SevenZip::level(level),
                       ArchiveTools::SevenZip::threads(std::max(1, threadCount)),
                       ArchiveTools::SevenZip::storeLinks()} +
           ArchiveTools::SevenZip::progressSwitches();
}

// The wildcard exclusions stop working under -spd, so they get "--" alone.
QStringList sevenZipEndOfSwitches(bool exclusions) {
    return exclusions ? ArchiveTools::SevenZip::endOfSwitchesKeepingWildcards()
                      : ArchiveTools::SevenZip::endOfSwitches();
}

// Runs 7-Zip's "a" with the given switches on the inputs, named from their common folder, with its
// percentages reported as progress. A password given goes to the standard input that "-p" asks.
void runSevenZipCreation(const QString& sevenZip, QStringList arguments, bool exclusions,
                         const QString& destinationURL, const QStringList& files,
                         const ProgressHandler& progressHandler, const CancellationToken& token,
                         const std::optional<QString>& password = std::nullopt) {
    arguments += sevenZipEndOfSwitches(exclusions);
    arguments << destinationURL;
    arguments += namesOf(files);
    const ProcessResult result = runInCommonParent(
        sevenZip, arguments, files, SevenZipProgress::makeSevenZipProgressOutputHandler(progressHandler),
        token, password);
    if (result.status != 0) {
        CompressionService::throwCompressionError(result, QStringLiteral(u"7-Zip 压缩工具返回错误。"));
    }
}

QStringList zipArguments(CompressionLevel level, const QStringList& options, const QString& destinationURL,
                         const QStringList& files, bool excludeHiddenFiles) {
    QStringList arguments = ArchiveTools::Zip::recursiveWithoutExtraAttributes();
    arguments += ArchiveTools::Zip::storeLinks();
    arguments << CompressionLevels::zipLevelSwitch(level);
    arguments += options;
    arguments << destinationURL;
    if (exclusionsApply(excludeHiddenFiles, files)) arguments += ArchiveTools::Zip::hiddenExclusions();
    return arguments + ArchiveTools::Zip::endOfSwitches() + namesOf(files);
}

void runZip(const QStringList& arguments, const QStringList& files, const ProgressHandler& progressHandler,
            const CancellationToken& token) {
    report(progressHandler, kBeforeRun);
    const ProcessResult result = runInCommonParent(ArchiveTools::kZipPath, arguments, files, {}, token);
    report(progressHandler, kAfterRun);
    if (result.status != 0) {
        CompressionService::throwCompressionError(result, QStringLiteral(u"系统 ZIP 工具返回错误。"));
    }
}

void handleExistingOutputs(CompressionFormat format, const QString& baseName,
                           const QString& destinationDirectoryURL, bool splitEnabled,
                           bool overwriteExisting) {
    const QStringList conflicts =
        SplitCompressionPlanner::outputConflictURLs(format, baseName, destinationDirectoryURL, splitEnabled);
    if (conflicts.isEmpty()) return;
    if (!overwriteExisting) {
        throw SplitCompressionError::existingOutput(FileNameHelper::lastPathComponent(conflicts.first()));
    }
    // "Overwrite" takes the old outputs out of the way into the trash, never deletes them for good.
    const QStringList stayed = SourceTrash::moveToTrash(conflicts);
    if (!stayed.isEmpty())
        throw SplitCompressionError::existingOutput(FileNameHelper::lastPathComponent(stayed.first()));
}

// The volumes the tool wrote into the work folder, in order.
QStringList collectOutputs(CompressionFormat format, const QString& workFolder, const QString& baseName,
                           const QString& workURL, bool splitEnabled) {
    if (splitEnabled && format == CompressionFormat::sevenZip) {
        return CompressionOutputs::findSevenZipOutputs(workFolder, baseName);
    }
    if (splitEnabled) return CompressionOutputs::findZipSplitOutputs(workFolder, baseName);
    if (!QFileInfo::exists(workURL))
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的压缩包。"));
    return {workURL};
}

// The name a set is known by, reserved before the tool starts: the first 7Z volume, the ZIP main volume.
QString reservedSetName(const QString& primaryName, CompressionFormat format, bool splitEnabled) {
    return splitEnabled && format == CompressionFormat::sevenZip ? primaryName + QStringLiteral(".001")
                                                                 : primaryName;
}
}  // namespace

QStringList CompressionService::supportedExtensions() const {
    return CompressionFormats::allFileExtensions();
}

QString CompressionService::compress(const QStringList& files, const QString& destinationURL,
                                     CompressionFormat format, CompressionLevel level,
                                     const std::optional<QString>& password, int threadCount,
                                     bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                     const CancellationToken& token) {
    checkEncryptionSupported(format, password);
    checkInputsExist(files);
    const QString folder = QFileInfo(destinationURL).path();
    ExtractionSteps::createFolder(folder);
    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    const CompressionWorkspace workspace = CompressionStaging::prepareCompressionWorkspace(
        files, excludeHiddenFiles, token, folder, journal.get());
    const StagingRemoval removal(workspace);
    CompressionTarget target(destinationURL, CompressionFormats::fileExtension(format),
                             CompressionTarget::WhenTaken::nextFreeName, journal.get());
    const QString workURL = target.workURL(FileNameHelper::lastPathComponent(target.finalURL()));
    compressWorkspace(workspace, workURL, format, level, password, threadCount, excludeHiddenFiles,
                      progressHandler, token);
    token.throwIfCancelled();
    if (!QFileInfo::exists(workURL))
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的压缩包。"));
    return target.commit({workURL}).first();
}

SplitCompressionResult CompressionService::compressSplit(
    const QStringList& files, const QString& destinationDirectoryURL, const QString& baseName,
    CompressionFormat format, CompressionLevel level, const std::optional<QString>& password, int threadCount,
    bool excludeHiddenFiles, bool splitEnabled, std::optional<qint64> splitSizeBytes, bool overwriteExisting,
    bool validateAfterCompletion, const ProgressHandler& progressHandler, const CancellationToken& token) {
    const QStringList inputs = excludeHiddenFiles ? CompressionStaging::withoutHiddenInputs(files) : files;
    if (inputs.isEmpty()) throw ArchiveError::noInputFiles();
    if (format != CompressionFormat::zip && format != CompressionFormat::sevenZip) {
        throw SplitCompressionError::unsupportedFormat();
    }
    if (splitEnabled && (!splitSizeBytes || *splitSizeBytes < 1))
        throw SplitCompressionError::invalidVolumeSize();
    // A split ZIP that would be refused is refused before earlier outputs are deleted.
    const bool splitZip = splitEnabled && format == CompressionFormat::zip;
    QString zipVolumeSize;
    if (splitZip) {
        if (ArchiveTools::givenPassword(password)) {
            throw ArchiveError::compressFailed(
                QStringLiteral(u"当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。"));
        }
        zipVolumeSize = ArchiveTools::Zip::volumeSize(*splitSizeBytes);
    }
    checkInputsExist(inputs);
    const QString folder = QDir::cleanPath(destinationDirectoryURL);
    ExtractionSteps::createFolder(folder);
    const QString name = SplitCompressionPlanner::sanitizedBaseName(baseName);
    handleExistingOutputs(format, name, folder, splitEnabled, overwriteExisting);

    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    const CompressionWorkspace workspace = CompressionStaging::prepareCompressionWorkspace(
        inputs, excludeHiddenFiles, token, folder, journal.get());
    const StagingRemoval removal(workspace);
    const QString primaryName = name + QLatin1Char('.') + CompressionFormats::fileExtension(format);
    CompressionTarget target(folder + QLatin1Char('/') + reservedSetName(primaryName, format, splitEnabled),
                             CompressionFormats::fileExtension(format), CompressionTarget::WhenTaken::fail,
                             journal.get());
    const QString workURL = target.workURL(primaryName);
    if (splitZip) {
        compressSplitZip(workspace.files, workURL, level, zipVolumeSize, excludeHiddenFiles, progressHandler,
                         token);
    } else if (format == CompressionFormat::zip) {
        compressZip(workspace.files, workURL, level, password, threadCount, excludeHiddenFiles,
                    progressHandler, token);
    } else {
        compressSevenZip(workspace.files, workURL, level, password, threadCount, excludeHiddenFiles,
                         splitEnabled ? splitSizeBytes : std::nullopt, progressHandler, token);
    }
    token.throwIfCancelled();

    const QStringList written = collectOutputs(format, target.workFolder(), name, workURL, splitEnabled);
    // Tested before it gets its name: a set that fails its test is not left behind as if it were done.
    const bool validated = validateAfterCompletion && testArchive(written.first(), password, token);
    return {target.commit(written), validated};
}

void CompressionService::checkInputsExist(const QStringList& files) {
    if (files.isEmpty()) throw ArchiveError::noInputFiles();
    for (const QString& file : files) {
        if (!QFileInfo::exists(file)) throw ArchiveError::fileNotFound(file);
    }
}

void CompressionService::checkEncryptionSupported(CompressionFormat format,
                                                  const std::optional<QString>& password) {
    if (ArchiveTools::givenPassword(password) && !CompressionFormats::supportsEncryption(format)) {
        throw ArchiveError::compressFailed(CompressionFormats::displayName(format) +
                                           QStringLiteral(u" 格式不支持加密，请改用 ZIP 或 7Z。"));
    }
}

void CompressionService::compressZip(const QStringList& files, const QString& destinationURL,
                                     CompressionLevel level, const std::optional<QString>& password,
                                     int threadCount, bool excludeHiddenFiles,
                                     const ProgressHandler& progressHandler, const CancellationToken& token) {
    const std::optional<QString> given = ArchiveTools::givenPassword(password);
    const std::optional<QString> sevenZip = ArchiveTools::SevenZip::locate();
    if (given && (!sevenZip || !ArchiveTools::SevenZip::takesZipPassword(*given))) {
        report(progressHandler, kBeforeRun);
        compressMacCompatibleEncryptedZip(files, destinationURL, level, *given, excludeHiddenFiles, token);
        report(progressHandler, kAfterRun);
        return;
    }
    if (!sevenZip) {
        runZip(zipArguments(level, {}, destinationURL, files, excludeHiddenFiles), files, progressHandler,
               token);
        return;
    }
    const bool exclusions = exclusionsApply(excludeHiddenFiles, files);
    QStringList arguments = sevenZipCreationSwitches(CompressionFormat::zip, level, threadCount);
    if (exclusions) arguments += ArchiveTools::SevenZip::hiddenExclusions();
    if (given)
        arguments << ArchiveTools::SevenZip::zipCryptoMethod() << ArchiveTools::SevenZip::askPassword();
    runSevenZipCreation(*sevenZip, arguments, exclusions, destinationURL, files, progressHandler, token,
                        given);
}

void CompressionService::compressMacCompatibleEncryptedZip(const QStringList& files,
                                                           const QString& destinationURL,
                                                           CompressionLevel level, const QString& password,
                                                           bool excludeHiddenFiles,
                                                           const CancellationToken& token) {
    const QStringList arguments =
        zipArguments(level, ArchiveTools::Zip::encrypt(), destinationURL, files, excludeHiddenFiles);
    const ProcessResult result = runInCommonParent(ArchiveTools::kZipPath, arguments, files, {}, token,
                                                   password, ProcessRunner::InputChannel::terminal);
    if (result.status != 0) throwCompressionError(result, QStringLiteral(u"系统 ZIP 工具返回错误。"));
}

void CompressionService::compressTarGzip(const QStringList& files, const QString& destinationURL,
                                         bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                         const CancellationToken& token) {
    QStringList arguments = ArchiveTools::Tar::createGzip(destinationURL);
    if (exclusionsApply(excludeHiddenFiles, files)) arguments += ArchiveTools::Tar::hiddenExclusions();
    arguments += ArchiveTools::Tar::endOfSwitches();
    arguments += namesOf(files);
    report(progressHandler, kBeforeRun);
    const ProcessResult result = runInCommonParent(ArchiveTools::kTarPath, arguments, files, {}, token);
    report(progressHandler, kAfterRun);
    if (result.status != 0) throwCompressionError(result, QStringLiteral(u"系统 TAR 工具返回错误。"));
}

bool CompressionService::testArchive(const QString& primaryPartURL, const std::optional<QString>& password,
                                     const CancellationToken& token) {
    const std::optional<QString> sevenZip = ArchiveTools::SevenZip::locate();
    if (!sevenZip) {
        throw ArchiveError::dependencyMissing(
            QStringLiteral(u"校验压缩包需要 7-Zip 工具，请重新安装 velmora。"));
    }
    const QStringList arguments =
        QStringList{ArchiveTools::SevenZip::testCommand()} + ArchiveTools::SevenZip::endOfSwitches()
        << primaryPartURL;
    const ProcessResult result =
        ProcessRunner::run(*sevenZip, arguments, QFileInfo(primaryPartURL).path(),
                           ArchiveTools::kLongRunTimeout, {}, token, ArchiveTools::givenPassword(password));
    if (result.status != 0) throwCompressionError(result, QStringLiteral(u"分卷压缩包校验失败。"));
    return true;
}

void CompressionService::throwCompressionError(const ProcessResult& result, const QString& fallback) {
    const QString text = ExtractionSteps::combinedText(result);
    if (text.toLower().contains(QStringLiteral("permission denied"))) throw ArchiveError::permissionDenied();
    if (text.trimmed().isEmpty()) throw ArchiveError::compressFailed(fallback);
    throw ArchiveError::compressFailed(text);
}

void CompressionService::compressSevenZip(const QStringList& files, const QString& destinationURL,
                                          CompressionLevel level, const std::optional<QString>& password,
                                          int threadCount, bool excludeHiddenFiles,
                                          std::optional<qint64> volumeSizeBytes,
                                          const ProgressHandler& progressHandler,
                                          const CancellationToken& token) {
    const std::optional<QString> sevenZip = ArchiveTools::SevenZip::locate();
    if (!sevenZip) {
        throw ArchiveError::dependencyMissing(
            QStringLiteral(u"创建 7Z 压缩包需要 7-Zip 工具，请重新安装 velmora。"));
    }
    const bool exclusions = exclusionsApply(excludeHiddenFiles, files);
    QStringList arguments = sevenZipCreationSwitches(CompressionFormat::sevenZip, level, threadCount);
    arguments << ArchiveTools::SevenZip::lzma2Method();
    if (volumeSizeBytes) arguments << ArchiveTools::SevenZip::volumeSize(*volumeSizeBytes);
    if (exclusions) arguments += ArchiveTools::SevenZip::hiddenExclusions();
    const std::optional<QString> given = ArchiveTools::givenPassword(password);
    if (given)
        arguments << ArchiveTools::SevenZip::askPassword() << ArchiveTools::SevenZip::headerEncryptionOff();
    runSevenZipCreation(*sevenZip, arguments, exclusions, destinationURL, files, progressHandler, token,
                        given);
}

void CompressionService::compressSplitZip(const QStringList& files, const QString& destinationURL,
                                          CompressionLevel level, const QString& volumeSize,
                                          bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                          const CancellationToken& token) {
    runZip(
        zipArguments(level, ArchiveTools::Zip::split(volumeSize), destinationURL, files, excludeHiddenFiles),
        files, progressHandler, token);
}

void CompressionService::compressWorkspace(const CompressionWorkspace& workspace,
                                           const QString& destinationURL, CompressionFormat format,
                                           CompressionLevel level, const std::optional<QString>& password,
                                           int threadCount, bool excludeHiddenFiles,
                                           const ProgressHandler& progressHandler,
                                           const CancellationToken& token) {
    switch (format) {
        case CompressionFormat::zip:
            return compressZip(workspace.files, destinationURL, level, password, threadCount,
                               excludeHiddenFiles, progressHandler, token);
        case CompressionFormat::sevenZip:
            return compressSevenZip(workspace.files, destinationURL, level, password, threadCount,
                                    excludeHiddenFiles, std::nullopt, progressHandler, token);
        case CompressionFormat::rar:
            throw ArchiveError::dependencyMissing(QStringLiteral(
                u"RAR "
                u"创建格式受官方授权和闭源命令行组件限制，当前版本暂未接入压缩能力，后续开发会继续完善。"));
        case CompressionFormat::tarGzip:
            return compressTarGzip(workspace.files, destinationURL, excludeHiddenFiles, progressHandler,
                                   token);
    }
}
