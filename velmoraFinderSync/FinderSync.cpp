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

// The suffixes of the kinds the file managers offer to extract; none is a compound one.
QSet<QString> extractExtensions() {
    QSet<QString> extensions;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        if (!row.fileManagerExtract) continue;
        for (const std::string_view suffix : row.suffixes) {
            if (!suffix.empty())
                extensions.insert(QString::fromLatin1(suffix.data(), qsizetype(suffix.size())));
        }
    }
    return extensions;
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
    for (QString& path : paths) path = QDir::cleanPath(base.absoluteFilePath(path));
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

bool FinderSync::openVelmora(const QString& action, const QStringList& paths) {
    if (paths.isEmpty()) return false;
    if (action == QLatin1String("extract") && !namesOnlyArchives(paths)) return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {actionUrl(action, paths)});
}
