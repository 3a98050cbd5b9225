#include "core/state/ArchiveActivityKind.h"

namespace ArchiveActivityKinds {

const std::vector<ArchiveActivityKind>& allCases() {
    static const std::vector<ArchiveActivityKind> kinds{
        ArchiveActivityKind::extract, ArchiveActivityKind::compress, ArchiveActivityKind::splitExtraction,
        ArchiveActivityKind::splitCompression};
    return kinds;
}

QString title(ArchiveActivityKind kind) {
    switch (kind) {
        case ArchiveActivityKind::extract:
            return QStringLiteral(u"解压");
        case ArchiveActivityKind::compress:
            return QStringLiteral(u"压缩");
        case ArchiveActivityKind::splitExtraction:
            return QStringLiteral(u"分卷解压");
        case ArchiveActivityKind::splitCompression:
            return QStringLiteral(u"分卷压缩");
    }
    return {};
}

}  // namespace ArchiveActivityKinds
