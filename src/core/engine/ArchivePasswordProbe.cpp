#include "core/engine/ArchivePasswordProbe.h"

#include "core/base/InputItem.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ArchiveVolumes.h"
#include "core/engine/SevenZipListing.h"
#include "core/engine/SevenZipWords.h"
#include "core/engine/ToolFailure.h"
#include "core/engine/ToolFallback.h"
#include "core/engine/UnrarListing.h"

#include <QStringView>

namespace {

// The deciding run of the archive's programs in order; Info-ZIP's tools answer neither question.
std::optional<ToolFallback::Run> ask(const QString& fileURL, const ArchivePrograms& programs,
                                     bool hasPassword, const ToolFallback::Attempts& attempts,
                                     const CancellationToken& token) {
    return ToolFallback::runInOrder(programs, ToolFallback::order(fileURL, hasPassword), attempts, {fileURL},
                                    token);
}

// unrar marks each encrypted entry, and says so for an archive whose headers are encrypted.
bool rarListingShowsEncryption(const ProcessResult& result) {
    return UnrarListing::read(result.output).showsEncryption;
}

// The first entry 7-Zip's technical listing marks as encrypted ("Encrypted = +").
struct FirstEncryptedPath {
    QString path;
    std::optional<QString> encrypted;

    void store(SevenZipListing::Key key, QStringView value, QStringView, qsizetype) {
        if (key == SevenZipListing::Key::path)
            path = SevenZipListing::trimmed(value).toString();
        else if (key == SevenZipListing::Key::encrypted && !encrypted && SevenZipListing::isPlus(value))
            encrypted = path;
    }
    void finishBlock() {}
};

std::optional<QString> sevenZipFirstEncryptedEntry(const ProcessResult& result) {
    FirstEncryptedPath fields;
    SevenZipListing::read(result.output, fields);
    return fields.encrypted;
}

// 7-Zip asks for the password of encrypted headers before it lists anything, and marks encrypted
// entries in its technical listing.
bool sevenZipListingShowsEncryption(const ProcessResult& result) {
    if (result.status != 0) return result.output.contains(SevenZipWords::kPasswordPromptStart);
    return sevenZipFirstEncryptedEntry(result).has_value();
}

// The name of the first entry a technical listing marks as encrypted.
std::optional<QString> firstEncryptedEntry(const ToolFallback::Run& run) {
    if (run.program != ToolFallback::Program::unrar) return sevenZipFirstEncryptedEntry(run.result);
    for (const UnrarListing::Entry& entry : UnrarListing::read(run.result.output).entries) {
        if (UnrarListing::isEncrypted(entry)) return entry.name.toString();
    }
    return std::nullopt;
}

// A failed run names a wrong password only in the tools' own words.
ArchivePasswordProbe::EntryTest judged(const ProcessResult& failed, const QStringList& echoedNames) {
    const std::optional<ArchiveError> named = ToolFailure::namedFailure(failed, echoedNames);
    const bool wrong = named && named->kind() == ArchiveError::Kind::wrongPassword;
    return wrong ? ArchivePasswordProbe::EntryTest::wrong : ArchivePasswordProbe::EntryTest::unproven;
}

bool opens(const QString& fileURL, const QString& password, const ArchivePrograms& programs,
           const CancellationToken& token) {
    ToolFallback::Attempts attempts;
    attempts.unrar = [&](const UnrarTool& unrar) { return unrar.test(fileURL, password, token); };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) { return sevenZip.test(fileURL, password, token); };
    const std::optional<ToolFallback::Run> run = ask(fileURL, programs, true, attempts, token);
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
    ToolFallback::Attempts attempts;
    attempts.unrar = [&](const UnrarTool& unrar) {
        return unrar.listTechnical(fileURL, std::nullopt, token);
    };
    attempts.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.listTechnical(fileURL, std::nullopt, ArchiveTools::kListingTimeout, token);
    };
    const std::optional<ToolFallback::Run> run = ask(fileURL, programs, false, attempts, token);
    if (!run) return false;
    return run->program == ToolFallback::Program::unrar ? rarListingShowsEncryption(run->result)
                                                        : sevenZipListingShowsEncryption(run->result);
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
    ToolFallback::Attempts listings;
    listings.unrar = [&](const UnrarTool& unrar) { return unrar.listTechnical(fileURL, password, token); };
    listings.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.listTechnical(fileURL, password, ArchiveTools::kListingTimeout, token);
    };
    const std::optional<ToolFallback::Run> listing = ask(fileURL, programs, true, listings, token);
    if (!listing) return EntryTest::unproven;
    if (listing->result.status != 0) return judged(listing->result, {fileURL});
    const std::optional<QString> entry = firstEncryptedEntry(*listing);
    if (!entry) return EntryTest::unproven;
    // A legacy name prints with U+FFFD, which names no entry.
    const QStringList named =
        entry->contains(QChar::ReplacementCharacter) ? QStringList() : QStringList{*entry};
    ToolFallback::Attempts tests;
    tests.unrar = [&](const UnrarTool& unrar) { return unrar.test(fileURL, password, token, named); };
    tests.sevenZip = [&](const SevenZipTool& sevenZip) {
        return sevenZip.test(fileURL, password, token, named);
    };
    // The program that listed the entry tests it.
    const std::optional<ToolFallback::Run> test =
        ToolFallback::runInOrder(programs, {listing->program}, tests, {fileURL}, token);
    if (!test) return EntryTest::unproven;
    return test->result.status == 0 ? EntryTest::decrypts
                                    : judged(test->result, QStringList{fileURL} + named);
}

}  // namespace ArchivePasswordProbe
