#pragma once

#include "core/base/SplitArchiveFormat.h"
#include "core/split/SplitArchivePart.h"
#include "core/split/SplitArchiveValidationState.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <optional>

// The result of scanning and validating one volume set: every expected volume with its state, what is
// wrong, one verdict with its message, and the space figures.
struct SplitArchiveDescriptor {
    QString originalURL{};
    QString directoryURL{};
    QString archiveName{};
    SplitArchiveFormat format = SplitArchiveFormat::unsupported;
    std::optional<QString> primaryPartURL{};
    // One per expected volume, ascending by index.
    QList<SplitArchivePart> parts{};
    QStringList missingPartFileNames{};
    QStringList duplicatePartFileNames{};
    QStringList namingIssueMessages{};
    // Names as found on disk.
    QStringList unreadablePartFileNames{};
    SplitArchiveValidationState validationState = SplitArchiveValidationState::scanning;
    // Why the set cannot be extracted; absent when complete.
    std::optional<QString> validationMessage{};
    // The total size of the found volumes; absent when below 1.
    std::optional<qint64> estimatedRequiredBytes{};
    std::optional<qint64> freeBytesAvailable{};

    // The parts that have a file.
    qsizetype foundPartCount() const;

    bool operator==(const SplitArchiveDescriptor& other) const = default;

    // Absent optionals are left out.
    QJsonObject toJson() const;
    // Throws JsonDecodingError.
    static SplitArchiveDescriptor fromJson(const QJsonValue& value);
};
