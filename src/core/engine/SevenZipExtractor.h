#pragma once

#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"

#include <QStringList>

// Everything 7-Zip reads apart from ZIP and RAR: 7Z and its numbered volumes, TAR, compressed TAR,
// single gzip, bzip2 and xz files, DMG and ISO images. A TAR, alone or compressed, is read by GNU tar
// first, 7-Zip only after GNU tar failed (ToolFallback); 7-Zip reaches a compressed TAR's contents
// through its layer (SevenZipTool::throughLayer), so the user gets the TAR's contents and not the inner
// .tar file.
class SevenZipExtractor : public ArchiveExtractor {
public:
    explicit SevenZipExtractor(ArchivePrograms programs = ArchivePrograms::installed());

    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    void extractInto(const QString& fileURL, const QString& destinationURL,
                     const std::optional<QString>& password, int threadCount,
                     const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
