#pragma once

#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveExtractor.h"
#include "core/engine/ProcessResult.h"

// ZIP and ZIPX archives and numbered ZIP volumes (.z01, ...). 7-Zip does the work; when it is missing
// or cannot open the file as an archive, the system unzip takes over for encrypted archives and plain
// .zip files. Any other 7-Zip failure (a wrong password above all) is reported as it is: unzip would
// need the password on its command line and reports AES archives as a compatibility problem.
class ZipExtractor : public ArchiveExtractor {
public:
    explicit ZipExtractor(QStringList supportedExtensions);

    QStringList supportedExtensions() const override { return m_supportedExtensions; }
    bool canHandle(const QString& fileURL) const override;
    int extract(const QString& fileURL, const QString& destinationURL, const std::optional<QString>& password,
                int threadCount, const CancellationToken& token) override;

private:
    // The tools' part of an extraction, into the private folder that stands for the destination.
    static void extractInto(const QString& fileURL, const QString& destinationURL,
                            const std::optional<QString>& password, int threadCount,
                            const CancellationToken& token);
    // The 7-Zip run; nothing when there is no 7-Zip.
    static std::optional<ProcessResult> extractWithSevenZip(const QString& fileURL,
                                                            const QString& destinationURL,
                                                            const std::optional<QString>& password,
                                                            int threadCount, const CancellationToken& token);
    static void extractWithSystemUnzip(const QString& fileURL, const QString& destinationURL,
                                       const std::optional<QString>& password,
                                       const CancellationToken& token);
    static ArchiveError mapZipError(const ProcessResult& result, const QStringList& echoedNames);

    QStringList m_supportedExtensions;
};
