#pragma once

#include "core/state/ArchiveTask.h"

// A task as an operation opens it when its work starts.
inline ArchiveTask runningTask(const QString& name, ArchiveActivityKind kind, const QDateTime& at) {
    return {.id = QUuid::createUuid(),
            .name = name,
            .path = QStringLiteral("/src"),
            .kind = kind,
            .status = ArchiveActivityStatus::running,
            .progress = 0.08,
            .sizeDescription = QStringLiteral("1 KB"),
            .targetPath = QStringLiteral("/dst"),
            .createdAt = at,
            .updatedAt = at,
            .message = QStringLiteral(u"正在处理"),
            .metadata = std::nullopt};
}
