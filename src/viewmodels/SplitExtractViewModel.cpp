// The split-extract page: scan the folder of a chosen volume for its set, show the outcome, and
// extract a complete set through the ordinary extraction.

#include "viewmodels/SplitExtractViewModel.h"

#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveExtractionCoordinator.h"
#include "core/split/SplitArchiveScanner.h"
#include "viewmodels/ExtractViewModel.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchContext.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QFileInfo>

SplitExtractViewModel::SplitExtractViewModel(WorkbenchContext& context, ExtractViewModel& extract,
                                             QObject* parent)
    : QObject(parent), m_context(context), m_extract(extract) {
    connect(&m_extract, &ExtractViewModel::selectionReplaced, this, [this] { resetSplitArchiveState(true); });
    // A set that went to the trash is gone: its scan no longer shows, the run's outcome still does.
    connect(&m_extract, &ExtractViewModel::archivesTrashed, this, [this](const QStringList& trashed) {
        if (m_splitArchiveDescriptor && m_splitArchiveDescriptor->primaryPartURL &&
            trashed.contains(*m_splitArchiveDescriptor->primaryPartURL))
            resetSplitArchiveState(true);
    });
}

void SplitExtractViewModel::setSplitArchiveState(const SplitArchivePageState& value) {
    publish(this, m_splitArchiveState, value, &SplitExtractViewModel::splitArchiveStateChanged);
}
void SplitExtractViewModel::setSplitArchiveDescriptor(const std::optional<SplitArchiveDescriptor>& value) {
    publish(this, m_splitArchiveDescriptor, value, &SplitExtractViewModel::splitArchiveDescriptorChanged);
}

void SplitExtractViewModel::takeDroppedVolumes(const QStringList& urls) {
    if (urls.size() == 1) {
        selectSplitArchiveForExtraction(urls.first());
    } else {
        m_context.setAlertMessage(QStringLiteral(u"请只拖入一个分卷文件。"));
    }
}

void SplitExtractViewModel::clearSelection() { m_extract.clearExtractionSelection(); }

void SplitExtractViewModel::selectSplitArchiveForExtraction() {
    // Files only, as the extract page's chooser: a folder typed or opened there is entered, not chosen.
    m_context.choosePaths(this,
                          {.choosesFiles = true,
                           .prompt = QStringLiteral(u"选择文件"),
                           .purpose = QStringLiteral("archives"),
                           .currentItem = m_extract.selectedArchiveURL().value_or(QString())},
                          [this](const QStringList& urls) { selectSplitArchiveForExtraction(urls.first()); });
}

void SplitExtractViewModel::selectSplitArchiveForExtraction(QString url) {
    // A newer choice supersedes a scan under way, also when the choice is refused.
    m_splitArchiveScanGeneration++;
    if (QFileInfo(url).isDir()) {
        showScanFailure(QStringLiteral(u"请选择一个分卷文件，而不是文件夹。"));
        return;
    }
    setSplitArchiveDescriptor(std::nullopt);
    setSplitArchiveState(SplitArchivePageState::scanning());
    m_context.setStatusMessage(QStringLiteral(u"正在扫描同目录中的关联分卷..."));

    const quint64 generation = m_splitArchiveScanGeneration;
    const std::optional<QString> destinationRoot = m_context.destinationURL();
    m_context.background().run(
        [url, destinationRoot] { return SplitArchiveScanner().scan(url, destinationRoot); },
        [this, generation, url](Outcome<SplitArchiveDescriptor>& outcome) {
            splitArchiveScanFinished(generation, url, outcome);
        });
}

void SplitExtractViewModel::splitArchiveScanFinished(quint64 generation, const QString& url,
                                                     Outcome<SplitArchiveDescriptor>& outcome) {
    if (generation != m_splitArchiveScanGeneration) return;
    try {
        const SplitArchiveDescriptor& descriptor = outcome.value();
        setSplitArchiveDescriptor(descriptor);
        const bool complete = descriptor.validationState == SplitArchiveValidationState::complete;
        setSplitArchiveState(complete ? SplitArchivePageState::recognized()
                                      : SplitArchivePageState::incomplete());
        m_extract.setSelectedArchiveURL(descriptor.primaryPartURL);
        m_extract.setSelectedArchivesForExtraction(
            descriptor.primaryPartURL ? QStringList{*descriptor.primaryPartURL} : QStringList{});
        m_context.setStatusMessage(
            descriptor.validationMessage.value_or(
                QStringLiteral(u"已识别到 %1 个分卷。").arg(descriptor.foundPartCount())),
            complete ? StatusKind::success : StatusKind::error);
    } catch (const SplitArchiveError& error) {
        if (error.kind() == SplitArchiveError::Kind::notSplitArchive) {
            setSplitArchiveState(SplitArchivePageState::regularArchiveDetected(url));
            m_context.setAlertMessage(QStringLiteral(u"该文件不是分卷压缩包，是否前往普通解压？"));
            m_context.setStatusMessage(error.message(), StatusKind::warning);
        } else {
            showScanFailure(error.message());
        }
    } catch (const VelmoraError& error) {
        showScanFailure(error.message());
    }
}

