#pragma once

#include "core/base/ArchiveTaskMetadata.h"
#include "core/state/ArchiveActivityKind.h"
#include "core/state/ArchiveActivityStatus.h"

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>
#include <optional>

// One compression or extraction job as the user follows it on the workbench.
struct ArchiveTask {
    QUuid id;
    QString name;
    QString path;
    ArchiveActivityKind kind = ArchiveActivityKind::extract;
    ArchiveActivityStatus status = ArchiveActivityStatus::running;
    double progress = 0;
    QString sizeDescription;
    QString targetPath;
    QDateTime createdAt;
    QDateTime updatedAt;
    QString message;
    std::optional<ArchiveTaskMetadata> metadata;

    // Field by field; texts compare by canonical equivalence.
    bool operator==(const ArchiveTask& other) const;

    // Dates as whole-second ISO 8601 text in UTC; "metadata" is left out when absent.
    QJsonObject toJson() const;
    // Throws JsonDecodingError.
    static ArchiveTask fromJson(const QJsonValue& value);
};
