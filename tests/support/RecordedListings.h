#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The tools' listings recorded by tests/fixtures/record.sh, and a way to record them anew with the
// installed tools, so that tests can tell when a tool's output has changed shape.
namespace RecordedListings {

// The file names record.sh writes: 7-Zip's technical listings of a ZIP, a 7z and a TAR, and unrar's.
extern const QStringList kFiles;

// A recorded listing, as checked in.
QByteArray recorded(const QString& file);

// Runs record.sh into folder; false (with the script's output in error) when it fails.
bool recordInto(const QString& folder, QString& error);

// The keys of the "key = value" / "key: value" lines in order, one list per block of lines: what
// stays the same between two recordings of the same archives by the same tool version or shape.
QList<QStringList> keyBlocks(const QByteArray& listing);

}  // namespace RecordedListings
