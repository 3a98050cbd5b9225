#include "views/main/SplitCompressionPageRules.h"

#include "core/split/SplitCompressionError.h"
#include "core/split/SplitCompressionPlanner.h"
#include "views/kit/WorkbenchTexts.h"

#include <algorithm>
#include <cmath>

namespace SplitCompressionPageRules {

QString itemCountText(qsizetype count) { return QStringLiteral(u"总计 %1 个项目").arg(qint64(count)); }

std::optional<QString> volumeSizeWarning(const QString& value, SplitCompressionUnit unit) {
    try {
        SplitCompressionPlanner::bytes(value, unit);
        return std::nullopt;
    } catch (const SplitCompressionError&) {
        return QStringLiteral(u"每卷大小必须大于 0。");
    }
}

bool isPresetHighlighted(const SplitCompressionPreset& preset, const QString& selectedPresetTitle,
                         std::optional<qint64> volumeSizeBytes) {
    const std::vector<SplitCompressionPreset>& presets = SplitCompressionPreset::all();
    const bool customSelected = std::any_of(presets.begin(), presets.end(), [&](const auto& candidate) {
        return !candidate.bytes && candidate.title == selectedPresetTitle;
    });
    if (!preset.bytes) return customSelected;
    return !customSelected && volumeSizeBytes && preset.bytes == volumeSizeBytes;
}

QString conflictStrategyLabel(SplitCompressionConflictStrategy strategy) {
    switch (strategy) {
        case SplitCompressionConflictStrategy::autoRename:
            return QStringLiteral(u"自动重命名");
        case SplitCompressionConflictStrategy::overwrite:
            return QStringLiteral(u"覆盖");
        case SplitCompressionConflictStrategy::cancel:
            return QStringLiteral(u"取消");
    }
    return {};
}

QString compressionMethodText(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::sevenZip:
            return QStringLiteral("LZMA2");
        case CompressionFormat::zip:
            return QStringLiteral(u"Deflate / Store（系统 ZIP）");
        case CompressionFormat::rar:
        case CompressionFormat::tarGzip:
            break;
    }
    return QStringLiteral(u"当前格式不支持分卷创建");
}

QString dictionarySizeText(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::sevenZip:
            return QStringLiteral(u"由 7-Zip 自动优化");
        case CompressionFormat::zip:
            return QStringLiteral(u"ZIP 格式不使用字典大小设置");
        case CompressionFormat::rar:
        case CompressionFormat::tarGzip:
            break;
    }
    return QStringLiteral("-");
}

bool zipSplitLocksPassword(bool splitEnabled, CompressionFormat format) {
    return splitEnabled && format == CompressionFormat::zip;
}

bool startButtonEnabled(bool isWorking, bool isCalculatingItems) { return !isWorking && !isCalculatingItems; }

QString splitCompressionSavingDescription(const SplitCompressionPreview& preview) {
    if (preview.originalBytes < 1 || !preview.estimatedCompressedBytes) return QStringLiteral(u"压缩后确定");
    const double ratio = 1.0 - double(*preview.estimatedCompressedBytes) / double(preview.originalBytes);
    if (ratio <= 0) return QStringLiteral(u"预计无明显节省");
    // std::lround rounds halves away from zero.
    return QStringLiteral(u"约 %1%").arg(std::lround(ratio * 100));
}

namespace {

QString compressedSizeText(const std::optional<qint64>& estimate) {
    if (!estimate) return QStringLiteral(u"压缩后大小将在任务完成后确定");
    return QStringLiteral(u"约 ") + WorkbenchTexts::sizeText(*estimate);
}

QString outputSummary(const SplitCompressionPreview& preview) {
    if (!preview.splitEnabled) return QStringLiteral(u"生成单个压缩包");
    // Nothing to compress yet makes no volume, as the part count beside it says.
    return QStringLiteral(u"预计生成 %1 个分卷文件").arg(std::max(preview.estimatedPartCount, 0));
}

QStringList namingRange(const SplitCompressionPreview& preview) {
    const QStringList names = SplitCompressionPlanner::expectedPartFileNames(
        preview.format, preview.baseName, std::max(preview.estimatedPartCount, 1), preview.splitEnabled);
    if (preview.splitEnabled && names.size() >= 2) return {names.first(), names.last()};
    return {names.first()};
}

}  // namespace

PreviewTexts previewTexts(const SplitCompressionPreview& preview) {
    return {
        .primaryFileName = SplitCompressionPlanner::primaryOutputFileName(preview.format, preview.baseName,
                                                                          preview.splitEnabled),
        .outputSummary = outputSummary(preview),
        .originalSize = WorkbenchTexts::sizeText(preview.originalBytes),
        .compressedSize = compressedSizeText(preview.estimatedCompressedBytes),
        .saving = splitCompressionSavingDescription(preview),
        .volumeSize = WorkbenchTexts::sizeText(preview.volumeSizeBytes.value_or(0)),
        .partCount = QStringLiteral(u"%1 个").arg(std::max(preview.estimatedPartCount, 0)),
        .namingRule = SplitCompressionPlanner::namingRuleDescription(
            preview.format, preview.baseName, preview.estimatedPartCount, preview.splitEnabled),
        .namingRange = namingRange(preview),
    };
}

}  // namespace SplitCompressionPageRules
