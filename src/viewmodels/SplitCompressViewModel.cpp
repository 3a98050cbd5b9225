// The split-compress page: its sources with their sizes, the volume size, the naming and output
// folder, and the texts derived from them.

#include "viewmodels/SplitCompressViewModel.h"

#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/FileSizeHelper.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString standardizedPath(const QString& url) { return QDir::cleanPath(QFileInfo(url).absoluteFilePath()); }

// Runs on a worker: what exists of the batch, with sizes. A folder is walked here, once.
QList<SplitCompressionSourceItem> sizedItems(const QStringList& urls, const CancellationToken& token) {
    QList<SplitCompressionSourceItem> items;
    for (const QString& url : urls) {
        const QFileInfo info(url);
        if (!info.exists()) continue;
        items.append({
            .id = standardizedPath(url),
            .url = url,
            .sizeBytes = FileSizeHelper::totalSize(url, token),
            .isDirectory = info.isDir(),
            .isReadable = info.isReadable(),
        });
    }
    return items;
}

}  // namespace

SplitCompressViewModel::SplitCompressViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_splitCompressionOutputDirectoryURL(context.destinationURL()) {
    // Reloaded settings give a folder to a page that has none yet.
    connect(&m_context, &WorkbenchContext::refreshed, this, [this] {
        if (!m_splitCompressionOutputDirectoryURL)
            setSplitCompressionOutputDirectoryURL(m_context.destinationURL());
    });
}

void SplitCompressViewModel::setSplitCompressionItems(const QList<SplitCompressionSourceItem>& value) {
    publish(this, m_splitCompressionItems, value, &SplitCompressViewModel::splitCompressionItemsChanged);
}
void SplitCompressViewModel::setIsCalculatingSplitCompressionItems(bool value) {
    publish(this, m_isCalculatingSplitCompressionItems, value,
            &SplitCompressViewModel::isCalculatingSplitCompressionItemsChanged);
}
void SplitCompressViewModel::setSplitCompressionEnabled(bool value) {
    publish(this, m_splitCompressionEnabled, value, &SplitCompressViewModel::splitCompressionEnabledChanged);
}
void SplitCompressViewModel::setSplitCompressionVolumeValue(const QString& value) {
    publish(this, m_splitCompressionVolumeValue, value,
            &SplitCompressViewModel::splitCompressionVolumeValueChanged);
}
void SplitCompressViewModel::setSplitCompressionVolumeUnit(SplitCompressionUnit value) {
    publish(this, m_splitCompressionVolumeUnit, value,
            &SplitCompressViewModel::splitCompressionVolumeUnitChanged);
}
void SplitCompressViewModel::setSplitCompressionSelectedPresetTitle(const QString& value) {
    publish(this, m_splitCompressionSelectedPresetTitle, value);
}
void SplitCompressViewModel::setSplitCompressionFormat(CompressionFormat value) {
    publish(this, m_splitCompressionFormat, value, &SplitCompressViewModel::splitCompressionFormatChanged);
}
void SplitCompressViewModel::setSplitCompressionLevel(CompressionLevel value) {
    publish(this, m_splitCompressionLevel, value, &SplitCompressViewModel::splitCompressionLevelChanged);
}
void SplitCompressViewModel::setSplitCompressionOutputDirectoryURL(const std::optional<QString>& value) {
    publish(this, m_splitCompressionOutputDirectoryURL, value,
            &SplitCompressViewModel::splitCompressionOutputDirectoryURLChanged);
}
void SplitCompressViewModel::setSplitCompressionBaseName(const QString& value) {
    publish(this, m_splitCompressionBaseName, value,
            &SplitCompressViewModel::splitCompressionBaseNameChanged);
}
void SplitCompressViewModel::setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy value) {
    publish(this, m_splitCompressionConflictStrategy, value);
}
void SplitCompressViewModel::setSplitCompressionPasswordEnabled(bool value) {
    publish(this, m_splitCompressionPasswordEnabled, value);
}
void SplitCompressViewModel::setSplitCompressionPassword(const QString& value) {
    publish(this, m_splitCompressionPassword, value);
}
void SplitCompressViewModel::setSplitCompressionPasswordConfirmation(const QString& value) {
    publish(this, m_splitCompressionPasswordConfirmation, value);
}
void SplitCompressViewModel::setShowSplitCompressionPassword(bool value) {
    publish(this, m_showSplitCompressionPassword, value);
}
void SplitCompressViewModel::setSplitCompressionValidateAfterCompletion(bool value) {
    publish(this, m_splitCompressionValidateAfterCompletion, value);
}
void SplitCompressViewModel::setSplitCompressionVolumeSizeMessage(const std::optional<QString>& value) {
    publish(this, m_splitCompressionVolumeSizeMessage, value);
}
void SplitCompressViewModel::setSplitCompressionOpenAfterCompletion(bool value) {
    publish(this, m_splitCompressionOpenAfterCompletion, value);
}
void SplitCompressViewModel::setSplitCompressionNotifyAfterCompletion(bool value) {
    publish(this, m_splitCompressionNotifyAfterCompletion, value);
}

