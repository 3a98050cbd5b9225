// Turns the split-compress page's form into one workbench task: pre-flight checks, the output name
// settled against existing files, the engine run, and the clean-up after a cancellation.

#include "platform/ToolText.h"
#include "viewmodels/SplitCompressViewModel.h"

#include "core/engine/ArchiveError.h"
#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "core/state/WorkbenchStore.h"
#include "viewmodels/WorkbenchEngine.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// Tells a file that was already there when the run started from one the run wrote in its place.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 modifiedNanoseconds = 0;
    qint64 size = 0;

    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat status {};
    if (::lstat(ToolText::encodedName(path).constData(), &status) != 0) return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino,
                        qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
                        status.st_size};
}

}  // namespace

// Everything a run needs, taken when it starts.
struct SplitCompressViewModel::SplitCompressionRun {
    QStringList sources;
    QString outputDirectory;
    QString baseName;
    CompressionFormat format = CompressionFormat::sevenZip;
    CompressionLevel level = CompressionLevel::standard;
    std::optional<QString> password;
    int threadCount = 1;
    bool excludeHiddenFiles = true;
    bool splitEnabled = true;
    std::optional<qint64> volumeSize;
    bool overwriteExisting = false;
    bool validateAfterCompletion = true;
    bool notifyAfterCompletion = true;
    bool openAfterCompletion = true;
    ArchiveTaskMetadata metadata;
    QUuid id;
    // Files carrying a planned output name before the run began: the user's, kept by the clean-up
    // unless the run wrote over them.
    QHash<QString, std::optional<FileIdentity>> earlierOutputs;
};

void SplitCompressViewModel::validateSplitCompressionBeforeStart() const {
    if (m_splitCompressionItems.isEmpty()) throw SplitCompressionError::noInput();
    if (std::ranges::find(SplitCompressionPlanner::supportedCreationFormats(), m_splitCompressionFormat) ==
        SplitCompressionPlanner::supportedCreationFormats().end()) {
        throw SplitCompressionError::unsupportedFormat();
    }
    if (m_splitCompressionEnabled) {
        SplitCompressionPlanner::bytes(m_splitCompressionVolumeValue, m_splitCompressionVolumeUnit);
    }
    if (m_splitCompressionPasswordEnabled &&
        m_splitCompressionPassword != m_splitCompressionPasswordConfirmation) {
        throw SplitCompressionError::passwordMismatch();
    }
    if (m_splitCompressionEnabled && m_splitCompressionFormat == CompressionFormat::zip &&
        m_splitCompressionPasswordEnabled && !m_splitCompressionPassword.isEmpty()) {
        throw ArchiveError::compressFailed(
            QStringLiteral(u"当前 ZIP 分卷压缩暂不支持加密，请关闭密码或改用 7Z 分卷。"));
    }
    const std::optional<QString> folder = splitCompressionOutputDirectory();
    if (!folder || !QFileInfo::exists(*folder) || !QFileInfo(*folder).isWritable()) {
        throw SplitCompressionError::outputNotWritable();
    }
    for (const SplitCompressionSourceItem& item : m_splitCompressionItems) {
        const QFileInfo info(item.url);
        if (!info.exists()) throw SplitCompressionError::sourceUnavailable(info.fileName());
        if (!info.isReadable()) throw SplitCompressionError::sourceUnreadable(info.fileName());
    }
    const QStringList conflicts = SplitCompressionPlanner::outputConflictURLs(
        m_splitCompressionFormat, m_splitCompressionBaseName, *folder, m_splitCompressionEnabled);
    if (!conflicts.isEmpty() &&
        m_splitCompressionConflictStrategy == SplitCompressionConflictStrategy::cancel) {
        throw SplitCompressionError::existingOutput(QFileInfo(conflicts.first()).fileName());
    }
    const std::optional<qint64> free = m_context.platform().availableCapacityBytes(*folder);
    const qint64 required = SplitCompressionPlanner::estimatedRequiredSpaceBytes(
        splitCompressionOriginalSizeBytes(), splitCompressionPreview().estimatedCompressedBytes);
    if (free && *free < required) throw SplitCompressionError::insufficientDiskSpace();
}

