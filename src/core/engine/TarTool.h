#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"

#include <QString>
#include <QStringList>

// Every run of tar: the arguments (ArchiveTools::Tar). Results come back as the tool left them.
class TarTool {
public:
    explicit TarTool(QString program) : m_program(std::move(program)) {}

    // -czf: a new gzip-compressed TAR of the items named relative to workingFolder, leaving out
    // dot-files and __MACOSX inside them with excludeHidden.
    ProcessResult createGzip(const QString& archive, const QStringList& names, const QString& workingFolder,
                             bool excludeHidden, const CancellationToken& token) const;

private:
    QString m_program;
};
