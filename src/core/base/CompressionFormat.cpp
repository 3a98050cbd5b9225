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

QString rarCreationRefusal() {
    return QStringLiteral(
        u"RAR 创建格式受官方授权和闭源命令行组件限制，当前版本暂未接入压缩能力，后续开发会继续完善。");
}

}  // namespace CompressionFormats
