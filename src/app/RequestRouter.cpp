#include "app/RequestRouter.h"

#include "app/AppCoordinator.h"

namespace RequestRouter {

namespace {

// Files and URLs opened with velmora: action URLs win and the rest of the batch is ignored;
// otherwise the files go to the archive browser.
void open(AppCoordinator& coordinator, const LaunchArguments& arguments) {
    coordinator.markExternalOpen();
    if (!arguments.actionURLs.isEmpty()) {
        for (const QString& url : arguments.actionURLs) coordinator.handleActionURL(url);
        return;
    }
    coordinator.openFiles(arguments.paths);
}

}  // namespace

std::optional<QString> refusal(const LaunchRequest& request) {
    const bool service = request.verb == LaunchRequest::Verb::serviceExtract ||
                         request.verb == LaunchRequest::Verb::serviceCompress;
    if (!service || !LaunchArguments::classify(request.arguments, request.cwd).paths.isEmpty())
        return std::nullopt;
    return request.verb == LaunchRequest::Verb::serviceExtract ? QStringLiteral(u"没有找到可解压的文件。")
                                                               : QStringLiteral(u"没有找到可压缩的文件。");
}

std::optional<QString> route(AppCoordinator& coordinator, const LaunchRequest& request) {
    if (std::optional<QString> refused = refusal(request)) return refused;
    const LaunchArguments arguments = LaunchArguments::classify(request.arguments, request.cwd);
    switch (request.verb) {
        case LaunchRequest::Verb::activate:
            coordinator.handleReopen();
            break;
        case LaunchRequest::Verb::open:
            open(coordinator, arguments);
            break;
        case LaunchRequest::Verb::serviceExtract:
            coordinator.handleIncoming(arguments.paths);
            break;
        case LaunchRequest::Verb::serviceCompress:
            coordinator.compressIncoming(arguments.paths);
            break;
    }
    return std::nullopt;
}

std::optional<QString> routeLaunch(AppCoordinator& coordinator, const LaunchRequest& request) {
    if (request.verb == LaunchRequest::Verb::activate) return std::nullopt;
    return route(coordinator, request);
}

}  // namespace RequestRouter
