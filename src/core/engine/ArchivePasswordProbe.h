#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchivePrograms.h"

#include <QString>
#include <QStringList>
#include <optional>

// Which password, if any, an archive needs, asked of the tools without extracting anything: the rule
// every caller uses before a password book entry is filled in or remembered. The tools are the
// archive's programs in the one fallback order (ToolFallback) that can answer: unrar and 7-Zip.
// Blocking calls for a worker thread; they throw CancellationError once the token is cancelled and
// ProcessRunnerError when a tool cannot be started or runs out of time. A tool's failure is an answer
// ("no"), not an error.
namespace ArchivePasswordProbe {

// Whether the archive holds encrypted entries or encrypted headers, from a listing made without a
// password. False when no tool could tell.
bool isEncrypted(const QString& fileURL, const CancellationToken& token,
                 const ArchivePrograms& programs = ArchivePrograms::installed());

// The first non-empty candidate, in the given order, with which a test run of the whole archive
// succeeds; none when no candidate opens it.
std::optional<QString> firstOpeningPassword(const QString& fileURL, const QStringList& candidates,
                                            const CancellationToken& token,
                                            const ArchivePrograms& programs = ArchivePrograms::installed());

}  // namespace ArchivePasswordProbe
