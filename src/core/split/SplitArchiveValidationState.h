#pragma once

#include <QString>
#include <optional>
#include <vector>

// The verdict on a volume set. Extraction starts only from `complete`; the validator never gives
// `scanning`, which the page shows while a scan runs.
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

namespace SplitArchiveValidationStates {
const std::vector<SplitArchiveValidationState>& allCases();
QString rawValue(SplitArchiveValidationState state);
std::optional<SplitArchiveValidationState> fromRawValue(const QString& rawValue);
// The short title shown on the page and recorded in a task's metadata.
QString title(SplitArchiveValidationState state);
}  // namespace SplitArchiveValidationStates
