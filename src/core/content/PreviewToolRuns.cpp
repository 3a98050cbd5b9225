#include "core/content/PreviewToolRuns.h"

#include "core/base/ArchiveFormat.h"
#include "core/content/LegacyNameRows.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ArchiveVolumes.h"

#include <QFileInfo>

#include <algorithm>

namespace PreviewToolRuns {

namespace {

ArchiveError unsafePath(const QString& path, Action action) {
    const QString verb = action == Action::preview      ? QStringLiteral(u"预览")
                         : action == Action::extraction ? QStringLiteral(u"提取")
                                                        : QStringLiteral(u"删除");
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包内路径不安全，无法") + verb +
                                       QStringLiteral(u"：") + path);
}

}  // namespace

QString openedArchive(const QString& archiveURL) {
    if (!ArchiveFormat::kindOrSetKind(archiveURL))
        throw ArchiveError::unsupportedFormat(QFileInfo(archiveURL).suffix());
    return ArchiveVolumes::openingVolume(archiveURL);
}

QString safeRelativePath(const QString& path, Action action) {
    QString replaced = path;
    replaced.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList pieces = replaced.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool escapes = replaced.startsWith(QLatin1Char('/')) || replaced.startsWith(QLatin1Char('~')) ||
                         pieces.isEmpty() || pieces.contains(QStringLiteral(".."));
    // A NUL would cut the path short where the tool reads it.
    if (escapes || replaced.contains(QChar(u'\0'))) throw unsafePath(path, action);
    return pieces.join(QLatin1Char('/'));
}

QString safeToolPath(const ArchivePreviewEntry& entry, Action action) {
    QString name = entry.toolPath.isEmpty() ? entry.path : entry.toolPath;
    safeRelativePath(name, action);
    while (name.endsWith(QLatin1Char('/'))) name.chop(1);
    return name;
}

QString landingPath(const QString& path) {
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

void refuseSwitchLikeNames(const ArchiveDriver& driver, const QStringList& entryPaths, Action action) {
    for (const QString& path : entryPaths) {
        if (driver.readsAsSwitch(path)) throw unsafePath(path, action);
    }
}

bool separatesFoldersWithBackslash(const QString& archiveURL, ZipDirectoryReading& directory) {
    return ArchiveFormat::family(archiveURL) == ArchiveFormat::Family::zip &&
           directory.separatesFoldersWithBackslash();
}

void separateFolders(const QString& archiveURL, ZipDirectoryReading& directory,
                     QList<ArchivePreviewEntry>& entries) {
    const bool holdsBackslash =
        std::any_of(entries.cbegin(), entries.cend(),
                    [](const ArchivePreviewEntry& entry) { return entry.path.contains(QLatin1Char('\\')); });
    if (holdsBackslash && separatesFoldersWithBackslash(archiveURL, directory))
        LegacyNameRows::separateFolders(entries);
}

void runInOrderOrThrow(const ArchivePrograms& programs, const QList<ToolFallback::Program>& order,
                       const ToolFallback::Attempts& attempts, QString (*blankOutput)(ToolFallback::Program),
                       const QString& missingMessage, const QStringList& echoedNames,
                       const CancellationToken& token, FailureJudge judge) {
    const std::optional<ToolFallback::Run> run =
        ToolFallback::runInOrder(programs, order, attempts, echoedNames, token);
    if (!run) throw ArchiveError::dependencyMissing(missingMessage);
    judge(run->result, blankOutput(run->program), echoedNames);
}

}  // namespace PreviewToolRuns