// With automatic renaming, "Backup" becomes "Backup 1", "Backup 2", ... until no planned name clashes.
QString SplitCompressViewModel::settleSplitCompressionBaseName(const QString& baseName,
                                                               const QString& outputDirectory) {
    const auto clashes = [&](const QString& name) {
        return !SplitCompressionPlanner::outputConflictURLs(m_splitCompressionFormat, name, outputDirectory,
                                                            m_splitCompressionEnabled)
                    .isEmpty();
    };
    if (m_splitCompressionConflictStrategy != SplitCompressionConflictStrategy::autoRename ||
        !clashes(baseName)) {
        return baseName;
    }
    QString candidate;
    for (int number = 1;; ++number) {
        candidate = baseName + QLatin1Char(' ') + QString::number(number);
        if (!clashes(candidate)) break;
    }
    setSplitCompressionBaseName(candidate);
    return candidate;
}

// The page's choices as one run, with the record its task keeps; settles the base name.
SplitCompressViewModel::SplitCompressionRun SplitCompressViewModel::makeSplitCompressionRun() {
    SplitCompressionRun run;
    run.sources = splitCompressionSourceURLs();
    run.outputDirectory = *splitCompressionOutputDirectory();
    run.baseName = settleSplitCompressionBaseName(
        SplitCompressionPlanner::sanitizedBaseName(m_splitCompressionBaseName), run.outputDirectory);
    run.format = m_splitCompressionFormat;
    run.level = m_splitCompressionLevel;
    run.splitEnabled = m_splitCompressionEnabled;
    run.volumeSize = m_splitCompressionEnabled ? splitCompressionVolumeSizeBytes() : std::nullopt;
    run.overwriteExisting = m_splitCompressionConflictStrategy == SplitCompressionConflictStrategy::overwrite;
    run.validateAfterCompletion = m_splitCompressionValidateAfterCompletion;
    run.notifyAfterCompletion = m_splitCompressionNotifyAfterCompletion;
    run.openAfterCompletion = m_splitCompressionOpenAfterCompletion;
    run.excludeHiddenFiles = m_context.settings().ignoreHiddenFilesWhenCompressing;
    if (m_splitCompressionPasswordEnabled && !m_splitCompressionPassword.isEmpty()) {
        run.password = m_splitCompressionPassword;
    }
    for (const QString& path : SplitCompressionPlanner::outputConflictURLs(
             run.format, run.baseName, run.outputDirectory, run.splitEnabled)) {
        run.earlierOutputs.insert(path, identityOf(path));
    }

    const int partCount = splitCompressionPreview().estimatedPartCount;
    run.metadata = {
        .archiveFormat = CompressionFormats::displayName(run.format),
        .primaryPartPath = QDir(run.outputDirectory)
                               .filePath(SplitCompressionPlanner::primaryOutputFileName(
                                   run.format, run.baseName, run.splitEnabled)),
        .totalPartCount = partCount,
        .destinationPath = run.outputDirectory,
        .validationStatus =
            run.validateAfterCompletion ? QStringLiteral(u"等待校验") : QStringLiteral(u"未开启"),
        .sourcePaths = run.sources,
        .outputBaseName = run.baseName,
        .splitSizeBytes = run.volumeSize,
        .estimatedPartCount = partCount,
        .compressionLevel = CompressionLevels::displayName(run.level),
        .encryptionEnabled = m_splitCompressionPasswordEnabled,
        .validationEnabled = run.validateAfterCompletion,
    };
    return run;
}

