// The split-compress page: its sources with their sizes, the volume size, the naming and output
// folder, and the texts derived from them.

#include "viewmodels/MainViewModel.h"

#include "core/engine/CompressionEstimateHelper.h"
#include "core/engine/FileSizeHelper.h"
#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString standardizedPath(const QString& url) { return QDir::cleanPath(QFileInfo(url).absoluteFilePath()); }

// Runs on a worker: what exists of the batch, with sizes. A folder is walked here, once.
QList<SplitCompressionSourceItem> sizedItems(const QStringList& urls) {
    QList<SplitCompressionSourceItem> items;
    for (const QString& url : urls) {
        const QFileInfo info(url);
        if (!info.exists()) continue;
        items.append({
            .id = standardizedPath(url),
            .url = url,
            .sizeBytes = FileSizeHelper::totalSize(url),
            .isDirectory = info.isDir(),
            .isReadable = info.isReadable(),
        });
    }
    return items;
}

}  // namespace

void MainViewModel::selectFilesForSplitCompression() {
    choosePaths(
        {.canChooseFiles = true,
         .allowsMultipleSelection = true,
         .prompt = QStringLiteral(u"添加文件"),
         .purpose = QStringLiteral("sources"),
         .currentItem = m_splitCompressionItems.isEmpty() ? QString() : m_splitCompressionItems.first().url},
        [this](const QStringList& urls) { addSplitCompressionItems(urls); });
}

void MainViewModel::selectFoldersForSplitCompression() {
    choosePaths(
        {.canChooseFiles = false,
         .canChooseDirectories = true,
         .allowsMultipleSelection = true,
         .prompt = QStringLiteral(u"添加文件夹"),
         .purpose = QStringLiteral("sources"),
         .currentItem = m_splitCompressionItems.isEmpty() ? QString() : m_splitCompressionItems.first().url},
        [this](const QStringList& urls) { addSplitCompressionItems(urls); });
}

void MainViewModel::addSplitCompressionItems(const QStringList& urls) {
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
    if (kept.size() < urls.size()) setAlertMessage(QStringLiteral(u"已跳过重复添加的文件或文件夹。"));
    if (kept.isEmpty()) return;

    // Batches are sized one after another and listed in the order they were added.
    m_pendingSizingBatches.append(kept);
    setIsCalculatingSplitCompressionItems(true);
    setStatusMessage(QStringLiteral(u"正在计算文件大小..."));
    if (m_pendingSizingBatches.size() == 1) startSizing();
}

void MainViewModel::startSizing() {
    const QStringList batch = m_pendingSizingBatches.first();
    const quint64 generation = m_sizingGeneration;
    m_background.run([batch] { return sizedItems(batch); },
                     [this, generation](Outcome<QList<SplitCompressionSourceItem>>& outcome) {
                         sizingFinished(generation, outcome.value());
                     });
}

void MainViewModel::sizingFinished(quint64 generation, const QList<SplitCompressionSourceItem>& items) {
    // The list was cleared while this batch was being sized.
    if (generation != m_sizingGeneration) return;
    m_pendingSizingBatches.removeFirst();
    const bool morePending = !m_pendingSizingBatches.isEmpty();
    if (!morePending) setIsCalculatingSplitCompressionItems(false);

    if (items.isEmpty()) {
        setAlertMessage(QStringLiteral(u"压缩源文件已不存在或无法读取，请重新添加。"));
        setStatusMessage(QStringLiteral(u"添加失败。"), StatusKind::error);
    } else {
        const bool anyUnreadable =
            std::any_of(items.begin(), items.end(), [](const auto& item) { return !item.isReadable; });
        if (anyUnreadable) setAlertMessage(QStringLiteral(u"部分文件无法读取，无法安全创建压缩包。"));
        const bool wasEmpty = m_splitCompressionItems.isEmpty();
        setSplitCompressionItems(m_splitCompressionItems + items);
        if (wasEmpty) {
            setSplitCompressionBaseName(SplitCompressionPlanner::defaultBaseName(urlsOf(items)));
            if (!m_splitCompressionOutputDirectoryURL) {
                setSplitCompressionOutputDirectoryURL(m_destinationURL ? m_destinationURL
                                                                       : firstItemFolder());
            }
        }
        setStatusMessage(QStringLiteral(u"已添加 %1 个项目。").arg(m_splitCompressionItems.size()));
    }
    if (morePending) startSizing();
}

QStringList MainViewModel::urlsOf(const QList<SplitCompressionSourceItem>& items) {
    QStringList urls;
    for (const SplitCompressionSourceItem& item : items) urls.append(item.url);
    return urls;
}

QStringList MainViewModel::splitCompressionSourceURLs() const { return urlsOf(m_splitCompressionItems); }

std::optional<QString> MainViewModel::firstItemFolder() const {
    if (m_splitCompressionItems.isEmpty()) return std::nullopt;
    return QFileInfo(m_splitCompressionItems.first().url).absolutePath();
}

