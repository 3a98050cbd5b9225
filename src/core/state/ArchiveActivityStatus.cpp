#include "core/state/ArchiveActivityStatus.h"

namespace ArchiveActivityStatuses {

const std::vector<ArchiveActivityStatus>& allCases() {
    static const std::vector<ArchiveActivityStatus> statuses{
        ArchiveActivityStatus::running, ArchiveActivityStatus::paused, ArchiveActivityStatus::completed,
        ArchiveActivityStatus::failed, ArchiveActivityStatus::cancelled};
    return statuses;
}

QString title(ArchiveActivityStatus status) {
    switch (status) {
        case ArchiveActivityStatus::running:
            return QStringLiteral(u"进行中");
        case ArchiveActivityStatus::paused:
            return QStringLiteral(u"已暂停");
        case ArchiveActivityStatus::completed:
            return QStringLiteral(u"成功");
        case ArchiveActivityStatus::failed:
            return QStringLiteral(u"失败");
        case ArchiveActivityStatus::cancelled:
            return QStringLiteral(u"已取消");
    }
    return {};
}

}  // namespace ArchiveActivityStatuses
