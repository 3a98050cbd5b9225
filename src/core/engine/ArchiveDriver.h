#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <optional>

// One archive program as the extractors, the password probe and the archive browser ask it, whichever
// program it is: its runs (arguments written by ArchiveTools, the password where the program reads one),
// what its technical listing says of encryption, and its verdict on a finished run (classify). Every run
// comes back naming its program (ProcessResult::program), so that only that program's words are read in
// it. A run the program has no way to do gives nothing, and the fallback passes it over.
class ArchiveDriver {
public:
    // What a technical listing says of encryption: whether the archive is encrypted (its headers, or an
    // entry), and the first entry marked as such.
    struct Encryption {
        bool shown = false;
        std::optional<QString> firstEntry;
    };

    virtual ~ArchiveDriver() = default;

    virtual ToolProgram program() const = 0;

    // A finished run by the program's own contract: its documented exit status decides first, its own
    // words only name the reason or tell a warning from a failure. echoedNames are the names the run was
    // given (the archive first), which its words are read without.
    virtual ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames) const = 0;

    // The whole archive into destination, an empty private folder.
    virtual ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                                  const std::optional<QString>& password,
                                  const CancellationToken& token) const = 0;
    // The named entries with their paths into destination, an empty private folder (every entry when
    // none is named).
    virtual ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                         const QString& destination, const std::optional<QString>& password,
                                         double timeout, const CancellationToken& token) const = 0;
    // The program's listing of every entry, the one its listing reader reads. handler reads the
    // standard output as it arrives, of which the result then keeps only the start
    // (ProcessRunner::HandlerReads::standardOutput).
    virtual ProcessResult list(const QString& archive, const std::optional<QString>& password,
                               const CancellationToken& token,
                               const ProcessRunner::OutputHandler& handler) const = 0;

    // The technical listing, each entry with its attributes (encryption among them); nothing for a
    // program without one.
    virtual std::optional<ProcessResult> listTechnical(const QString& archive,
                                                       const std::optional<QString>& password,
                                                       const CancellationToken& token) const;
    // What a finished listTechnical() says of encryption.
    virtual Encryption encryptionIn(const ProcessResult& technicalListing) const;
    // Tests the named entries (every entry when none is named), writing nothing.
    virtual std::optional<ProcessResult> test(const QString& archive, const std::optional<QString>& password,
                                              const QStringList& entryPaths,
                                              const CancellationToken& token) const;
    // Deletes the named entries (a folder with its contents), the new archive written in workFolder
    // before it replaces the old one; the password opens encrypted names.
    virtual std::optional<ProcessResult> remove(const QString& archive, const QStringList& entryPaths,
                                                const std::optional<QString>& password,
                                                const QString& workFolder,
                                                const CancellationToken& token) const;
    // Whether the program would read an entry's name as one of its switches.
    virtual bool readsAsSwitch(const QString& name) const;
};
