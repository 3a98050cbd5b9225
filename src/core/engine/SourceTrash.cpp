#include "core/engine/SourceTrash.h"

#include "core/base/FileNameHelper.h"
#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveScanner.h"
#include "platform/DesktopTrash.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace SourceTrash {

namespace {

constexpr qsizetype kNamedItems = 3;

bool isPresent(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool holds(const QString& folder, const QString& path) {
    const QString prefix = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(prefix);
}

}  // namespace

QStringList moveToTrash(const QStringList& paths) {
    QStringList present = paths;
    present.removeIf([](const QString& path) { return !isPresent(path); });
    present.removeIf([](const QString& path) { return DesktopTrash::moveToTrash(path); });
    return present;
}

QStringList trashCompressedSources(const QStringList& sources, const QStringList& archives) {
    QStringList movable;
    QStringList stayed;
    for (const QString& source : sources) {
        const bool holdsArchive = std::any_of(archives.begin(), archives.end(),
                                              [&](const QString& archive) { return holds(source, archive); });
        (holdsArchive ? stayed : movable) << source;
    }
    return stayed + moveToTrash(movable);
}

QStringList archiveAndVolumes(const QString& archiveURL) {
    QStringList volumes{archiveURL};
    try {
        const SplitArchiveDescriptor set = SplitArchiveScanner().scan(archiveURL, std::nullopt);
        for (const SplitArchivePart& part : set.parts) {
            if (part.url && !volumes.contains(*part.url)) volumes << *part.url;
        }
    } catch (const SplitArchiveError&) {
        // Not a volume of a set: the archive alone.
    }
    return volumes;
}

QString untrashedNotice(const QStringList& untrashed) {
    if (untrashed.isEmpty()) return {};
    QStringList names;
    for (const QString& path : untrashed.first(std::min(untrashed.size(), kNamedItems)))
        names << FileNameHelper::lastPathComponent(path);
    const QString more = untrashed.size() > kNamedItems ? QStringLiteral(u" 等") : QString();
    return QStringLiteral(u"；%1 个项目无法移到回收站，仍在原处：%2%3")
        .arg(untrashed.size())
        .arg(names.join(QStringLiteral(u"、")), more);
}

}  // namespace SourceTrash
