#include "core/engine/CompressionService.h"

#include "core/base/FileNameHelper.h"
#include "core/base/InputItem.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/CompressionOutputs.h"
#include "core/engine/CompressionStaging.h"
#include "core/engine/CompressionTarget.h"
#include "core/engine/ExtractionSteps.h"
#include "core/engine/InfoZipWords.h"
#include "core/engine/SevenZipProgress.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/SourceTrash.h"
#include "core/engine/TarWords.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFailureLines.h"
#include "core/engine/ToolFailureText.h"
#include "core/engine/ToolFallback.h"
#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

// The input the run's program found missing, as it names it: 7-Zip "name : errno=2 : No such file or
// directory", tar "/usr/bin/tar: name: Cannot stat: No such file or directory", zip "zip warning: name not
// matched: name". Nothing for a result no driver made.
std::optional<QString> missingInput(const ProcessResult& result) {
    const auto pattern = [](QLatin1String words) {
        return QRegularExpression(QStringLiteral("^(?:") + words + QStringLiteral(")$"),
                                  QRegularExpression::MultilineOption);
    };
    static const QRegularExpression sevenZip = pattern(SevenZipWords::kMissingInput);
    static const QRegularExpression tar = pattern(TarWords::kMissingInput);
    static const QRegularExpression zip = pattern(InfoZipWords::kNameNotMatched);
    if (!result.program) return std::nullopt;
    const QRegularExpression* missing = nullptr;
    switch (*result.program) {
        case ToolProgram::sevenZip:
            missing = &sevenZip;
            break;
        case ToolProgram::tar:
            missing = &tar;
            break;
        case ToolProgram::infoZip:
            missing = &zip;
            break;
        case ToolProgram::unrar:
        case ToolProgram::zipReader:  // neither makes archives
            return std::nullopt;
    }
    const QRegularExpressionMatch match = missing->match(ToolFailureLines::combinedText(result));
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1);
}

// Hidden entries inside folders are left out by the tool's switches when the items are used in place; a
// staged copy holds none.
bool toolExcludes(const CompressionWorkspace& workspace, bool excludeHiddenFiles) {
    return excludeHiddenFiles && !workspace.stagingRootURL;
}

bool exclusionsApply(bool excludeHiddenFiles, const QStringList& files) {
    return excludeHiddenFiles && CompressionStaging::containsDirectory(files);
}

// 7-Zip writes a ZIP or 7Z archive of the inputs, named from their common folder, with its percentages
// reported as progress.
void createWithSevenZip(const SevenZipTool& sevenZip, const QString& destinationURL, const QStringList& files,
                        SevenZipTool::Creation creation, bool excludeHiddenFiles,
                        const std::optional<QString>& password, const ProgressHandler& progressHandler,
                        const CancellationToken& token) {
    creation.excludeHidden = exclusionsApply(excludeHiddenFiles, files);
    const ProcessResult result = sevenZip.create(
        destinationURL, namesOf(files), CompressionStaging::commonParent(files), creation, password,
        SevenZipProgress::makeSevenZipProgressOutputHandler(progressHandler), token);
    if (result.status != 0) {
        CompressionService::throwCompressionError(
            result, ToolFailureText::compressingToolFailed(ToolFallback::Program::sevenZip),
            {destinationURL});
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
    if (InputItem::stateOf(workURL) == InputItem::State::missing)
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的压缩包。"));
    return {workURL};
}

// The name a set is known by, which it takes last: the first 7Z volume, the ZIP main volume.
QString setName(const QString& primaryName, CompressionFormat format, bool splitEnabled) {
    return splitEnabled && format == CompressionFormat::sevenZip ? primaryName + QStringLiteral(".001")
                                                                 : primaryName;
}
// Runs the tool's work for an archive in folder: a full disk or a read-only file system it met is the
// folder's, and named so.
template <typename Work>
void writingInto(const QString& folder, const Work& work) {
    try {
        work();
    } catch (const ArchiveError& error) {
        throw ExtractionSteps::atDestination(error, folder);
    }
}

}  // namespace

CompressionService::CompressionService(ArchivePrograms programs) : m_programs(std::move(programs)) {}

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
    const QString workURL = target.workURL(FileNameHelper::lastPathComponent(destinationURL));
    writingInto(folder, [&] {
        compressWorkspace(workspace, workURL, format, level, password, threadCount,
                          toolExcludes(workspace, excludeHiddenFiles), progressHandler, token);
    });
    token.throwIfCancelled();
    if (InputItem::stateOf(workURL) == InputItem::State::missing)
        throw ArchiveError::compressFailed(QStringLiteral(u"未找到生成的压缩包。"));
    return target.commit({workURL}, token).first();
}

