#pragma once

#include "core/base/CompressionFormat.h"
#include "core/split/SplitCompressionConflictStrategy.h"
#include "core/split/SplitCompressionPreset.h"
#include "core/split/SplitCompressionPreview.h"
#include "core/split/SplitCompressionUnit.h"

#include <QString>
#include <optional>

// The texts and enable rules of the split-compress page, kept apart from its widgets so they can be
// checked without a display.
namespace SplitCompressionPageRules {

// "总计 3 个项目".
QString itemCountText(qsizetype count);

// "每卷大小必须大于 0。" while the typed volume size gives no size the planner accepts.
std::optional<QString> volumeSizeWarning(const QString& value, SplitCompressionUnit unit);

// After "自定义" was pressed only it is lit, whatever is typed; otherwise the sized preset equal to the
// current volume size is, so a typed size that matches no preset lights none.
bool isPresetHighlighted(const SplitCompressionPreset& preset, const QString& selectedPresetTitle,
                         std::optional<qint64> volumeSizeBytes);

QString conflictStrategyLabel(SplitCompressionConflictStrategy strategy);
QString compressionMethodText(CompressionFormat format);
QString dictionarySizeText(CompressionFormat format);

// Split ZIP volumes are written without encryption: the password switch is locked (its value kept)
// and a note says why.
bool zipSplitLocksPassword(bool splitEnabled, CompressionFormat format);

// Starting checks the form itself; only sizing and a running task hold the button back.
bool startButtonEnabled(bool isWorking, bool isCalculatingItems);

// The "节省比例" line.
QString splitCompressionSavingDescription(const SplitCompressionPreview& preview);

// Every text of the preview card, made from one preview.
struct PreviewTexts {
    QString primaryFileName;
    QString outputSummary;
    QString originalSize;
    QString compressedSize;
    QString saving;
    QString volumeSize;
    QString partCount;
    QString namingRule;
    // The first volume's name and, for a set of several, the last one's: shown apart, so that cutting
    // a long name shortens each stem and keeps both volume suffixes.
    QStringList namingRange;

    bool operator==(const PreviewTexts&) const = default;
};
PreviewTexts previewTexts(const SplitCompressionPreview& preview);

}  // namespace SplitCompressionPageRules
