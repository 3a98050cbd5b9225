#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// 7-Zip refuses a link whose target runs through another link of the archive ("doc/libctf0 ->
// libbinutils", "vialink -> dirlink/f.txt"), even with -snld, so ordinary trees compressed with their
// links did not extract. Its -snld20 turns the link checks off; it is used only after the archive's
// listing has proved that every link resolves inside the output folder, following the archive's
// other links, and that no entry is written through a link. Any other archive keeps the refusal.
namespace SevenZipLinkChains {

struct Entry {
    QString path;
    bool isLink = false;
    bool isHardLink = false;
    qint64 size = 0;
    QString target;  // from the listing where it shows one (TAR); else read from the archive
    bool isFolder = false;
    bool isReparsePoint = false;  // a Windows link whose target is not checked here
};

// The entries of a 7-Zip technical listing (l -slt).
QList<Entry> parseListing(QStringView listing);

// Whether extracting these entries with 7-Zip's link checks off writes nothing outside the output
// folder: every path and link target is relative, no entry lies under a link (or anything but a
// folder) nor shares a link's path, no hard links or reparse points, and every link target stays
// inside when resolved through the other links. A loop leads nowhere and passes.
bool staysInside(const QList<Entry>& entries);

// Runs 7-Zip's extraction of archive into destination (an empty private folder). When 7-Zip refused
// a link through another link and the archive passes staysInside, the folder is emptied and the run
// repeated with the link checks off. Returns the result of the last run.
ProcessResult extract(const QString& sevenZip, const QString& archive, const QString& destination,
                      int threadCount, const std::optional<QString>& password,
                      const CancellationToken& token);

}  // namespace SevenZipLinkChains
