#pragma once

#include <QString>
#include <optional>
#include <vector>

// What a workbench task does. The raw value is the text stored in JSON.
enum class ArchiveActivityKind { extract, compress, splitExtraction, splitCompression };

namespace ArchiveActivityKinds {
const std::vector<ArchiveActivityKind>& allCases();
QString rawValue(ArchiveActivityKind kind);
std::optional<ArchiveActivityKind> fromRawValue(const QString& rawValue);
// The word used in notification titles and on the pages.
QString title(ArchiveActivityKind kind);
}  // namespace ArchiveActivityKinds
