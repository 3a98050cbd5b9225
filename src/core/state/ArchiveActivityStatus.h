#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// The state of a workbench task. Only `running` is left again; the others are final.
namespace ArchiveActivityStatuses {
Q_NAMESPACE
enum class ArchiveActivityStatus { running, paused, completed, failed, cancelled };
Q_ENUM_NS(ArchiveActivityStatus)

const std::vector<ArchiveActivityStatus>& allCases();
// The word used in notification titles and in the status badge of task and history rows.
QString title(ArchiveActivityStatus status);
}  // namespace ArchiveActivityStatuses

using ArchiveActivityStatus = ArchiveActivityStatuses::ArchiveActivityStatus;
