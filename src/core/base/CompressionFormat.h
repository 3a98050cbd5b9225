#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The formats a user can ask to create. Creating rar is refused by the compression entry points, with
// rarCreationRefusal.
namespace CompressionFormats {
Q_NAMESPACE
enum class CompressionFormat { zip, sevenZip, rar, tarGzip };
Q_ENUM_NS(CompressionFormat)

const std::vector<CompressionFormat>& all();
// Extension of the created archive, without dot: zip, 7z, rar, tar.gz.
QString fileExtension(CompressionFormat format);
// "ZIP", "7Z", "RAR", "TAR.GZ": the name pages and task records show.
QString displayName(CompressionFormat format);
// Whether archives of the format can be protected by a password; TAR.GZ cannot.
bool supportsEncryption(CompressionFormat format);
// Why no RAR archive is created: the one sentence the format picker, the compress page and the engine
// give.
QString rarCreationRefusal();
}  // namespace CompressionFormats

using CompressionFormat = CompressionFormats::CompressionFormat;