void SplitExtractViewModel::showScanFailure(const QString& message) {
    setSplitArchiveState(SplitArchivePageState::failed(message));
    m_context.setAlertMessage(message);
    m_context.setStatusMessage(message, StatusKind::error);
}

void SplitExtractViewModel::resetSplitArchiveState(bool quiet) {
    m_splitArchiveScanGeneration++;
    setSplitArchiveDescriptor(std::nullopt);
    setSplitArchiveState(SplitArchivePageState::initial());
    if (!quiet) m_context.setStatusMessage(std::nullopt);
}

void SplitExtractViewModel::selectDestination() {
    m_context.chooseDestination([this] {
        if (m_splitArchiveDescriptor) selectSplitArchiveForExtraction(m_splitArchiveDescriptor->originalURL);
    });
}

bool SplitExtractViewModel::splitArchiveStartButtonEnabled() const {
    return m_splitArchiveDescriptor &&
           m_splitArchiveDescriptor->validationState == SplitArchiveValidationState::complete &&
           !m_context.isWorking();
}

void SplitExtractViewModel::extractSelectedSplitArchive(bool openAfterCompletion,
                                                        bool notifyAfterCompletion) {
    if (!m_splitArchiveDescriptor) {
        m_context.setAlertMessage(QStringLiteral(u"请先选择分卷压缩包。"));
        return;
    }
    const SplitArchiveDescriptor descriptor = *m_splitArchiveDescriptor;
    if (descriptor.validationState != SplitArchiveValidationState::complete || !descriptor.primaryPartURL) {
        m_context.setAlertMessage(
            descriptor.validationMessage.value_or(QStringLiteral(u"无法开始解压，请先补充分卷文件后重试。")));
        return;
    }
    const QString root = m_context.destinationURL().value_or(descriptor.directoryURL);
    if (!QFileInfo(root).isWritable()) {
        m_context.setAlertMessage(QStringLiteral(u"输出目录不可写：%1。请选择其他解压位置。").arg(root));
        selectSplitArchiveForExtraction(descriptor.originalURL);
        return;
    }
    m_context.clearHandedOverArchives();
    m_extract.setSelectedArchiveURL(descriptor.primaryPartURL);
    m_extract.setSelectedArchivesForExtraction({*descriptor.primaryPartURL});
    m_extract.extract({
        .destinationOverrideURL = root,
        .kindOverride = ArchiveActivityKind::splitExtraction,
        .taskNameOverride = descriptor.archiveName,
        .taskMetadata = SplitArchiveExtractionCoordinator::metadata(descriptor, root),
        .successMessagePrefix = QStringLiteral(u"分卷解压完成"),
        .openAfterCompletion = openAfterCompletion,
        .notifyAfterCompletion = notifyAfterCompletion,
    });
}

void SplitExtractViewModel::goToRegularExtractFromSplitArchive() {
    if (m_splitArchiveState.kind() != SplitArchivePageState::Case::regularArchiveDetected) return;
    const QString url = m_splitArchiveState.payload();
    m_context.setSelectedSection(WorkbenchSection::extract);
    m_extract.selectArchivesForExtraction({url});
}

QString SplitExtractViewModel::splitArchiveDefaultDestinationDescription() const {
    if (m_context.destinationURL()) return *m_context.destinationURL();
    if (m_splitArchiveDescriptor) return m_splitArchiveDescriptor->directoryURL;
    return m_context.destinationDescription();
}

void SplitExtractViewModel::revealSplitArchivePart(const SplitArchivePart& part) {
    // A missing volume has no file to show.
    if (part.url) m_context.platform().revealInFileManager({*part.url});
}
