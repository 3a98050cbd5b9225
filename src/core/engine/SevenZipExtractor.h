#pragma once

#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"

#include <QStringList>

// Everything 7-Zip reads apart from ZIP and RAR: 7Z and its numbered volumes, TAR, compressed TAR,
// single gzip, bzip2 and xz files, DMG and ISO images. A compressed TAR is unpacked in two passes
// through a private work folder, so the user gets the TAR's contents and not the inner .tar file. A TAR,
// alone or inside, is read by GNU tar first, 7-Zip only after GNU tar failed.
class SevenZipExtractor : public ArchiveExtractor {
public:
    explicit SevenZipExtractor(ArchivePrograms programs = ArchivePrograms::installed());

    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    void extractCompoundTarArchive(const QString& fileURL, const QString& destinationURL,
                                   const std::optional<QString>& password, int threadCount,
                                   const CancellationToken& token) const;
    // The TAR's files into destinationURL; echoedNames are the files the user knows the TAR by.
    void extractTar(const QString& tarFile, const QString& destinationURL, int threadCount,
                    const QStringList& echoedNames, const CancellationToken& token) const;
    void extractSingleArchive(const QString& fileURL, const QString& destinationURL,
                              const std::optional<QString>& password, int threadCount,
                              const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
