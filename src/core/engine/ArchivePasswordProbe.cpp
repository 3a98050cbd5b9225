#include "core/engine/ArchivePasswordProbe.h"

#include "core/base/InputItem.h"
#include "core/engine/ArchiveVolumes.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFallback.h"

namespace {

// The deciding run of the archive's programs in order; Info-ZIP's tools answer neither question.
std::optional<ToolFallback::Run> ask(const QString& fileURL, const ArchivePrograms& programs,
                                     bool hasPassword, const ToolFallback::Attempts& attempts,
                                     const CancellationToken& token) {
    return ToolFallback::runInOrder(programs, ToolFallback::order(fileURL, hasPassword), attempts, {fileURL},
                                    token);
}

// A failed run names a wrong password only in the tools' own words.
ArchivePasswordProbe::EntryTest judged(const ProcessResult& failed, const QStringList& echoedNames) {
    const std::optional<ArchiveError> named = ToolFailure::namedFailure(failed, echoedNames);
    const bool wrong = named && named->kind() == ArchiveError::Kind::wrongPassword;
    return wrong ? ArchivePasswordProbe::EntryTest::wrong : ArchivePasswordProbe::EntryTest::unproven;
}

// Each program's technical listing, which says what is encrypted.
ToolFallback::Attempts technicalListings(const QString& fileURL, const std::optional<QString>& password,
                                         const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.step = [&fileURL, password, &token](const ArchiveDriver& driver) {
        return driver.listTechnical(fileURL, password, token);
    };
    return attempts;
}

// Each program's test of the named entries.
ToolFallback::Attempts tests(const QString& fileURL, const QString& password, const QStringList& entryPaths,
                             const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.step = [&fileURL, password, entryPaths, &token](const ArchiveDriver& driver) {
        return driver.test(fileURL, password, entryPaths, token);
    };
    return attempts;
}

// What the deciding listing's own program reads in it.
ArchiveDriver::Encryption encryptionIn(const ToolFallback::Run& listing, const ArchivePrograms& programs) {
    const std::unique_ptr<ArchiveDriver> driver = programs.driver(listing.program);
    return driver ? driver->encryptionIn(listing.result) : ArchiveDriver::Encryption{};
}

bool opens(const QString& fileURL, const QString& password, const ArchivePrograms& programs,
           const CancellationToken& token) {
    const std::optional<ToolFallback::Run> run =
        ask(fileURL, programs, true, tests(fileURL, password, {}, token), token);
    return run && run->result.status == 0;
}

}  // namespace

namespace ArchivePasswordProbe {

namespace {

// A probe tells nothing about a pipe or a device and must not wait on one; the operation that follows
// refuses it with its reason (ExtractionSteps::requireItem).
bool toolMayOpen(const QString& fileURL) { return InputItem::stateOf(fileURL) == InputItem::State::usable; }

}  // namespace

bool isEncrypted(const QString& volumeURL, const CancellationToken& token, const ArchivePrograms& programs) {
    const QString fileURL = ArchiveVolumes::openingVolume(volumeURL);
    if (!toolMayOpen(fileURL)) return false;
    const std::optional<ToolFallback::Run> run =
        ask(fileURL, programs, false, technicalListings(fileURL, std::nullopt, token), token);
    return run && encryptionIn(*run, programs).shown;
}

std::optional<QString> firstOpeningPassword(const QString& volumeURL, const QStringList& candidates,
                                            const CancellationToken& token, const ArchivePrograms& programs) {
    const QString fileURL = ArchiveVolumes::openingVolume(volumeURL);
    if (!toolMayOpen(fileURL)) return std::nullopt;
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) continue;
        if (opens(fileURL, candidate, programs, token)) return candidate;
    }
    return std::nullopt;
}

EntryTest testFirstEncryptedEntry(const QString& volumeURL, const QString& password,
                                  const CancellationToken& token, const ArchivePrograms& programs) {
    const QString fileURL = ArchiveVolumes::openingVolume(volumeURL);
    if (!toolMayOpen(fileURL)) return EntryTest::unproven;
    const std::optional<ToolFallback::Run> listing =
        ask(fileURL, programs, true, technicalListings(fileURL, password, token), token);
    if (!listing) return EntryTest::unproven;
    if (listing->result.status != 0) return judged(listing->result, {fileURL});
    const std::optional<QString> entry = encryptionIn(*listing, programs).firstEntry;
    if (!entry) return EntryTest::unproven;
    // A legacy name prints with U+FFFD, which names no entry.
    const QStringList named =
        entry->contains(QChar::ReplacementCharacter) ? QStringList() : QStringList{*entry};
    // The program that listed the entry tests it.
    const std::optional<ToolFallback::Run> test = ToolFallback::runInOrder(
        programs, {listing->program}, tests(fileURL, password, named, token), {fileURL}, token);
    if (!test) return EntryTest::unproven;
    return test->result.status == 0 ? EntryTest::decrypts
                                    : judged(test->result, QStringList{fileURL} + named);
}

}  // namespace ArchivePasswordProbe
