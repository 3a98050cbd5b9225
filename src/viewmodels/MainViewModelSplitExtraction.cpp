// The split-extract page: scan the folder of a chosen volume for its set, show the outcome, and
// extract a complete set through the ordinary extraction.

#include "viewmodels/MainViewModel.h"

#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveExtractionCoordinator.h"
#include "core/split/SplitArchiveScanner.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QFileInfo>

void MainViewModel::selectSplitArchiveForExtraction() {
    choosePaths({.canChooseFiles = true,
                 .canChooseDirectories = true,
                 .prompt = QStringLiteral(u"选择文件"),
                 .purpose = QStringLiteral("archives"),
                 .currentItem = m_selectedArchiveURL.value_or(QString())},
                [this](const QStringList& urls) { selectSplitArchiveForExtraction(urls.first()); });
}

void MainViewModel::selectSplitArchiveForExtraction(QString url) {
    // A newer choice supersedes a scan under way, also when the choice is refused.
    m_splitArchiveScanGeneration++;
    if (QFileInfo(url).isDir()) {
        const QString message = QStringLiteral(u"请选择一个分卷文件，而不是文件夹。");
        setSplitArchiveState(SplitArchivePageState::failed(message));
        setAlertMessage(message);
        return;
    }
    setSplitArchiveDescriptor(std::nullopt);
    setSplitArchiveState(SplitArchivePageState::scanning());
    setStatusMessage(QStringLiteral(u"正在扫描同目录中的关联分卷..."));

    const quint64 generation = m_splitArchiveScanGeneration;
    const std::optional<QString> destinationRoot = m_destinationURL;
    m_background.run([url, destinationRoot] { return SplitArchiveScanner().scan(url, destinationRoot); },
                     [this, generation, url](Outcome<SplitArchiveDescriptor>& outcome) {
                         splitArchiveScanFinished(generation, url, outcome);
                     });
}

void MainViewModel::splitArchiveScanFinished(quint64 generation, const QString& url,
                                             Outcome<SplitArchiveDescriptor>& outcome) {
    if (generation != m_splitArchiveScanGeneration) return;
    try {
        const SplitArchiveDescriptor& descriptor = outcome.value();
        setSplitArchiveDescriptor(descriptor);
        const bool complete = descriptor.validationState == SplitArchiveValidationState::complete;
        setSplitArchiveState(complete ? SplitArchivePageState::recognized()
                                      : SplitArchivePageState::incomplete());
        setSelectedArchiveURL(descriptor.primaryPartURL);
        setSelectedArchivesForExtraction(descriptor.primaryPartURL ? QStringList{*descriptor.primaryPartURL}
                                                                   : QStringList{});
        setStatusMessage(descriptor.validationMessage.value_or(
                             QStringLiteral(u"已识别到 %1 个分卷。").arg(descriptor.foundPartCount())),
                         complete ? StatusKind::success : StatusKind::error);
    } catch (const SplitArchiveError& error) {
        if (error.kind() == SplitArchiveError::Kind::notSplitArchive) {
            setSplitArchiveState(SplitArchivePageState::regularArchiveDetected(url));
            setAlertMessage(QStringLiteral(u"该文件不是分卷压缩包，是否前往普通解压？"));
            setStatusMessage(error.message(), StatusKind::warning);
        } else {
            setSplitArchiveState(SplitArchivePageState::failed(error.message()));
            setAlertMessage(error.message());
            setStatusMessage(error.message(), StatusKind::error);
        }
    } catch (const VelmoraError& error) {
        setSplitArchiveState(SplitArchivePageState::failed(error.message()));
        setAlertMessage(error.message());
        setStatusMessage(error.message(), StatusKind::error);
    }
}

void MainViewModel::resetSplitArchiveState(bool quiet) {
    m_splitArchiveScanGeneration++;
    setSplitArchiveDescriptor(std::nullopt);
    setSplitArchiveState(SplitArchivePageState::initial());
    if (!quiet) setStatusMessage(std::nullopt);
}

bool MainViewModel::splitArchiveStartButtonEnabled() const {
    return m_splitArchiveDescriptor &&
           m_splitArchiveDescriptor->validationState == SplitArchiveValidationState::complete && !m_isWorking;
}

void MainViewModel::extractSelectedSplitArchive(bool openAfterCompletion, bool notifyAfterCompletion) {
    if (!m_splitArchiveDescriptor) {
        setAlertMessage(QStringLiteral(u"请先选择分卷压缩包。"));
        return;
    }
    const SplitArchiveDescriptor descriptor = *m_splitArchiveDescriptor;
    if (descriptor.validationState != SplitArchiveValidationState::complete || !descriptor.primaryPartURL) {
        setAlertMessage(
            descriptor.validationMessage.value_or(QStringLiteral(u"无法开始解压，请先补充分卷文件后重试。")));
        return;
    }
    const QString root = m_destinationURL.value_or(descriptor.directoryURL);
    if (!QFileInfo(root).isWritable()) {
        setAlertMessage(QStringLiteral(u"输出目录不可写：%1。请选择其他解压位置。").arg(root));
        selectSplitArchiveForExtraction(descriptor.originalURL);
        return;
    }
    m_droppedArchiveQueue.clear();
    setSelectedArchiveURL(descriptor.primaryPartURL);
    setSelectedArchivesForExtraction({*descriptor.primaryPartURL});
    extract({
        .destinationOverrideURL = root,
        .kindOverride = ArchiveActivityKind::splitExtraction,
        .taskNameOverride = descriptor.archiveName,
        .taskMetadata = SplitArchiveExtractionCoordinator::metadata(descriptor, root),
        .successMessagePrefix = QStringLiteral(u"分卷解压完成"),
        .failureMessage = descriptor.validationMessage.value_or(QStringLiteral(u"分卷解压失败")),
        .openAfterCompletion = openAfterCompletion,
        .notifyAfterCompletion = notifyAfterCompletion,
    });
}

void MainViewModel::goToRegularExtractFromSplitArchive() {
    if (m_splitArchiveState.kind() != SplitArchivePageState::Case::regularArchiveDetected) return;
    const QString url = m_splitArchiveState.payload();
    setSelectedSection(WorkbenchSection::extract);
    selectArchivesForExtraction({url});
}

QString MainViewModel::splitArchiveDefaultDestinationDescription() const {
    if (m_destinationURL) return *m_destinationURL;
    if (m_splitArchiveDescriptor) return m_splitArchiveDescriptor->directoryURL;
    return destinationDescription();
}

void MainViewModel::revealSplitArchivePart(const SplitArchivePart& part) {
    // A missing volume has no file to show.
    if (part.url) m_platform.revealInFileManager({*part.url});
}
