#include "FinderSync.h"

#include "platform/ToolText.h"
#include "platform/ArchiveKindTable.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QUrl>
#include <algorithm>

namespace {

// The suffixes of the kinds the file managers offer to extract, in the table's order; none is a
// compound one.
QStringList extractSuffixes() {
    QStringList suffixes;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        if (!row.fileManagerExtract) continue;
        for (const std::string_view suffix : row.suffixes) {
            if (!suffix.empty()) suffixes << QString::fromLatin1(suffix.data(), qsizetype(suffix.size()));
        }
    }
    return suffixes;
}

QSet<QString> extractExtensions() {
    const QStringList suffixes = extractSuffixes();
    return {suffixes.begin(), suffixes.end()};
}

QString scriptFolder(const QProcessEnvironment& environment, const QString& workingDirectory) {
    for (const QString& variable :
         {QStringLiteral("NAUTILUS_SCRIPT_CURRENT_URI"), QStringLiteral("CAJA_SCRIPT_CURRENT_URI")}) {
        const QUrl url(environment.value(variable));
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return workingDirectory;
}

QString lastExtension(const QString& path) {
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

}  // namespace

QStringList FinderSync::currentSelection(const QStringList& pathArguments,
                                         const QProcessEnvironment& environment,
                                         const QString& workingDirectory) {
    QStringList paths = pathArguments;
    paths.removeAll(QString());
    for (const QString& variable : {QStringLiteral("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS"),
                                    QStringLiteral("CAJA_SCRIPT_SELECTED_FILE_PATHS")}) {
        if (!paths.isEmpty()) break;
        // One path a line, as Nautilus and Caja write their selection.
        paths = environment.value(variable).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    if (paths.isEmpty()) paths << scriptFolder(environment, workingDirectory);

    const QDir base(workingDirectory);
    for (QString& path : paths) {
        // A trailing "/" stays: after a link to a folder it names the folder, not the link.
        const bool folderNamed = path.endsWith(QLatin1Char('/'));
        path = QDir::cleanPath(base.absoluteFilePath(path));
        if (folderNamed && path != QLatin1String("/")) path += QLatin1Char('/');
    }
    return paths;
}

bool FinderSync::namesOnlyArchives(const QStringList& paths) {
    static const QSet<QString> extensions = extractExtensions();
    return std::all_of(paths.begin(), paths.end(),
                       [](const QString& path) { return extensions.contains(lastExtension(path)); });
}

QString FinderSync::actionUrl(const QString& action, const QStringList& paths) {
    QString url = QStringLiteral("velmora://") + action;
    QChar separator = QLatin1Char('?');
    for (const QString& path : paths) {
        url += separator + QStringLiteral("path=") + QString::fromLatin1(ToolText::encodedName(path).toPercentEncoding());
        separator = QLatin1Char('&');
    }
    return url;
}

std::optional<QString> FinderSync::refusal(const QString& action, const QStringList& paths) {
    if (paths.isEmpty()) return QStringLiteral(u"没有选中任何文件。");
    if (action != QLatin1String("extract")) return std::nullopt;
    for (const QString& path : paths) {
        if (!namesOnlyArchives({path})) {
            return QStringLiteral(u"“") + QFileInfo(QDir::cleanPath(path)).fileName() +
                   QStringLiteral(u"”不是 ") + extractSuffixes().join(QStringLiteral(u"、")).toUpper() +
                   QStringLiteral(u" 压缩包：从文件管理器只能解压这几种，其他压缩包请在 velmora 中打开。");
        }
    }
    return std::nullopt;
}

bool FinderSync::linksHaveAHandler() {
    constexpr int kQueryLimitMs = 10000;
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/velmora")});
    if (!query.waitForFinished(kQueryLimitMs) || query.exitStatus() != QProcess::NormalExit) {
        query.kill();
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

std::optional<QString> FinderSync::openVelmora(const QString& action, const QStringList& paths,
                                               const QString& besideVelmora) {
    if (std::optional<QString> refused = refusal(action, paths)) return refused;
    const QString url = actionUrl(action, paths);
    if (linksHaveAHandler() && QProcess::startDetached(QStringLiteral("xdg-open"), {url})) return std::nullopt;
    if (QProcess::startDetached(besideVelmora, {url})) return std::nullopt;
    return QStringLiteral(u"无法启动 velmora：") + besideVelmora;
}
