// Compression from the compress page and from drops: one archive for all sources, or one per source.

#include "viewmodels/CompressViewModel.h"

#include "core/base/FileNameHelper.h"
#include "core/engine/SourceTrash.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchEngine.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString parentFolder(const QString& url) { return QFileInfo(url).absolutePath(); }

}  // namespace

CompressViewModel::CompressViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent), m_context(context) {}

void CompressViewModel::setSelectedFilesForCompression(const QStringList& value) {
    publish(this, m_selectedFilesForCompression, value);
}
void CompressViewModel::setCompressionPassword(const QString& value) {
    publish(this, m_compressionPassword, value);
}
void CompressViewModel::setSelectedCompressionFormat(CompressionFormat value) {
    publish(this, m_selectedCompressionFormat, value);
}
void CompressViewModel::setSelectedCompressionLevel(CompressionLevel value) {
    publish(this, m_selectedCompressionLevel, value);
}
void CompressViewModel::setEncryptedSevenZipConfirmationMessage(const std::optional<QString>& value) {
    publish(this, m_encryptedSevenZipConfirmationMessage, value,
            &CompressViewModel::encryptedSevenZipConfirmationMessageChanged);
}

QString CompressViewModel::destinationRoot(const QStringList& files) const {
    if (m_context.destinationURL()) return *m_context.destinationURL();
    if (!files.isEmpty()) return parentFolder(files.first());
    return QDir::homePath();
}

void CompressViewModel::selectCompressionFormat(CompressionFormat format) {
    if (format == CompressionFormat::rar) {
        m_context.setAlertMessage(CompressionFormats::rarCreationRefusal());
        m_context.setStatusMessage(QStringLiteral(u"RAR 压缩将在后续开发阶段接入。"), StatusKind::warning);
        return;
    }
    setSelectedCompressionFormat(format);
    m_context.endPageStatus();
}

void CompressViewModel::selectFilesForCompression() {
    m_context.choosePaths(this,
                          {.choosesFiles = true,
                           .choosesFolders = true,
                           .multipleSelection = true,
                           .purpose = QStringLiteral("sources"),
                           .currentItem = m_selectedFilesForCompression.value(0)},
                          [this](const QStringList& urls) { selectFilesForCompression(urls); });
}

void CompressViewModel::selectFilesForCompression(const QStringList& urls) {
    if (urls.isEmpty()) return;
    m_context.clearHandedOverArchives();
    setSelectedFilesForCompression(urls);
    m_context.setStatusMessage(QStringLiteral(u"已选择 %1 个项目，点击“立即压缩”开始。").arg(urls.size()));
}

// The banner keeps its last text: clearing it would leave an empty band where it stood.
void CompressViewModel::clearCompressionSelection() { setSelectedFilesForCompression({}); }

void CompressViewModel::compress(bool allowEncryptedSevenZip) {
    // The compatibility question comes before anything else, even before the empty-list check.
    if (!allowEncryptedSevenZip && !m_compressionPassword.isEmpty() &&
        m_selectedCompressionFormat == CompressionFormat::sevenZip) {
        setEncryptedSevenZipConfirmationMessage(
            QStringLiteral(u"7Z 压缩格式并加密的文件，如果对方没有安装 velmora 或兼容 7-Zip "
                           u"的解压工具，可能因系统兼容性问题无法正常打开。"
                           u"是否仍要继续压缩？"));
        m_context.setStatusMessage(QStringLiteral(u"加密 7Z 可能存在跨设备兼容性问题。"),
                                   StatusKind::warning);
        return;
    }
    if (m_selectedFilesForCompression.isEmpty()) {
        m_context.setAlertMessage(QStringLiteral(u"请先添加需要压缩的文件或文件夹。"));
        m_context.setStatusMessage(QStringLiteral(u"等待选择压缩项目。"), StatusKind::warning);
        return;
    }

    m_context.beginWork(QStringLiteral(u"正在压缩..."));
    // Taken now, so later edits on the page do not reach the run.
    const SourceCompression run{
        .sources = m_selectedFilesForCompression,
        .root = destinationRoot(m_selectedFilesForCompression),
        .format = m_selectedCompressionFormat,
        .level = m_selectedCompressionLevel,
        // A format without encryption gets no password, so none is stored for its archive.
        .password = m_compressionPassword.isEmpty() ||
                            !CompressionFormats::supportsEncryption(m_selectedCompressionFormat)
                        ? std::nullopt
                        : std::optional<QString>(m_compressionPassword),
        .excludeHiddenFiles = m_context.settings().ignoreHiddenFilesWhenCompressing,
        .separateArchives = m_context.settings().compressToSeparateFolder,
        .trashSources = m_context.settings().deleteSourceAfterCompress,
        .threadCount = m_context.effectiveThreadCount(),
    };
    const QString name = run.sources.size() == 1 ? FileNameHelper::lastPathComponent(run.sources.first())
                                                 : QStringLiteral(u"%1 个项目").arg(run.sources.size());
    const QList<QUuid> ids = m_context.tasks().open({{
        .name = name,
        .path = parentFolder(run.sources.first()),
        .targetPath = run.root,
        .sizedPaths = run.sources,
        .kind = ArchiveActivityKind::compress,
    }});

    WorkbenchEngine& engine = m_context.engine();
    m_context.tasks().start<OperationOutputs>(
        ids, ArchiveActivityKind::compress,
        [&engine, run](const CancellationToken& token, const ProgressHandler& progress) {
            return engine.compressSources(run, progress, token);
        },
        {
            .progressText = QStringLiteral(u"正在压缩 "),
            .progressed = [this](const QString& text) { m_context.setStatusMessage(text); },
            .succeeded = [this, id = ids.first(), password = run.password](
                             OperationOutputs& result) { compressionSucceeded(id, result, password); },
            .failed = [this](const QString& text) { m_context.endWork(text, StatusKind::error); },
            .stopped = [this] { m_context.endWork(QStringLiteral(u"任务已停止"), StatusKind::warning); },
        });
}

// The password and the record are saved before the status line is set, so it can say when they were
// not.
void CompressViewModel::compressionSucceeded(const QUuid& id, const OperationOutputs& result,
                                             const std::optional<QString>& password) {
    const QStringList& archives = result.outputs;
    QString notices = SourceTrash::untrashedNotice(result.untrashed);
    if (!archives.isEmpty()) {
        notices += OperationFailure::unsavedNotice(
            QStringLiteral(u"密码"), m_context.rememberPasswordIfNeeded(archives.first(), password));
    }
    m_context.tasks().complete(id, archives.isEmpty() ? QStringLiteral(u"处理完成") : archives.first());
    m_context.endWork(
        QStringLiteral(u"压缩完成：") +
            (archives.size() >= 2 ? QStringLiteral(u"%1 个压缩包").arg(archives.size()) : archives.value(0)) +
            SourceTrash::trashedNotice(result.trashed) + notices,
        notices.isEmpty() ? StatusKind::success : StatusKind::warning);
    if (!archives.isEmpty()) m_context.platform().revealInFileManager(archives);
    // Sources the run moved to the trash leave the list, so the next run does not fail on them; what
    // stayed (result.untrashed, hidden sources left out) is still there.
    QStringList remaining = m_selectedFilesForCompression;
    remaining.removeIf([](const QString& source) { return !QFileInfo::exists(source); });
    setSelectedFilesForCompression(remaining);
}
