#include "core/engine/ArchiveLinks.h"

#include <QStringList>

namespace ArchiveLinks {

namespace {

// The kernel follows at most 40 links in one path; a longer chain is a loop to it as well.
constexpr int kMaxLinkDepth = 40;

enum class Resolution { inside, outside, loop };

// Walks target from folder (components below the root) as the kernel would, through the archive's
// links; where ends up in folder.
Resolution resolve(QStringList& folder, const QString& target, const Links& links, int depth) {
    if (target.startsWith(u'/')) return Resolution::outside;
    for (const QString& part : target.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (folder.isEmpty()) return Resolution::outside;
            folder.removeLast();
            continue;
        }
        folder << part;
        const auto link = links.constFind(folder.join(u'/'));
        if (link == links.constEnd()) continue;
        if (depth >= kMaxLinkDepth) return Resolution::loop;
        folder.removeLast();
        const Resolution through = resolve(folder, *link, links, depth + 1);
        if (through != Resolution::inside) return through;
    }
    return Resolution::inside;
}

}  // namespace

bool leadsOut(const QString& linkPath, const QString& target, const Links& links) {
    QStringList folder = linkPath.split(u'/', Qt::SkipEmptyParts);
    folder.removeAll(QStringLiteral("."));  // a TAR's "./in/link"
    if (!folder.isEmpty()) folder.removeLast();
    return resolve(folder, target, links, 0) == Resolution::outside;
}

}  // namespace ArchiveLinks
