#include "core/base/CompressionLevel.h"

namespace CompressionLevels {

const std::vector<CompressionLevel>& all() {
    static const std::vector<CompressionLevel> levels{CompressionLevel::fastest, CompressionLevel::standard,
                                                      CompressionLevel::maximum};
    return levels;
}

QString displayName(CompressionLevel level) {
    switch (level) {
        case CompressionLevel::fastest:
            return QStringLiteral(u"最快");
        case CompressionLevel::standard:
            return QStringLiteral(u"标准");
        case CompressionLevel::maximum:
            return QStringLiteral(u"高压缩");
    }
    return {};
}

int sevenZipLevelNumber(CompressionLevel level) { return 1 + 4 * static_cast<int>(level); }

QString zipLevelSwitch(CompressionLevel level) {
    static const QString switches[] = {QStringLiteral("-1"), QStringLiteral("-6"), QStringLiteral("-9")};
    return switches[static_cast<int>(level)];
}

}  // namespace CompressionLevels