void SplitCompressViewModel::selectFilesForSplitCompression() {
    m_context.choosePaths(
        this,
        {.choosesFiles = true,
         .multipleSelection = true,
         .prompt = QStringLiteral(u"添加文件"),
         .purpose = QStringLiteral("sources"),
         .currentItem = m_splitCompressionItems.isEmpty() ? QString() : m_splitCompressionItems.first().url},
        [this](const QStringList& urls) { addSplitCompressionItems(urls); });
}

void SplitCompressViewModel::selectFoldersForSplitCompression() {
    m_context.choosePaths(
        this,
        {.choosesFiles = false,
         .choosesFolders = true,
         .multipleSelection = true,
         .prompt = QStringLiteral(u"添加文件夹"),
         .purpose = QStringLiteral("sources"),
         .currentItem = m_splitCompressionItems.isEmpty() ? QString() : m_splitCompressionItems.first().url},
        [this](const QStringList& urls) { addSplitCompressionItems(urls); });
}

void SplitCompressViewModel::addSplitCompressionItems(const QStringList& urls) {
    if (urls.isEmpty()) return;
    // Sources still being sized count as listed too, so a quick second add cannot list them twice.
    QSet<QString> listed;
    for (const SplitCompressionSourceItem& item : m_splitCompressionItems)
        listed.insert(standardizedPath(item.url));
    for (const QStringList& batch : m_pendingSizingBatches) {
        for (const QString& url : batch) listed.insert(standardizedPath(url));
    }
    QStringList kept;
    for (const QString& url : urls) {
        if (!listed.contains(standardizedPath(url))) kept.append(url);
    }
    if (kept.size() < urls.size())
        m_context.setAlertMessage(QStringLiteral(u"已跳过重复添加的文件或文件夹。"));
    if (kept.isEmpty()) return;

    // Batches are sized one after another and listed in the order they were added.
    m_pendingSizingBatches.append(kept);
    setIsCalculatingSplitCompressionItems(true);
    m_context.setStatusMessage(QStringLiteral(u"正在计算文件大小..."));
    if (m_pendingSizingBatches.size() == 1) startSizing();
}

void SplitCompressViewModel::startSizing() {
    const QStringList batch = m_pendingSizingBatches.first();
    const quint64 generation = m_sizingGeneration;
    m_sizingToken = CancellationToken();
    m_context.background().run([batch, token = m_sizingToken] { return sizedItems(batch, token); },
                               [this, generation](Outcome<QList<SplitCompressionSourceItem>>& outcome) {
                                   // The sizing was stopped (its walk cancelled) while this batch
                                   // was being sized.
                                   if (generation != m_sizingGeneration) return;
                                   sizingFinished(outcome.value());
                               });
}

void SplitCompressViewModel::stopSizing() {
    m_sizingGeneration++;
    m_pendingSizingBatches.clear();
    m_sizingToken.cancel();
}

