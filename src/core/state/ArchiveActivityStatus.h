#pragma once

#include <QString>
#include <optional>
#include <vector>

// The state of a workbench task. Only `running` is left again; the others are final.
enum class ArchiveActivityStatus { running, paused, completed, failed, cancelled };

namespace ArchiveActivityStatuses {
const std::vector<ArchiveActivityStatus>& allCases();
QString rawValue(ArchiveActivityStatus status);
std::optional<ArchiveActivityStatus> fromRawValue(const QString& rawValue);
// The word used in notification titles and in the status badge of task and history rows.
QString title(ArchiveActivityStatus status);
}  // namespace ArchiveActivityStatuses
