#pragma once

#include "app/LaunchRequest.h"

#include <QString>
#include <optional>

class AppCoordinator;

// Turns a launch request, the primary's own or one forwarded by a later launch, into the
// coordinator's entry points. Returns the text a later launch prints when the request cannot be
// served.
namespace RequestRouter {

// Why a request cannot be served, judged from the request alone, before any of its work.
std::optional<QString> refusal(const LaunchRequest& request);

std::optional<QString> route(AppCoordinator& coordinator, const LaunchRequest& request);

// The primary's own launch: as route(), except that a plain start leaves the main window to the
// launch sequence.
std::optional<QString> routeLaunch(AppCoordinator& coordinator, const LaunchRequest& request);

}  // namespace RequestRouter