void SplitCompressViewModel::sizingFinished(const QList<SplitCompressionSourceItem>& items) {
    m_pendingSizingBatches.removeFirst();
    const bool morePending = !m_pendingSizingBatches.isEmpty();
    if (!morePending) setIsCalculatingSplitCompressionItems(false);

    if (items.isEmpty()) {
        m_context.setAlertMessage(QStringLiteral(u"压缩源文件已不存在或无法读取，请重新添加。"));
        m_context.setStatusMessage(QStringLiteral(u"添加失败。"), StatusKind::error);
    } else {
        const bool anyUnreadable =
            std::any_of(items.begin(), items.end(), [](const auto& item) { return !item.isReadable; });
        if (anyUnreadable)
            m_context.setAlertMessage(QStringLiteral(u"部分文件无法读取，无法安全创建压缩包。"));
        const bool wasEmpty = m_splitCompressionItems.isEmpty();
        setSplitCompressionItems(m_splitCompressionItems + items);
        if (wasEmpty) {
            setSplitCompressionBaseName(SplitCompressionPlanner::defaultBaseName(urlsOf(items)));
            if (!m_splitCompressionOutputDirectoryURL) {
                setSplitCompressionOutputDirectoryURL(m_context.destinationURL() ? m_context.destinationURL()
                                                                                 : firstItemFolder());
            }
        }
        m_context.setStatusMessage(QStringLiteral(u"已添加 %1 个项目。").arg(m_splitCompressionItems.size()));
    }
    if (morePending) startSizing();
}

QStringList SplitCompressViewModel::urlsOf(const QList<SplitCompressionSourceItem>& items) {
    QStringList urls;
    for (const SplitCompressionSourceItem& item : items) urls.append(item.url);
    return urls;
}

QStringList SplitCompressViewModel::splitCompressionSourceURLs() const {
    return urlsOf(m_splitCompressionItems);
}

std::optional<QString> SplitCompressViewModel::firstItemFolder() const {
    if (m_splitCompressionItems.isEmpty()) return std::nullopt;
    return QFileInfo(m_splitCompressionItems.first().url).absolutePath();
}

void SplitCompressViewModel::removeSplitCompressionItem(const SplitCompressionSourceItem& item) {
    QList<SplitCompressionSourceItem> items = m_splitCompressionItems;
    items.removeIf([&item](const SplitCompressionSourceItem& listed) { return listed.id == item.id; });
    setSplitCompressionItems(items);
    setSplitCompressionBaseName(SplitCompressionPlanner::defaultBaseName(urlsOf(items)));
    m_context.setStatusMessage(QStringLiteral(u"已移除项目。"));
}

void SplitCompressViewModel::clearSplitCompressionItems() {
    stopSizing();
    setSplitCompressionItems({});
    setIsCalculatingSplitCompressionItems(false);
    setSplitCompressionBaseName(QStringLiteral(u"压缩文件"));
    m_context.setStatusMessage(QStringLiteral(u"已清空分卷压缩列表。"));
}

qint64 SplitCompressViewModel::splitCompressionOriginalSizeBytes() const {
    qint64 total = 0;
    for (const SplitCompressionSourceItem& item : m_splitCompressionItems) total += item.sizeBytes;
    return total;
}

std::optional<qint64> SplitCompressViewModel::splitCompressionVolumeSizeBytes() const {
    try {
        return SplitCompressionPlanner::bytes(m_splitCompressionVolumeValue, m_splitCompressionVolumeUnit);
    } catch (const SplitCompressionError&) {
        return std::nullopt;
    }
}

void SplitCompressViewModel::applySplitCompressionPreset(const SplitCompressionPreset& preset) {
    setSplitCompressionSelectedPresetTitle(preset.title);
    if (!preset.bytes) return;
    const auto [value, unit] = SplitCompressionPlanner::presetValue(*preset.bytes);
    setSplitCompressionVolumeValue(value);
    setSplitCompressionVolumeUnit(unit);
    setSplitCompressionVolumeSizeMessage(
        preset.title == QLatin1String("4 GB")
            ? std::optional<QString>(QStringLiteral(u"若目标存储设备使用 FAT32，建议分卷大小略低于 4GB。"))
            : std::nullopt);
}

