#pragma once

#include "core/base/EnumRawValues.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// The two books of the password book. An entry's book follows from its scope key alone.
namespace ArchivePasswordBookKinds {
Q_NAMESPACE
enum class ArchivePasswordBookKind { extraction, compression };
Q_ENUM_NS(ArchivePasswordBookKind)

const std::vector<ArchivePasswordBookKind>& allCases();
inline QString id(ArchivePasswordBookKind kind) { return EnumRawValues::rawValue(kind); }
}  // namespace ArchivePasswordBookKinds

using ArchivePasswordBookKind = ArchivePasswordBookKinds::ArchivePasswordBookKind;
