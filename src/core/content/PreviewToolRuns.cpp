#include "core/content/PreviewToolRuns.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ArchiveVolumes.h"

#include <QFileInfo>

namespace PreviewToolRuns {

namespace {

ArchiveError unsafePath(const QString& path) {
    return ArchiveError::extractFailed(QStringLiteral(u"压缩包内路径不安全，无法预览：") + path);
}

}  // namespace

QString openedArchive(const QString& archiveURL) {
    if (!ArchiveFormat::kindOrSetKind(archiveURL))
        throw ArchiveError::unsupportedFormat(QFileInfo(archiveURL).suffix());
    return ArchiveVolumes::openingVolume(archiveURL);
}

QString safeRelativePath(const QString& path) {
    QString replaced = path;
    replaced.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList pieces = replaced.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool escapes = replaced.startsWith(QLatin1Char('/')) || replaced.startsWith(QLatin1Char('~')) ||
                         pieces.isEmpty() || pieces.contains(QStringLiteral(".."));
    // A NUL would cut the path short where the tool reads it.
    if (escapes || replaced.contains(QChar(u'\0'))) throw unsafePath(path);
    return pieces.join(QLatin1Char('/'));
}

QString safeToolPath(const ArchivePreviewEntry& entry) {
    if (entry.toolPath.isEmpty()) return safeRelativePath(entry.path);
    const QString safe = safeRelativePath(entry.toolPath);
    return entry.toolPath.contains(QLatin1Char('\\')) ? entry.toolPath : safe;
}

void refuseSwitchLikeNames(const QStringList& entryPaths) {
    for (const QString& path : entryPaths) {
        if (ArchiveTools::InfoZip::isReadAsSwitch(path)) throw unsafePath(path);
    }
}

bool separatesFoldersWithBackslash(const QString& archiveURL) {
    return ArchiveFormat::family(archiveURL) == ArchiveFormat::Family::zip &&
           ZipCentralDirectory::separatesFoldersWithBackslash(archiveURL);
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
