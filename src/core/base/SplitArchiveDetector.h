#pragma once

#include "core/base/SplitArchiveFormat.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// Recognises the volume naming schemes from a file name alone. Every text of a match is lower case.
namespace SplitArchiveDetector {

// The index of a ZIP set's main file name.zip: it sorts after every numbered volume name.z01, ...
inline constexpr qint64 kZipPrimaryIndex = 999999;

struct Match {
    SplitArchiveFormat format = SplitArchiveFormat::unsupported;
    // The set's stem; keeps ".7z" or ".zip" for 7-Zip volumes (name.7z.003 has base name name.7z).
    QString baseName;
    // The volume's place in the set's own numbering: name.rar is 1 and name.r00 is 2; name.zip is
    // kZipPrimaryIndex and name.z01 is 1.
    qint64 index = 0;
    // Digits of the volume number as written in this name; 2 for a plain name.rar or name.zip.
    int width = 0;
    QString expectedPrimaryFileName;
    bool isPrimary = false;
    // False for a plain name.rar or name.zip, which may be a one-file archive or a set's main file.
    bool isSplitPart = false;
    QString displayName;

    // The name of volume `index` of the same set, numbered as wide as this name. For a ZIP set the
    // main file's name is expectedPrimaryFileName; ask this only for numbered volumes.
    QString expectedFileName(qint64 index) const;

    bool operator==(const Match&) const = default;
};

std::optional<Match> detect(const QString& fileName);

// The end of fileName that tells which volume of its set it is, in the name's own case: ".part1.rar",
// ".7z.001", ".r00", ".z01", and ".rar" or ".zip" for a set's main file; empty for other names. A cut
// name keeps it whole, so volumes of one set stay told apart.
QString volumeSuffix(const QString& fileName);

// The name of volume `index` of the set called baseName (with its ".7z" or ".zip" for 7-Zip volumes),
// numbered at least `width` digits wide: name.7z.001, name.part01.rar, name.rar then name.r00, name.z01.
// A ZIP set's main file, baseName.zip, has no index.
QString volumeFileName(SplitArchiveFormat format, const QString& baseName, qint64 index, int width);

// The index of fileName as a numbered volume of the set called baseName, in exactly that case and with
// at least minimumWidth digits; nothing when it is not one (a set's plain main file is not numbered).
std::optional<qint64> volumeIndex(SplitArchiveFormat format, const QString& baseName, const QString& fileName,
                                  int minimumWidth = 1);

}  // namespace SplitArchiveDetector
