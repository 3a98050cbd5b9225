#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Finds a tool's executable: a copy shipped in the application's resources folder wins over one
// installed on the machine. Only executable regular files count. Never throws; callers decide what
// an absent tool means.
namespace CommandLocator {

std::optional<QString> firstBundledOrExisting(const QStringList& toolNames, const QStringList& systemPaths);

// <resources>/Resources/Tools/<name>, then <resources>/Tools/<name>.
std::optional<QString> bundledTool(const QString& name);

std::optional<QString> firstExisting(const QStringList& paths);

}  // namespace CommandLocator
