#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

// Writing and removing the small files velmora keeps in the user's desktop folders (file associations,
// file-manager entries, the autostart entry). A failure is returned as the system's reason.
namespace UserFiles {

// Replaces the file atomically, creating its folders first.
std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             QFileDevice::Permissions permissions);

// A file that is not there is no failure.
std::optional<QString> remove(const QString& path);

}  // namespace UserFiles
