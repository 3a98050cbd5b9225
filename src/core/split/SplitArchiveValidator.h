#pragma once

#include "core/base/SplitArchiveDetector.h"
#include "core/split/SplitArchiveDescriptor.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

// Checks the files found for one volume set: one row per expected volume, what is missing, duplicated
// or unreadable, whether the destination can be written and holds the set, and one verdict. Reads the
// file system afresh on every call and never fails; safe on any thread.
class SplitArchiveValidator {
public:
    struct MatchedPart {
        QString url;
        SplitArchiveDetector::Match match;
    };

    // Free bytes on the volume that holds a path; absent when unknown.
    using FreeSpaceQuery = std::function<std::optional<qint64>(const QString& path)>;

    // A number in a file name (a.7z.99999999) must not make a row per number: beyond this many
    // missing volumes the rest are not listed. Found volumes are always listed.
    static constexpr qsizetype kMissingPartLimit = 1000;

    explicit SplitArchiveValidator(FreeSpaceQuery freeSpace = systemFreeBytesAvailable);

    // matchedParts are the set's files in folder-listing order. The destination is where the set will
    // be extracted; without one the set's own folder is checked.
    SplitArchiveDescriptor validate(const SplitArchiveDetector::Match& selectedMatch,
                                    const QString& selectedURL, const QString& directoryURL,
                                    const QList<MatchedPart>& matchedParts,
                                    const QStringList& namingIssueMessages,
                                    const std::optional<QString>& destinationRootURL) const;

    static std::optional<qint64> systemFreeBytesAvailable(const QString& path);

private:
    // 1, 2, ... up to the highest volume found (the ZIP main file last), with at most
    // kMissingPartLimit indexes that have no file.
    static QList<qint64> expectedIndexes(SplitArchiveFormat format, const QList<qint64>& sortedIndexes,
                                         qint64 minIndex, qint64 maxIndex);
    // Asks the destination when it exists, else its parent folder.
    std::optional<qint64> freeBytesAvailable(const QString& destination) const;
    static bool outputDirectoryIsWritable(const QString& destination);

    FreeSpaceQuery m_freeSpace;
};
