#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolProgram.h"

#include <QString>
#include <QStringList>
#include <optional>

// Every run of GNU tar: the arguments (ArchiveTools::Tar). Results come back as the tool left them.
class TarTool : public ArchiveDriver {
public:
    // sevenZip, when there is one, decodes a compressed TAR's layer for tar
    // (ArchiveTools::Tar::decompressor).
    explicit TarTool(QString program, std::optional<QString> sevenZip = std::nullopt)
        : m_program(std::move(program)), m_sevenZip(std::move(sevenZip)) {}

    ToolProgram program() const override { return ToolProgram::tar; }

    // GNU tar's exit status decides: 0 succeeded; 1 (a file that differs or changed while read) and 2
    // (a fatal error) failed, the words naming the reason.
    ToolOutcome classify(const ProcessResult& result, const QStringList& echoedNames) const override;

    // -czf: a new gzip-compressed TAR of the items named relative to workingFolder, leaving out
    // dot-files and __MACOSX inside them with excludeHidden.
    ProcessResult createGzip(const QString& archive, const QStringList& names, const QString& workingFolder,
                             bool excludeHidden, const CancellationToken& token) const;

    // --list: every entry, one verbose line each (ArchiveTools::Tar::listArguments), of a compressed TAR
    // too; a TAR has no password.
    ProcessResult list(const QString& archive, const std::optional<QString>& password,
                       const CancellationToken& token,
                       const ProcessRunner::OutputHandler& handler) const override;
    // --extract of every entry; as extractEntries.
    ProcessResult extract(const QString& archive, const QString& destination, int threadCount,
                          const std::optional<QString>& password,
                          const CancellationToken& token) const override;
    // --extract: the named entries with their paths (every entry when none is named) into destination,
    // an empty private folder. GNU tar refuses names that climb with "..", takes a leading "/" off and
    // makes a link that leads out only after every file was written, so nothing is written through it;
    // the caller checks every link, and makes every device node (GNU tar makes them as root) and named
    // pipe an empty file, before anything leaves that folder (ExtractionStaging).
    ProcessResult extractEntries(const QString& archive, const QStringList& entryPaths,
                                 const QString& destination, const std::optional<QString>& password,
                                 double timeout, const CancellationToken& token) const override;

private:
    QStringList decompression(const QString& archive) const;

    QString m_program;
    std::optional<QString> m_sevenZip;
};
