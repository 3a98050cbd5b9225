#include "app/LaunchRequest.h"

#include "app/ActionUrl.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kBackgroundLogin = QStringLiteral("--background-login");
const QString kServiceExtract = QStringLiteral("--service-extract");
const QString kServiceCompress = QStringLiteral("--service-compress");

const QStringList kVerbNames = {QStringLiteral("open"), QStringLiteral("activate"),
                                QStringLiteral("service-extract"), QStringLiteral("service-compress")};

// "scheme://..." names a URL; a bare "a:b.txt" is a file name.
bool isOtherUrl(const QString& argument) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return pattern.match(argument).hasMatch();
}

}  // namespace

LaunchRequest LaunchRequest::fromCommandLine(const QStringList& arguments, const QString& cwd) {
    LaunchRequest request{.arguments = {}, .cwd = cwd};
    for (const QString& argument : arguments) {
        if (argument == kBackgroundLogin) {
            request.backgroundLogin = true;
        } else if (argument == kServiceExtract) {
            request.verb = Verb::serviceExtract;
        } else if (argument == kServiceCompress) {
            request.verb = Verb::serviceCompress;
        } else {
            request.arguments.append(argument);
        }
    }
    if (request.verb == Verb::activate && !request.arguments.isEmpty()) request.verb = Verb::open;
    return request;
}

QByteArray LaunchRequest::encoded() const {
    const QJsonObject object{{QStringLiteral("verb"), kVerbNames.at(static_cast<int>(verb))},
                             {QStringLiteral("args"), QJsonArray::fromStringList(arguments)},
                             {QStringLiteral("cwd"), cwd}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<LaunchRequest> LaunchRequest::decoded(const QByteArray& bytes) {
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    const qsizetype verb = kVerbNames.indexOf(object.value(QStringLiteral("verb")).toString());
    if (verb < 0) return std::nullopt;
    LaunchRequest request{.verb = static_cast<Verb>(verb),
                          .arguments = {},
                          .cwd = object.value(QStringLiteral("cwd")).toString()};
    for (const QJsonValue& argument : object.value(QStringLiteral("args")).toArray()) {
        request.arguments.append(argument.toString());
    }
    return request;
}

LaunchArguments LaunchArguments::classify(const QStringList& arguments, const QString& cwd) {
    LaunchArguments sorted;
    const QDir base(cwd);
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) continue;
        if (ActionUrl::hasActionScheme(argument)) {
            sorted.actionURLs.append(argument);
        } else if (argument.startsWith(QLatin1String("file:"))) {
            const QUrl url(argument);
            if (url.isLocalFile()) sorted.paths.append(QDir::cleanPath(url.toLocalFile()));
        } else if (!isOtherUrl(argument)) {
            sorted.paths.append(QDir::cleanPath(base.absoluteFilePath(argument)));
        }
    }
    return sorted;
}
