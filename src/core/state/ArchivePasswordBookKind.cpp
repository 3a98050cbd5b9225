#include "core/state/ArchivePasswordBookKind.h"

namespace ArchivePasswordBookKinds {

const std::vector<ArchivePasswordBookKind>& allCases() {
    static const std::vector<ArchivePasswordBookKind> kinds{ArchivePasswordBookKind::extraction,
                                                            ArchivePasswordBookKind::compression};
    return kinds;
}

QString rawValue(ArchivePasswordBookKind kind) {
    switch (kind) {
        case ArchivePasswordBookKind::extraction:
            return QStringLiteral("extraction");
        case ArchivePasswordBookKind::compression:
            return QStringLiteral("compression");
    }
    return {};
}

std::optional<ArchivePasswordBookKind> fromRawValue(const QString& value) {
    for (ArchivePasswordBookKind kind : allCases()) {
        if (rawValue(kind) == value) return kind;
    }
    return std::nullopt;
}

}  // namespace ArchivePasswordBookKinds
