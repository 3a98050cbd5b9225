#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ProcessResult.h"
#include "core/engine/SevenZipTool.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// 7-Zip refuses a link whose target runs through another link of the archive ("doc/libctf0 ->
// libbinutils", "vialink -> dirlink/f.txt"), even with -snld, and one whose target climbs back after
// a name or up to the output folder itself ("d/up -> ..", "a/../a/b"), so ordinary trees compressed
// with their links did not extract. Its -snld20 turns the link checks off; it is used only after the
// archive's listing has proved that every link resolves inside the output folder, following the
// archive's other links, and that no entry is written through a link. Any other archive keeps the
// refusal.
namespace SevenZipLinkChains {

struct Entry {
    QString path;
    bool isLink = false;
    qint64 size = 0;
    QString target;  // from the listing where it shows one (TAR); else read from the archive
    bool isFolder = false;
    bool isReparsePoint = false;  // a Windows link whose target is not checked here
    QString hardLinkTarget;       // a path from the archive's root (TAR), not from the entry's folder
};

// The entries of a 7-Zip technical listing (l -slt).
QList<Entry> parseListing(QStringView listing);

// Whether extracting these entries with 7-Zip's link checks off writes nothing outside the output
// folder: every path and link target is relative, no entry lies under a link (or anything but a
// folder) nor shares a link's path, every hard link names another entry of the archive, there are no
// reparse points, and every link target stays inside when resolved through the other links. A loop
// leads nowhere and passes.
bool staysInside(const QList<Entry>& entries);

// Whether a failed 7-Zip extraction was its refusal of a link, of either kind.
bool refusedLink(const ProcessResult& result);

// Reads the archive's technical listing, and the link targets it does not show, and tells whether
// the archive passes staysInside: only then may SevenZipTool repeat a refused run with the checks off.
bool provedSafe(const SevenZipTool& sevenZip, const QString& archive, const std::optional<QString>& password,
                const CancellationToken& token);

}  // namespace SevenZipLinkChains
