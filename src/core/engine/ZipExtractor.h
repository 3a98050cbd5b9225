#pragma once

#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"

// ZIP and ZIPX archives and ZIP volume sets (.z01 with .zip, .zip.001), in the one fallback order
// (ToolFallback): 7-Zip, and Info-ZIP's unzip when 7-Zip is missing or cannot open the file as an
// archive (for a ZIPX only with a password). Any other 7-Zip failure (a wrong password above all) is
// reported as it is.
class ZipExtractor : public ArchiveExtractor {
public:
    explicit ZipExtractor(ArchivePrograms programs = ArchivePrograms::installed());

    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    // The tools' part of an extraction, into the private folder that stands for the destination.
    void extractInto(const QString& fileURL, const QString& destinationURL,
                     const std::optional<QString>& password, int threadCount,
                     const CancellationToken& token) const;

    ArchivePrograms m_programs;
};
