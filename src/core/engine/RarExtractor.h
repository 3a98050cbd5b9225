#pragma once

#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"

// RAR archives and the volumes of both RAR naming schemes (name.part1.rar, and name.rar with
// name.r00, ...), in the one fallback order (ToolFallback): RARLAB's unrar, and 7-Zip when unrar is
// missing. Only 7-Zip uses the thread count.
class RarExtractor : public ArchiveExtractor {
public:
    explicit RarExtractor(ArchivePrograms programs = ArchivePrograms::installed());

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