SplitCompressionResult CompressionService::compressSplit(const SplitCompressionRequest& request,
                                                         const ProgressHandler& progressHandler,
                                                         const CancellationToken& token) {
    const CompressionFormat format = request.format;
    const bool splitEnabled = request.splitEnabled;
    const QStringList inputs =
        request.excludeHiddenFiles ? CompressionStaging::withoutHiddenInputs(request.files) : request.files;
    if (inputs.isEmpty()) throw ArchiveError::noInputFiles();
    if (format != CompressionFormat::zip && format != CompressionFormat::sevenZip) {
        throw SplitCompressionError::unsupportedFormat();
    }
    if (splitEnabled && (!request.splitSizeBytes || *request.splitSizeBytes < 1))
        throw SplitCompressionError::invalidVolumeSize();
    // A split ZIP that would be refused is refused before earlier outputs are deleted.
    const bool splitZip = splitEnabled && format == CompressionFormat::zip;
    std::optional<QString> zipVolumeSize;
    if (splitZip) {
        if (ArchiveTools::givenPassword(request.password)) {
            throw ArchiveError::compressFailed(
                QStringLiteral(u"当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。"));
        }
        zipVolumeSize = ArchiveTools::Zip::volumeSize(*request.splitSizeBytes);
    }
    checkInputsExist(inputs);
    const QString folder = QDir::cleanPath(request.destinationDirectoryURL);
    ExtractionSteps::createFolder(folder);
    const QString name = SplitCompressionPlanner::sanitizedBaseName(request.baseName);
    handleExistingOutputs(format, name, folder, splitEnabled, request.overwriteExisting);

    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    const CompressionWorkspace workspace = CompressionStaging::prepareCompressionWorkspace(
        inputs, request.excludeHiddenFiles, token, folder, journal.get());
    const StagingRemoval removal(workspace);
    const QString primaryName = name + QLatin1Char('.') + CompressionFormats::fileExtension(format);
    CompressionTarget target(folder + QLatin1Char('/') + setName(primaryName, format, splitEnabled),
                             CompressionFormats::fileExtension(format), CompressionTarget::WhenTaken::fail,
                             journal.get());
    const QString workURL = target.workURL(primaryName);
    const bool excludeHidden = toolExcludes(workspace, request.excludeHiddenFiles);
    writingInto(folder, [&] {
        if (splitZip) {
            compressPlainZip(workspace.files, workURL, request.level, zipVolumeSize, excludeHidden,
                             progressHandler, token);
        } else if (format == CompressionFormat::zip) {
            compressZip(workspace.files, workURL, request.level, request.password, request.threadCount,
                        excludeHidden, progressHandler, token);
        } else {
            compressSevenZip(workspace.files, workURL, request.level, request.password, request.threadCount,
                             excludeHidden, splitEnabled ? request.splitSizeBytes : std::nullopt,
                             progressHandler, token);
        }
    });
    token.throwIfCancelled();

    const QStringList written = collectOutputs(format, target.workFolder(), name, workURL, splitEnabled);
    // Tested before it gets its name: a set that fails its test is not left behind as if it were done.
    const bool validated =
        request.validateAfterCompletion && testArchive(written.first(), request.password, token);
    return {target.commit(written, token), validated};
}

void CompressionService::checkInputsExist(const QStringList& files) {
    if (files.isEmpty()) throw ArchiveError::noInputFiles();
    for (const QString& file : files) ExtractionSteps::requireItem(file);
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
                                     const ProgressHandler& progressHandler,
                                     const CancellationToken& token) const {
    const std::optional<QString> given = ArchiveTools::givenPassword(password);
    const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (given && (!sevenZip || !ArchiveTools::SevenZip::takesZipPassword(*given))) {
        report(progressHandler, kBeforeRun);
        compressMacCompatibleEncryptedZip(files, destinationURL, level, *given, excludeHiddenFiles, token);
        report(progressHandler, kAfterRun);
        return;
    }
    if (!sevenZip) {
        compressPlainZip(files, destinationURL, level, std::nullopt, excludeHiddenFiles, progressHandler,
                         token);
        return;
    }
    createWithSevenZip(*sevenZip, destinationURL, files,
                       {.format = CompressionFormat::zip,
                        .level = level,
                        .threadCount = threadCount,
                        .volumeSizeBytes = std::nullopt},
                       excludeHiddenFiles, given, progressHandler, token);
}

void CompressionService::compressMacCompatibleEncryptedZip(const QStringList& files,
                                                           const QString& destinationURL,
                                                           CompressionLevel level, const QString& password,
                                                           bool excludeHiddenFiles,
                                                           const CancellationToken& token) const {
    const ProcessResult result =
        infoZip().create(destinationURL, namesOf(files), CompressionStaging::commonParent(files),
                         {level, exclusionsApply(excludeHiddenFiles, files), std::nullopt}, password, token);
    if (result.status != 0) {
        throwCompressionError(result, ToolFailureText::compressingToolFailed(ToolFallback::Program::infoZip),
                              {destinationURL});
    }
}

