#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

// What a workbench task does. The raw value is the text stored in JSON.
namespace ArchiveActivityKinds {
Q_NAMESPACE
enum class ArchiveActivityKind { extract, compress, splitExtraction, splitCompression };
Q_ENUM_NS(ArchiveActivityKind)

const std::vector<ArchiveActivityKind>& allCases();
// The word used in notification titles and on the pages.
QString title(ArchiveActivityKind kind);
}  // namespace ArchiveActivityKinds

using ArchiveActivityKind = ArchiveActivityKinds::ArchiveActivityKind;
