#include "viewmodels/HomeViewModel.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/CompressViewModel.h"
#include "viewmodels/ExtractViewModel.h"
#include "viewmodels/WorkbenchContext.h"

HomeViewModel::HomeViewModel(WorkbenchContext& context, CompressViewModel& compress,
                             ExtractViewModel& extract, QObject* parent)
    : QObject(parent), m_context(context), m_compress(compress), m_extract(extract) {
    connect(&context.workbenchStore(), &WorkbenchStore::historyChanged, this,
            &HomeViewModel::recentHistoryChanged);
}

void HomeViewModel::handleDropped(const QStringList& urls) {
    if (urls.isEmpty()) return;
    if (ExtractViewModel::allCountAsArchives(urls)) {
        m_extract.handOver(urls);
        m_context.setStatusMessage(QStringLiteral(u"已放入 %1 个压缩包，开始自动解压...").arg(urls.size()));
        m_extract.extract();
        return;
    }
    // A mixed list is compressed as a whole, archives included.
    m_compress.setSelectedFilesForCompression(urls);
    m_context.clearHandedOverArchives();
    m_context.setStatusMessage(QStringLiteral(u"已放入 %1 个项目，开始自动压缩...").arg(urls.size()));
    m_compress.compress(false);
}

void HomeViewModel::selectItemsForHomeAction() {
    m_context.choosePaths(this,
                          {.choosesFiles = true,
                           .choosesFolders = true,
                           .multipleSelection = true,
                           .prompt = QStringLiteral(u"选择"),
                           .purpose = QStringLiteral("home")},
                          [this](const QStringList& urls) { handleDropped(urls); });
}

bool HomeViewModel::acceptArchives(const QStringList& urls) {
    if (ExtractViewModel::allCountAsArchives(urls)) return true;
    m_context.setAlertMessage(QStringLiteral(u"请选择 ZIP、RAR 或 7Z 压缩包。"));
    return false;
}

void HomeViewModel::selectArchiveAndExtract() {
    m_context.choosePaths(this,
                          {.multipleSelection = true,
                           .purpose = QStringLiteral("archives"),
                           .currentItem = m_extract.selectedArchiveURL().value_or(QString())},
                          [this](const QStringList& urls) {
                              if (!acceptArchives(urls)) return;
                              m_extract.handOver(urls);
                              m_context.setStatusMessage(
                                  QStringLiteral(u"已选择 %1 个压缩包，开始自动解压...").arg(urls.size()));
                              m_extract.extract();
                          });
}

void HomeViewModel::selectArchiveAndExtractInPlace() {
    m_context.resetDestinationToCurrentLocation();
    selectArchiveAndExtract();
}

void HomeViewModel::selectArchiveAndExtractToDestination() {
    const auto extractInto = [this](const QStringList& urls, const QStringList& folders) {
        m_extract.handOver(urls);
        m_context.setStatusMessage(
            QStringLiteral(u"已选择 %1 个压缩包，开始解压到指定文件夹...").arg(urls.size()));
        m_extract.extract({.destinationOverrideURL = folders.first()});
    };
    m_context.choosePaths(
        this,
        {.multipleSelection = true,
         .prompt = QStringLiteral(u"选择压缩包"),
         .purpose = QStringLiteral("archives"),
         .currentItem = m_extract.selectedArchiveURL().value_or(QString())},
        [this, extractInto](const QStringList& urls) {
            if (!acceptArchives(urls)) return;
            m_context.choosePaths(
                this,
                {.choosesFiles = false,
                 .choosesFolders = true,
                 .prompt = QStringLiteral(u"选择解压目录"),
                 .purpose = QStringLiteral("destination"),
                 .currentItem = m_context.destinationURL().value_or(QString())},
                [urls, extractInto](const QStringList& folders) { extractInto(urls, folders); });
        });
}

QList<ArchiveHistoryRecord> HomeViewModel::recentHistory() const {
    return m_context.workbenchStore().history().mid(0, kRecentHistoryCount);
}
