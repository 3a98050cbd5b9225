#pragma once

#include "core/engine/ArchiveExtractor.h"

// RAR archives and the volumes of both RAR naming schemes (name.part1.rar, and name.rar with
// name.r00, ...), through RARLAB's unrar. The thread count is not used.
class RarExtractor : public ArchiveExtractor {
public:
    explicit RarExtractor(QStringList supportedExtensions);

    QStringList supportedExtensions() const override { return m_supportedExtensions; }
    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    QStringList m_supportedExtensions;
};
