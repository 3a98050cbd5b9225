#include "core/base/CompressionFormat.h"

namespace CompressionFormats {

const std::vector<CompressionFormat>& all() {
    static const std::vector<CompressionFormat> formats{CompressionFormat::zip, CompressionFormat::sevenZip,
                                                        CompressionFormat::rar, CompressionFormat::tarGzip};
    return formats;
}

QString fileExtension(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::zip:
            return QStringLiteral("zip");
        case CompressionFormat::sevenZip:
            return QStringLiteral("7z");
        case CompressionFormat::rar:
            return QStringLiteral("rar");
        case CompressionFormat::tarGzip:
            return QStringLiteral("tar.gz");
    }
    return {};
}

QString displayName(CompressionFormat format) { return fileExtension(format).toUpper(); }

bool supportsEncryption(CompressionFormat format) { return format != CompressionFormat::tarGzip; }

QStringList allFileExtensions() {
    QStringList extensions;
    for (CompressionFormat format : all()) extensions << fileExtension(format);
    return extensions;
}

}  // namespace CompressionFormats
