#include "core/state/ArchivePasswordBookKind.h"

namespace ArchivePasswordBookKinds {

const std::vector<ArchivePasswordBookKind>& allCases() {
    static const std::vector<ArchivePasswordBookKind> kinds{ArchivePasswordBookKind::extraction,
                                                            ArchivePasswordBookKind::compression};
    return kinds;
}

}  // namespace ArchivePasswordBookKinds
