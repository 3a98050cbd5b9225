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

std::optional<QString> route(AppCoordinator& coordinator, const LaunchRequest& request) {
    const LaunchArguments arguments = LaunchArguments::classify(request.arguments, request.cwd);
    switch (request.verb) {
        case LaunchRequest::Verb::activate:
            coordinator.handleReopen();
            return std::nullopt;
        case LaunchRequest::Verb::open:
            open(coordinator, arguments);
            return std::nullopt;
        case LaunchRequest::Verb::serviceExtract:
            if (arguments.paths.isEmpty()) return QStringLiteral(u"没有找到可解压的文件。");
            coordinator.handleIncoming(arguments.paths);
            return std::nullopt;
        case LaunchRequest::Verb::serviceCompress:
            if (arguments.paths.isEmpty()) return QStringLiteral(u"没有找到可压缩的文件。");
            coordinator.compressIncoming(arguments.paths);
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> routeLaunch(AppCoordinator& coordinator, const LaunchRequest& request) {
    if (request.verb == LaunchRequest::Verb::activate) return std::nullopt;
    return route(coordinator, request);
}

}  // namespace RequestRouter
