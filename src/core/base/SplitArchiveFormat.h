#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// The multi-volume naming schemes. unsupported is never detected; it marks a set that cannot be
// extracted. Stored as the raw value, which equals the case name.
namespace SplitArchiveFormats {
Q_NAMESPACE
enum class SplitArchiveFormat { sevenZip, rarNew, rarOld, zip, unsupported };
Q_ENUM_NS(SplitArchiveFormat)

const std::vector<SplitArchiveFormat>& all();
}  // namespace SplitArchiveFormats

using SplitArchiveFormat = SplitArchiveFormats::SplitArchiveFormat;
