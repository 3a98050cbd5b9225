#include "core/engine/SourceTrash.h"

#include "core/base/FileNameHelper.h"
#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveScanner.h"
#include "platform/DesktopTrash.h"
#include "platform/ToolText.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include <sys/stat.h>

namespace SourceTrash {

namespace {

constexpr qsizetype kNamedItems = 3;

// By its bytes: QFileInfo loses a name that is not UTF-8.
bool isPresent(const QString& path) {
    struct stat info {};
    return ::lstat(ToolText::encodedName(path).constData(), &info) == 0;
}

bool holds(const QString& folder, const QString& path) {
    const QString prefix = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/');
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(prefix);
}

// The first three by name, "、" between them, and " 等" when there are more.
QString namedItems(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths.first(std::min(paths.size(), kNamedItems)))
        names << FileNameHelper::shownName(path);
    return names.join(QStringLiteral(u"、")) +
           (paths.size() > kNamedItems ? QStringLiteral(u" 等") : QString());
}

}  // namespace

Outcome trash(const QStringList& paths) {
    QStringList present = paths;
    present.removeIf([](const QString& path) { return !isPresent(path); });
    Outcome outcome;
    for (const QString& path : present)
        (DesktopTrash::moveToTrash(path) ? outcome.trashed : outcome.stayed) << path;
    return outcome;
}

QStringList moveToTrash(const QStringList& paths) { return trash(paths).stayed; }

Outcome trashCompressedSources(const QStringList& sources, const QStringList& archives) {
    QStringList movable;
    QStringList holders;
    for (const QString& source : sources) {
        const bool holdsArchive = std::any_of(archives.begin(), archives.end(),
                                              [&](const QString& archive) { return holds(source, archive); });
        (holdsArchive ? holders : movable) << source;
    }
    Outcome outcome = trash(movable);
    outcome.stayed = holders + outcome.stayed;
    return outcome;
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

QString trashedNotice(const QStringList& trashed) {
    if (trashed.isEmpty()) return {};
    return QStringLiteral(u"；%1 个项目已移到回收站：%2").arg(trashed.size()).arg(namedItems(trashed));
}

QString untrashedNotice(const QStringList& untrashed) {
    if (untrashed.isEmpty()) return {};
    return QStringLiteral(u"；%1 个项目无法移到回收站，仍在原处：%2")
        .arg(untrashed.size())
        .arg(namedItems(untrashed));
}

}  // namespace SourceTrash
