#include "app/ActionUrl.h"

#include "core/base/InputItem.h"
#include "platform/ToolText.h"


namespace {

const QString kScheme = QStringLiteral("velmora:");

// Bytes that are not UTF-8 (a file name's, percent-encoded) are kept as ToolText::escapedName keeps them.
QString decoded(QStringView text) { return ToolText::escapedName(QByteArray::fromPercentEncoding(text.toUtf8())); }

// The value of a "path" item, decoded; nothing for other items.
std::optional<QString> pathValue(QStringView item) {
    const qsizetype equals = item.indexOf(QLatin1Char('='));
    if (equals < 0 || decoded(item.left(equals)) != QLatin1String("path")) return std::nullopt;
    return decoded(item.mid(equals + 1));
}

// The host of "//host/path", else the path trimmed of "/" at both ends.
QString actionOf(QStringView hierarchy) {
    if (hierarchy.startsWith(u"//")) {
        const QStringView authority = hierarchy.mid(2);
        const QString host = authority.left(authority.indexOf(QLatin1Char('/'))).toString();
        if (!host.isEmpty()) return host;
        hierarchy = authority;
    }
    QStringView path = hierarchy;
    while (path.startsWith(QLatin1Char('/'))) path = path.mid(1);
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path.toString();
}

}  // namespace

bool ActionUrl::hasActionScheme(const QString& text) { return text.startsWith(kScheme); }

std::optional<ActionUrl> ActionUrl::read(const QString& text) {
    if (!hasActionScheme(text)) return std::nullopt;
    QStringView rest = QStringView(text).mid(kScheme.size());
    rest = rest.left(rest.indexOf(QLatin1Char('#')));
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    ActionUrl url;
    url.action = actionOf(rest.left(question));
    if (question < 0) return url;
    for (QStringView item : rest.mid(question + 1).split(QLatin1Char('&'))) {
        const std::optional<QString> path = pathValue(item);
        if (!path || path->isEmpty()) continue;
        if (InputItem::holdsNul(*path)) {
            url.pathsHoldingNul.append(*path);
        } else if (path->startsWith(QLatin1Char('/'))) {
            url.paths.append(InputItem::normalizedPath(*path));
        } else {
            url.relativePaths.append(*path);
        }
    }
    return url;
}
