#include "app/LaunchRequest.h"

#include "app/ActionUrl.h"
#include "core/base/InputItem.h"

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

const QStringList kKnownActions = {QStringLiteral("extract"), QStringLiteral("compress"),
                                   QStringLiteral("preview")};

const QStringList kVerbNames = {QStringLiteral("open"), QStringLiteral("activate"),
                                QStringLiteral("service-extract"), QStringLiteral("service-compress")};

// "scheme://..." names a URL; a bare "a:b.txt" is a file name.
bool isOtherUrl(const QString& argument) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return pattern.match(argument).hasMatch();
}

// Only a file, a folder or a link to one is taken: a pipe or a device would keep a tool waiting.
std::optional<QString> pathProblem(const QString& path) {
    switch (InputItem::stateOf(path)) {
        case InputItem::State::usable:
            return std::nullopt;
        case InputItem::State::missing:
            return QStringLiteral(u"找不到文件：") + path;
        case InputItem::State::notFileOrFolder:
            return InputItem::notFileOrFolderText(path);
    }
    return std::nullopt;
}

// A NUL as the link wrote it, "%00": the rest of the path is shown too.
QString shownWithNul(QString path) { return path.replace(QChar(0), QStringLiteral("%00")); }

QString nulProblem(const QString& path) {
    return QStringLiteral(u"链接中的路径含有空字符（%00），不是文件名：") + shownWithNul(path);
}

// A file: URL velmora takes names a local file; one with a host names a file on another computer.
std::optional<QString> fileUrlProblem(const QString& argument) {
    const QUrl url(argument);
    if (!url.isLocalFile()) return QStringLiteral(u"无法读取链接：") + argument;
    if (InputItem::localPathOf(url)) return std::nullopt;
    if (InputItem::holdsNul(url.toLocalFile())) return nulProblem(url.toLocalFile());
    return QStringLiteral(u"链接指向其他电脑（") + url.host() + QStringLiteral(u"）上的文件，velmora 只能打开本机的文件：") +
           argument;
}

std::optional<QString> actionUrlProblem(const QString& text) {
    const std::optional<ActionUrl> url = ActionUrl::read(text);
    if (!url) return QStringLiteral(u"无法读取链接：") + text;
    if (!kKnownActions.contains(url->action)) return QStringLiteral(u"未知操作：") + url->action;
    // The link came from elsewhere: a relative path would name a file in whatever folder velmora runs in.
    if (!url->relativePaths.isEmpty())
        return QStringLiteral(u"链接中的路径不是绝对路径：") + url->relativePaths.first();
    if (!url->pathsHoldingNul.isEmpty()) return nulProblem(url->pathsHoldingNul.first());
    return std::nullopt;
}

}  // namespace

LaunchRequest LaunchRequest::fromCommandLine(const QStringList& arguments, const QString& cwd) {
    LaunchRequest request{.arguments = {}, .cwd = cwd};
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded) {
            request.arguments.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            request.helpRequested = true;
        } else if (argument == kBackgroundLogin) {
            request.backgroundLogin = true;
        } else if (argument == kServiceExtract) {
            request.verb = Verb::serviceExtract;
        } else if (argument == kServiceCompress) {
            request.verb = Verb::serviceCompress;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (request.unknownOption.isEmpty()) request.unknownOption = argument;
        } else {
            request.arguments.append(argument);
        }
    }
    if (request.verb == Verb::activate && !request.arguments.isEmpty()) request.verb = Verb::open;
    return request;
}

std::optional<QString> LaunchRequest::problem() const {
    if (!unknownOption.isEmpty()) return QStringLiteral(u"未知选项：") + unknownOption;
    const QDir base(cwd);
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) continue;
        std::optional<QString> problem;
        if (ActionUrl::hasActionScheme(argument)) {
            problem = actionUrlProblem(argument);
        } else if (argument.startsWith(QLatin1String("file:"))) {
            problem = fileUrlProblem(argument);
        } else if (isOtherUrl(argument)) {
            problem = QStringLiteral(u"不支持的链接：") + argument;
        } else {
            problem = pathProblem(base.absoluteFilePath(argument));
        }
        if (problem) return problem;
    }
    if (verb == Verb::serviceExtract && arguments.isEmpty()) return QStringLiteral(u"没有找到可解压的文件。");
    if (verb == Verb::serviceCompress && arguments.isEmpty())
        return QStringLiteral(u"没有找到可压缩的文件。");
    return std::nullopt;
}

QString LaunchRequest::usage() {
    return QStringLiteral(
        u"用法：velmora [文件或 velmora:// 链接...]\n"
        u"      velmora --service-extract 压缩包...   解压\n"
        u"      velmora --service-compress 文件...    压缩为 ZIP\n"
        u"      velmora --background-login            登录时在后台启动\n"
        u"已在运行时，请求交给正在运行的 velmora；成功时退出码为 0，否则为 1，原因写在标准错误上。\n");
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
            if (const std::optional<QString> path = InputItem::localPathOf(QUrl(argument)))
                sorted.paths.append(InputItem::normalizedPath(*path));
        } else if (!isOtherUrl(argument)) {
            sorted.paths.append(InputItem::normalizedPath(base.absoluteFilePath(argument)));
        }
    }
    return sorted;
}
