#pragma once

#include <QString>
#include <optional>
#include <vector>

enum class CompressionLevel { fastest, standard, maximum };

namespace CompressionLevels {
const std::vector<CompressionLevel>& all();
QString rawValue(CompressionLevel level);
std::optional<CompressionLevel> fromRawValue(const QString& rawValue);
// "最快", "标准", "高压缩": the name pages and task records show.
QString displayName(CompressionLevel level);
// 1, 5, 9: one plus four times the level's position.
int sevenZipLevelNumber(CompressionLevel level);
// "-1", "-6", "-9" for the system zip program.
QString zipLevelSwitch(CompressionLevel level);
}  // namespace CompressionLevels
