#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace CompressionLevels {
Q_NAMESPACE
enum class CompressionLevel { fastest, standard, maximum };
Q_ENUM_NS(CompressionLevel)

const std::vector<CompressionLevel>& all();
// "最快", "标准", "高压缩": the name pages and task records show.
QString displayName(CompressionLevel level);
// 1, 5, 9: one plus four times the level's position.
int sevenZipLevelNumber(CompressionLevel level);
// "-1", "-6", "-9" for the system zip program.
QString zipLevelSwitch(CompressionLevel level);
}  // namespace CompressionLevels

using CompressionLevel = CompressionLevels::CompressionLevel;
