#pragma once

#include <QStringList>
#include <utility>

// Holds access to user-chosen files for the length of one operation. Linux has no sandbox, so every
// file is always accessible and the operation simply runs; callers still wrap their work so the
// place where access is needed stays visible.
namespace SecurityScopedAccessHelper {

template <typename Operation>
decltype(auto) withAccess(const QStringList& urls, Operation&& operation) {
    Q_UNUSED(urls);
    return std::forward<Operation>(operation)();
}

}  // namespace SecurityScopedAccessHelper