void SplitCompressViewModel::startSplitCompression() {
    try {
        validateSplitCompressionBeforeStart();
    } catch (const VelmoraError& error) {
        m_context.setAlertMessage(error.message());
        m_context.setStatusMessage(QStringLiteral(u"分卷压缩无法开始。"), StatusKind::error);
        return;
    }

    SplitCompressionRun run = makeSplitCompressionRun();
    m_context.beginWork(run.splitEnabled ? QStringLiteral(u"正在创建分卷压缩包...")
                                         : QStringLiteral(u"正在创建压缩包..."));
    run.threadCount = m_context.effectiveThreadCount();
    const QList<QUuid> ids = m_context.tasks().open({{
        .name = run.baseName,
        .path = QFileInfo(run.sources.first()).absolutePath(),
        .targetPath = run.outputDirectory,
        .sizeBytes = splitCompressionOriginalSizeBytes(),
        .kind = ArchiveActivityKind::splitCompression,
        .metadata = run.metadata,
    }});
    run.id = ids.first();

    WorkbenchEngine& engine = m_context.engine();
    m_context.tasks().start<SplitCompressionResult>(
        ids, ArchiveActivityKind::splitCompression,
        [&engine, run](const CancellationToken& token, const ProgressHandler& progress) {
            return engine.compressSplit({.files = run.sources,
                                         .destinationDirectoryURL = run.outputDirectory,
                                         .baseName = run.baseName,
                                         .format = run.format,
                                         .level = run.level,
                                         .password = run.password,
                                         .threadCount = run.threadCount,
                                         .excludeHiddenFiles = run.excludeHiddenFiles,
                                         .splitEnabled = run.splitEnabled,
                                         .splitSizeBytes = run.volumeSize,
                                         .overwriteExisting = run.overwriteExisting,
                                         .validateAfterCompletion = run.validateAfterCompletion},
                                        progress, token);
        },
        {
            .progressText = QStringLiteral(u"正在创建分卷压缩包 "),
            .progressed = [this](const QString& text) { m_context.setStatusMessage(text); },
            .succeeded = [this,
                          run](SplitCompressionResult& result) { splitCompressionSucceeded(run, result); },
            .failed = [this](const QString& text) { m_context.endWork(text, StatusKind::error); },
            .stopped =
                [this, run] {
                    m_context.setIsWorking(false);
                    cleanupSplitCompressionOutputs(run);
                    m_context.setStatusMessage(QStringLiteral(u"任务已停止"), StatusKind::warning);
                },
        });
}

void SplitCompressViewModel::splitCompressionSucceeded(const SplitCompressionRun& run,
                                                       const SplitCompressionResult& result) {
    const QStringList& outputs = result.outputURLs;
    ArchiveTaskMetadata metadata = run.metadata;
    metadata.outputFilePaths = outputs;
    metadata.totalPartCount = int(outputs.size());
    metadata.actualPartCount = int(outputs.size());
    metadata.validationStatus = !run.validateAfterCompletion ? QStringLiteral(u"未开启")
                                : result.validationPassed    ? QStringLiteral(u"校验通过")
                                                             : QStringLiteral(u"未校验");
    metadata.primaryPartPath = outputs.isEmpty() ? std::nullopt : std::optional<QString>(outputs.first());
    m_context.workbenchStore().updateTaskMetadata(run.id, metadata);
    m_context.tasks().complete(run.id, outputs.isEmpty() ? QStringLiteral(u"处理完成") : outputs.first());
    if (run.notifyAfterCompletion) {
        m_context.workbenchStore().addNotification(
            QStringLiteral(u"分卷压缩完成"),
            run.baseName + QStringLiteral(u"：%1 个文件").arg(outputs.size()));
    }
    if (run.openAfterCompletion && !outputs.isEmpty()) m_context.platform().revealInFileManager(outputs);
    m_context.endWork(QStringLiteral(u"分卷压缩完成：%1 个文件").arg(outputs.size()), StatusKind::success);
}

// Removes what a stopped run wrote: the files that carry a planned name of this run (its name and
// format as they were at the start) and that were not there, unchanged, before it began.
void SplitCompressViewModel::cleanupSplitCompressionOutputs(const SplitCompressionRun& run) {
    const QStringList planned = SplitCompressionPlanner::outputConflictURLs(
        run.format, run.baseName, run.outputDirectory, run.splitEnabled);
    for (const QString& path : planned) {
        const auto earlier = run.earlierOutputs.constFind(path);
        if (earlier != run.earlierOutputs.constEnd() && *earlier == identityOf(path)) continue;
        QFile::remove(path);
    }
}
