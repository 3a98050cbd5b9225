#include "core/base/SplitArchiveFormat.h"

namespace SplitArchiveFormats {

const std::vector<SplitArchiveFormat>& all() {
    static const std::vector<SplitArchiveFormat> formats{
        SplitArchiveFormat::sevenZip, SplitArchiveFormat::rarNew, SplitArchiveFormat::rarOld,
        SplitArchiveFormat::zip, SplitArchiveFormat::unsupported};
    return formats;
}

QString rawValue(SplitArchiveFormat format) {
    switch (format) {
        case SplitArchiveFormat::sevenZip:
            return QStringLiteral("sevenZip");
        case SplitArchiveFormat::rarNew:
            return QStringLiteral("rarNew");
        case SplitArchiveFormat::rarOld:
            return QStringLiteral("rarOld");
        case SplitArchiveFormat::zip:
            return QStringLiteral("zip");
        case SplitArchiveFormat::unsupported:
            return QStringLiteral("unsupported");
    }
    return {};
}

std::optional<SplitArchiveFormat> fromRawValue(const QString& value) {
    for (SplitArchiveFormat format : all()) {
        if (rawValue(format) == value) return format;
    }
    return std::nullopt;
}

}  // namespace SplitArchiveFormats