std::optional<QString> SplitCompressViewModel::splitCompressionSuggestionMessage() const {
    const qint64 kMB = SplitCompressionUnits::factor(SplitCompressionUnit::mb);
    const qint64 kGB = SplitCompressionUnits::factor(SplitCompressionUnit::gb);
    const qint64 total = splitCompressionOriginalSizeBytes();
    if (total < 1) return std::nullopt;
    qint64 suggested = 5 * kGB;
    if (total <= 2 * kGB) {
        suggested = 500 * kMB;
    } else if (total <= 10 * kGB) {
        suggested = kGB;
    } else if (total <= 30 * kGB) {
        suggested = 2 * kGB;
    } else if (total <= 80 * kGB) {
        suggested = 4 * kGB;
    }
    const qint64 parts = std::max<qint64>((total + suggested - 1) / suggested, 1);
    return QStringLiteral(
               u"根据当前文件总大小（%1），建议使用 %2 分卷，预计生成约 %3 "
               u"个文件。按原始大小估算，实际数量以压缩完成为准。")
        .arg(ByteCountFormatter::fileStyle(total), ByteCountFormatter::fileStyle(suggested),
             QString::number(parts));
}

SplitCompressionPreview SplitCompressViewModel::splitCompressionPreview() const {
    return splitCompressionPreview(currentEstimate());
}

void SplitCompressViewModel::setSplitCompressionEstimate(std::optional<qint64> estimatedCompressedBytes) {
    m_estimate = Estimate{.sources = splitCompressionSourceURLs(),
                          .format = m_splitCompressionFormat,
                          .level = m_splitCompressionLevel,
                          .bytes = estimatedCompressedBytes};
}

std::optional<qint64> SplitCompressViewModel::currentEstimate() const {
    if (!m_estimate || m_estimate->sources != splitCompressionSourceURLs() ||
        m_estimate->format != m_splitCompressionFormat || m_estimate->level != m_splitCompressionLevel) {
        return std::nullopt;
    }
    return m_estimate->bytes;
}

SplitCompressionPreview SplitCompressViewModel::splitCompressionPreview(
    std::optional<qint64> estimate) const {
    const qint64 original = splitCompressionOriginalSizeBytes();
    const std::optional<qint64> volumeSize = splitCompressionVolumeSizeBytes();
    if (m_splitCompressionItems.isEmpty()) estimate.reset();
    return {
        .baseName = m_splitCompressionBaseName,
        .format = m_splitCompressionFormat,
        .splitEnabled = m_splitCompressionEnabled,
        .originalBytes = original,
        .estimatedCompressedBytes = estimate,
        .volumeSizeBytes = volumeSize,
        .estimatedPartCount =
            SplitCompressionPlanner::estimatedPartCount(SplitCompressionPlanner::largestArchiveBytes(original),
                                                        volumeSize, m_splitCompressionEnabled),
    };
}

std::optional<QString> SplitCompressViewModel::splitCompressionOutputDirectory() const {
    if (m_splitCompressionOutputDirectoryURL) return m_splitCompressionOutputDirectoryURL;
    if (m_context.destinationURL()) return m_context.destinationURL();
    return firstItemFolder();
}

QString SplitCompressViewModel::splitCompressionOutputDirectoryDescription() const {
    return splitCompressionOutputDirectory().value_or(QStringLiteral(u"请选择保存位置"));
}

void SplitCompressViewModel::selectSplitCompressionDestination() {
    m_context.choosePaths(this,
                          {.choosesFiles = false,
                           .choosesFolders = true,
                           .prompt = QStringLiteral(u"更改"),
                           .purpose = QStringLiteral("destination"),
                           .currentItem = splitCompressionOutputDirectory().value_or(QString())},
                          [this](const QStringList& folders) {
                              setSplitCompressionOutputDirectoryURL(folders.first());
                              m_context.setStatusMessage(QStringLiteral(u"分卷压缩保存位置已更新。"));
                          });
}

QString SplitCompressViewModel::splitCompressionAvailableSpaceDescription(
    const SplitCompressionPreview& preview) const {
    const std::optional<QString> folder = splitCompressionOutputDirectory();
    if (!folder) return QStringLiteral(u"可用空间：-");
    const std::optional<qint64> free = m_context.platform().availableCapacityBytes(*folder);
    const qint64 required = SplitCompressionPlanner::estimatedRequiredSpaceBytes(
        preview.originalBytes, preview.estimatedCompressedBytes);
    return QStringLiteral(u"可用空间：%1（预计至少需要 %2）")
        .arg(free ? ByteCountFormatter::fileStyle(*free) : QStringLiteral("-"),
             ByteCountFormatter::fileStyle(required));
}
