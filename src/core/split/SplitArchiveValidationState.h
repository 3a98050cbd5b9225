#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// The verdict on a volume set. Extraction starts only from `complete`; the validator never gives
// `scanning`, which the page shows while a scan runs.
namespace SplitArchiveValidationStates {
Q_NAMESPACE
enum class SplitArchiveValidationState {
    scanning,
    complete,
    missingParts,
    duplicateParts,
    namingMismatch,
    missingPrimary,
    unsupported,
    unreadableParts,
    outputNotWritable,
    insufficientDiskSpace
};
Q_ENUM_NS(SplitArchiveValidationState)

const std::vector<SplitArchiveValidationState>& allCases();
// The short title shown on the page and recorded in a task's metadata.
QString title(SplitArchiveValidationState state);
}  // namespace SplitArchiveValidationStates

using SplitArchiveValidationState = SplitArchiveValidationStates::SplitArchiveValidationState;
