#include "core/engine/CommandLocator.h"

#include "platform/AppBundle.h"

#include <QFileInfo>

namespace CommandLocator {

namespace {
bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}
}  // namespace

std::optional<QString> bundledTool(const QString& name) {
    const QString resources = AppBundle::resourcesPath();
    if (resources.isEmpty()) return std::nullopt;
    return firstExisting({resources + QStringLiteral("/Resources/Tools/") + name,
                          resources + QStringLiteral("/Tools/") + name});
}

std::optional<QString> firstExisting(const QStringList& paths) {
    for (const QString& path : paths) {
        if (isExecutableFile(path)) return path;
    }
    return std::nullopt;
}

std::optional<QString> firstBundledOrExisting(const QStringList& toolNames, const QStringList& systemPaths) {
    for (const QString& name : toolNames) {
        if (std::optional<QString> bundled = bundledTool(name)) return bundled;
    }
    return firstExisting(systemPaths);
}

}  // namespace CommandLocator
