#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <optional>

// Every run of Info-ZIP's zip and unzip: the arguments (ArchiveTools::Zip, ArchiveTools::Unzip), and a
// password typed on the tool's terminal, the only place these programs read one. Neither has an end of
// switches for entry names, so a name that starts with "-" is never handed to them: see
// ArchiveTools::InfoZip::isReadAsSwitch. Results come back as the tool left them, except that unzip's
// warning of an archive that claims no entries ("zipfile is empty") comes back as succeeded.
class InfoZipTool : public ArchiveDriver {
public:
    InfoZipTool(QString zip, QString unzip) : m_zip(std::move(zip)), m_unzip(std::move(unzip)) {}

    // How zip writes a new archive of the items named relative to workingFolder.
    struct Creation {
        CompressionLevel level = CompressionLevel::standard;
        // Leave out dot-files and __MACOSX inside the folders given.
        bool excludeHidden = false;
        // Volumes of this size (ArchiveTools::Zip::volumeSize), else one file.
        std::optional<QString> volumeSize;
    };

    ToolProgram program() const override { return ToolProgram::infoZip; }

    // unzip's exit status decides: 0 succeeded; 1, its warning, with every entry listed or written (none
    // skipped, no words of a failure) succeeded, or warned where it doubts an entry (its recorded sizes
    // disagree); 1 otherwise, 2 and 3 (damage), 9 (no such file), 11 (no such entry), 50 (disk full), 51
    // (end of file), 80 (stopped), 81 (unsupported method or encryption) and 82 (wrong password) failed,
    // the words naming the reason.
    ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames) const override;

    // unzip -l: one line per entry; no password is asked.
    ProcessResult list(const QString& archive, const std::optional<QString>& password,
                       const CancellationToken& token,
                       const ProcessRunner::OutputHandler& handler) const override;
    // unzip: the whole archive into destination.
    ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                          const std::optional<QString>& password,
                          const CancellationToken& token) const override;
    // unzip: the named entries with their paths into destination, one run each; the first failure ends it.
    ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                 const QString& destination, const std::optional<QString>& password,
                                 double timeout, const CancellationToken& token) const override;
    // zip: a new archive of names, encrypted when a password is given.
    ProcessResult create(const QString& archive, const QStringList& names, const QString& workingFolder,
                         const Creation& creation, const std::optional<QString>& password,
                         const CancellationToken& token) const;
    // zip -d, which needs no password.
    std::optional<ProcessResult> remove(const QString& archive, const QStringList& entryPaths,
                                        const std::optional<QString>& password, const QString& workFolder,
                                        const CancellationToken& token) const override;
    // A name that starts with "-" (ArchiveTools::InfoZip::isReadAsSwitch).
    bool readsAsSwitch(const QString& name) const override;

private:
    QString m_zip;
    QString m_unzip;
};
