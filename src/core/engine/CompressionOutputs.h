#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Finds the volumes a split run wrote, in volume order. Hidden entries count too: a base name may
// start with a dot.
namespace CompressionOutputs {

// <baseName>.7z.<n> (case-sensitive prefix), by number; names whose rest is not a number come last.
// Throws ArchiveError::compressFailed when there is none, FileSystemError when the folder cannot be read.
QStringList findSevenZipOutputs(const QString& destinationDirectoryURL, const QString& baseName);

// <baseName>.z01, .z02, ... (two digits or more) by number, then <baseName>.zip, which must exist
// (else ArchiveError::compressFailed).
QStringList findZipSplitOutputs(const QString& destinationDirectoryURL, const QString& baseName);

}  // namespace CompressionOutputs