void CompressionService::compressTarGzip(const QStringList& files, const QString& destinationURL,
                                         bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                         const CancellationToken& token) const {
    const std::optional<TarTool> tar = m_programs.tarTool();
    if (!tar) {
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"创建 TAR.GZ 压缩包需要 tar 工具")));
    }
    report(progressHandler, kBeforeRun);
    const ProcessResult result =
        tar->createGzip(destinationURL, namesOf(files), CompressionStaging::commonParent(files),
                        exclusionsApply(excludeHiddenFiles, files), token);
    report(progressHandler, kAfterRun);
    if (result.status != 0) {
        throwCompressionError(result, ToolFailureText::compressingToolFailed(ToolFallback::Program::tar),
                              {destinationURL});
    }
}

bool CompressionService::testArchive(const QString& primaryPartURL, const std::optional<QString>& password,
                                     const CancellationToken& token) const {
    const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip) {
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"校验压缩包需要 7-Zip 工具")));
    }
    // 7-Zip tests every archive it opens.
    const ProcessResult result = *sevenZip->test(primaryPartURL, password, {}, token);
    if (result.status != 0)
        throwCompressionError(result, QStringLiteral(u"分卷压缩包校验失败。"), {primaryPartURL});
    return true;
}

void CompressionService::throwCompressionError(const ProcessResult& result, const QString& fallback,
                                               const QStringList& echoedNames) {
    if (std::optional<ArchiveError> named = ToolFailure::namedFailure(result, echoedNames)) throw *named;
    if (std::optional<QString> input = missingInput(result)) throw ArchiveError::fileNotFound(*input);
    throw ArchiveError::compressFailed(ToolFailureText::withErrorLine(fallback, result));
}

void CompressionService::compressSevenZip(const QStringList& files, const QString& destinationURL,
                                          CompressionLevel level, const std::optional<QString>& password,
                                          int threadCount, bool excludeHiddenFiles,
                                          std::optional<qint64> volumeSizeBytes,
                                          const ProgressHandler& progressHandler,
                                          const CancellationToken& token) const {
    const std::optional<SevenZipTool> sevenZip = m_programs.sevenZipTool();
    if (!sevenZip) {
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"创建 7Z 压缩包需要 7-Zip 工具")));
    }
    createWithSevenZip(*sevenZip, destinationURL, files,
                       {.format = CompressionFormat::sevenZip,
                        .level = level,
                        .threadCount = threadCount,
                        .volumeSizeBytes = volumeSizeBytes},
                       excludeHiddenFiles, password, progressHandler, token);
}

void CompressionService::compressPlainZip(const QStringList& files, const QString& destinationURL,
                                          CompressionLevel level, const std::optional<QString>& volumeSize,
                                          bool excludeHiddenFiles, const ProgressHandler& progressHandler,
                                          const CancellationToken& token) const {
    const InfoZipTool zip = infoZip();
    report(progressHandler, kBeforeRun);
    const ProcessResult result =
        zip.create(destinationURL, namesOf(files), CompressionStaging::commonParent(files),
                   {level, exclusionsApply(excludeHiddenFiles, files), volumeSize}, std::nullopt, token);
    report(progressHandler, kAfterRun);
    if (result.status != 0) {
        throwCompressionError(result, ToolFailureText::compressingToolFailed(ToolFallback::Program::infoZip),
                              {destinationURL});
    }
}

InfoZipTool CompressionService::infoZip() const {
    const std::optional<InfoZipTool> tool = m_programs.infoZipTool();
    if (!tool) {
        throw ArchiveError::dependencyMissing(
            ArchiveError::withReinstallAdvice(QStringLiteral(u"创建 ZIP 压缩包需要 zip 工具")));
    }
    return *tool;
}

void CompressionService::compressWorkspace(const CompressionWorkspace& workspace,
                                           const QString& destinationURL, CompressionFormat format,
                                           CompressionLevel level, const std::optional<QString>& password,
                                           int threadCount, bool excludeHiddenFiles,
                                           const ProgressHandler& progressHandler,
                                           const CancellationToken& token) const {
    switch (format) {
        case CompressionFormat::zip:
            return compressZip(workspace.files, destinationURL, level, password, threadCount,
                               excludeHiddenFiles, progressHandler, token);
        case CompressionFormat::sevenZip:
            return compressSevenZip(workspace.files, destinationURL, level, password, threadCount,
                                    excludeHiddenFiles, std::nullopt, progressHandler, token);
        case CompressionFormat::rar:
            throw ArchiveError::dependencyMissing(CompressionFormats::rarCreationRefusal());
        case CompressionFormat::tarGzip:
            return compressTarGzip(workspace.files, destinationURL, excludeHiddenFiles, progressHandler,
                                   token);
    }
}
