#pragma once

#include "core/split/SplitArchivePartStatus.h"

#include <QJsonObject>
#include <optional>

// One expected volume of a set: the file chosen for it, or none when it is missing.
struct SplitArchivePart {
    // The chosen file's path; "missing-<index>-<expected name>" for a missing volume.
    QString id{};
    qint64 index = 0;
    // The index in decimal, or "主卷" for a ZIP set's main file.
    QString displayNumber{};
    QString expectedFileName{};
    std::optional<QString> url{};
    // 0 when missing or unknown.
    qint64 byteSize = 0;
    bool isPrimary = false;
    SplitArchivePartStatus status = SplitArchivePartStatus::found();

    bool operator==(const SplitArchivePart& other) const = default;

    // `url` is left out when absent.
    QJsonObject toJson() const;
    // Throws JsonDecodingError.
    static SplitArchivePart fromJson(const QJsonValue& value);
};
