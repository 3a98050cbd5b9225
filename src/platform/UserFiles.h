#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <optional>

class DefaultsStore;

// Writing and removing the small files velmora keeps in the user's desktop folders (file associations,
// file-manager entries, the autostart entry). A failure is returned as the system's reason.
namespace UserFiles {

// Replaces the file atomically, creating its folders first.
std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             QFileDevice::Permissions permissions);

// A file that is not there is no failure.
std::optional<QString> remove(const QString& path);

// The folder and those of its parents that are not there, innermost first: what a write would create.
QStringList missingFolders(const QString& folder);

// Removes each folder that is empty, inner folders first; one that holds anything stays.
void removeEmptyFolders(QStringList folders);

// The folders velmora recorded under key as its own making (a JSON list of paths), so that switching a
// feature off removes what switching it on made, and nothing the user had.
QStringList createdFolders(const DefaultsStore& defaults, const QString& key);
std::optional<QString> recordCreatedFolders(DefaultsStore& defaults, const QString& key,
                                            const QStringList& folders);

}  // namespace UserFiles
