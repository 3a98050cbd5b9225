#pragma once

#include <QString>
#include <optional>
#include <vector>

// The two books of the password book. An entry's book follows from its scope key alone.
enum class ArchivePasswordBookKind { extraction, compression };

namespace ArchivePasswordBookKinds {
const std::vector<ArchivePasswordBookKind>& allCases();
QString rawValue(ArchivePasswordBookKind kind);
std::optional<ArchivePasswordBookKind> fromRawValue(const QString& rawValue);
inline QString id(ArchivePasswordBookKind kind) { return rawValue(kind); }
}  // namespace ArchivePasswordBookKinds