void MainViewModel::removeSplitCompressionItem(const SplitCompressionSourceItem& item) {
    QList<SplitCompressionSourceItem> items = m_splitCompressionItems;
    items.removeIf([&item](const SplitCompressionSourceItem& listed) { return listed.id == item.id; });
    setSplitCompressionItems(items);
    setSplitCompressionBaseName(SplitCompressionPlanner::defaultBaseName(urlsOf(items)));
    setStatusMessage(QStringLiteral(u"已移除项目。"));
}

void MainViewModel::clearSplitCompressionItems() {
    m_sizingGeneration++;
    m_pendingSizingBatches.clear();
    setSplitCompressionItems({});
    setIsCalculatingSplitCompressionItems(false);
    setSplitCompressionBaseName(QStringLiteral(u"压缩文件"));
    setStatusMessage(QStringLiteral(u"已清空分卷压缩列表。"));
}

qint64 MainViewModel::splitCompressionOriginalSizeBytes() const {
    qint64 total = 0;
    for (const SplitCompressionSourceItem& item : m_splitCompressionItems) total += item.sizeBytes;
    return total;
}

std::optional<qint64> MainViewModel::splitCompressionVolumeSizeBytes() const {
    try {
        return SplitCompressionPlanner::bytes(m_splitCompressionVolumeValue, m_splitCompressionVolumeUnit);
    } catch (const SplitCompressionError&) {
        return std::nullopt;
    }
}

void MainViewModel::applySplitCompressionPreset(const SplitCompressionPreset& preset) {
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

std::optional<QString> MainViewModel::splitCompressionSuggestionMessage() const {
    constexpr qint64 kMiB = 1LL << 20;
    constexpr qint64 kGiB = 1LL << 30;
    const qint64 total = splitCompressionOriginalSizeBytes();
    if (total < 1) return std::nullopt;
    qint64 suggested = 5 * kGiB;
    if (total <= 2 * kGiB) {
        suggested = 500 * kMiB;
    } else if (total <= 10 * kGiB) {
        suggested = kGiB;
    } else if (total <= 30 * kGiB) {
        suggested = 2 * kGiB;
    } else if (total <= 80 * kGiB) {
        suggested = 4 * kGiB;
    }
    const qint64 parts = std::max<qint64>((total + suggested - 1) / suggested, 1);
    return QStringLiteral(
               u"根据当前文件总大小（%1），建议使用 %2 分卷，预计生成约 %3 "
               u"个文件。按原始大小估算，实际数量以压缩完成为准。")
        .arg(ByteCountFormatter::fileStyle(total), ByteCountFormatter::fileStyle(suggested),
             QString::number(parts));
}

SplitCompressionPreview MainViewModel::splitCompressionPreview() const {
    std::optional<qint64> estimate;
    if (!m_splitCompressionItems.isEmpty()) {
        estimate = CompressionEstimateHelper::estimatedSize(
            urlsOf(m_splitCompressionItems), m_splitCompressionFormat, m_splitCompressionLevel);
    }
    return splitCompressionPreview(estimate);
}

SplitCompressionPreview MainViewModel::splitCompressionPreview(std::optional<qint64> estimate) const {
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
            SplitCompressionPlanner::estimatedPartCount(original, volumeSize, m_splitCompressionEnabled),
    };
}

std::optional<QString> MainViewModel::splitCompressionOutputDirectory() const {
    if (m_splitCompressionOutputDirectoryURL) return m_splitCompressionOutputDirectoryURL;
    if (m_destinationURL) return m_destinationURL;
    return firstItemFolder();
}

QString MainViewModel::splitCompressionOutputDirectoryDescription() const {
    return splitCompressionOutputDirectory().value_or(QStringLiteral(u"请选择保存位置"));
}

void MainViewModel::selectSplitCompressionDestination() {
    choosePaths({.canChooseFiles = false,
                 .canChooseDirectories = true,
                 .prompt = QStringLiteral(u"更改"),
                 .purpose = QStringLiteral("destination"),
                 .currentItem = splitCompressionOutputDirectory().value_or(QString())},
                [this](const QStringList& folders) {
                    setSplitCompressionOutputDirectoryURL(folders.first());
                    setStatusMessage(QStringLiteral(u"分卷压缩保存位置已更新。"));
                });
}

QString MainViewModel::splitCompressionAvailableSpaceDescription(
    const SplitCompressionPreview& preview) const {
    const std::optional<QString> folder = splitCompressionOutputDirectory();
    if (!folder) return QStringLiteral(u"可用空间：-");
    const std::optional<qint64> free = m_platform.availableCapacityBytes(*folder);
    const qint64 required = SplitCompressionPlanner::estimatedRequiredSpaceBytes(
        preview.originalBytes, preview.estimatedCompressedBytes);
    return QStringLiteral(u"可用空间：%1（预计至少需要 %2）")
        .arg(free ? ByteCountFormatter::fileStyle(*free) : QStringLiteral("-"),
             ByteCountFormatter::fileStyle(required));
}
