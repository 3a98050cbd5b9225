#pragma once

#include "core/base/ArchiveTaskMetadata.h"
#include "core/state/ArchiveActivityKind.h"
#include "core/state/ArchiveActivityStatus.h"

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>
#include <optional>

// A task that left `running`, as the history page lists it. Its id is its own, not the task's.
struct ArchiveHistoryRecord {
    QUuid id;
    QString fileName;
    QString path;
    ArchiveActivityKind kind = ArchiveActivityKind::extract;
    ArchiveActivityStatus status = ArchiveActivityStatus::completed;
    QDateTime createdAt;
    QString sizeDescription;
    QString message;
    std::optional<ArchiveTaskMetadata> metadata;

    bool operator==(const ArchiveHistoryRecord& other) const;

    QJsonObject toJson() const;
    // Throws JsonDecodingError.
    static ArchiveHistoryRecord fromJson(const QJsonValue& value);
};
