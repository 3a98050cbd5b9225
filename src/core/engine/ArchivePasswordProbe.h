#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchivePrograms.h"

#include <QString>
#include <QStringList>
#include <optional>

// Which password, if any, an archive needs, asked of the tools without extracting anything: the rule
// every caller uses before a password book entry is filled in or remembered. The tools are the
// archive's programs in the one fallback order (ToolFallback) that can answer: unrar and 7-Zip. Any
// volume of a split set is asked about through the set's main volume (ArchiveVolumes::openingVolume), as
// extraction opens it; a set that lacks a volume throws ArchiveError::missingVolume.
// Blocking calls for a worker thread; they throw CancellationError once the token is cancelled and
// ProcessRunnerError when a tool cannot be started or runs out of time. A tool's failure is an answer
// ("no"), not an error.
namespace ArchivePasswordProbe {

// What a password did to the archive's first encrypted entry.
enum class EntryTest {
    decrypts,
    wrong,     // the tools said the password was wrong
    unproven,  // no entry is encrypted, no tool could tell, or the test failed for another reason
};

// Whether the archive holds encrypted entries or encrypted headers, from a listing made without a
// password. False when no tool could tell.
bool isEncrypted(const QString& volumeURL, const CancellationToken& token,
                 const ArchivePrograms& programs = ArchivePrograms::installed());

// The first non-empty candidate, in the given order, with which a test run of the whole archive
// succeeds; none when no candidate opens it.
std::optional<QString> firstOpeningPassword(const QString& volumeURL, const QStringList& candidates,
                                            const CancellationToken& token,
                                            const ArchivePrograms& programs = ArchivePrograms::installed());

// A test run of the first encrypted entry alone, found in a listing made with the password: a ZIP
// lists with any password (only its data is encrypted), so a listing proves nothing. An entry whose
// name the tools printed in a legacy encoding cannot be named back; the whole archive is tested then.
EntryTest testFirstEncryptedEntry(const QString& volumeURL, const QString& password,
                                  const CancellationToken& token,
                                  const ArchivePrograms& programs = ArchivePrograms::installed());

}  // namespace ArchivePasswordProbe
