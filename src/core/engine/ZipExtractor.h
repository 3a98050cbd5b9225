#pragma once

#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ArchivePrograms.h"

// ZIP and ZIPX archives and numbered ZIP volumes (.z01, ...), in the one fallback order (ToolFallback):
// 7-Zip, and Info-ZIP's unzip when 7-Zip is missing or cannot open the file as an archive (for a ZIPX
// only with a password). Any other 7-Zip failure (a wrong password above all) is reported as it is.
class ZipExtractor : public ArchiveExtractor {
public:
    explicit ZipExtractor(QStringList supportedExtensions,
                          ArchivePrograms programs = ArchivePrograms::installed());

    QStringList supportedExtensions() const override { return m_supportedExtensions; }
    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    // The tools' part of an extraction, into the private folder that stands for the destination.
    void extractInto(const QString& fileURL, const QString& destinationURL,
                     const std::optional<QString>& password, int threadCount,
                     const CancellationToken& token) const;

    QStringList m_supportedExtensions;
    ArchivePrograms m_programs;
};
