#pragma once

#include <QString>
#include <optional>

// The per-user private base for temporary work, <system temp>/velmora-<uid> (mode 0700), and
// folders created inside it. The base is checked with lstat: a real directory owned by us, never a
// link, so another user cannot pre-plant or read it.
class PrivateTempDirectory {
public:
    // Creates the base if needed and returns its path; nothing when it is unsafe or cannot be made.
    static std::optional<QString> base();

    // Creates <base>/<relativeFolder> (0700 for every level below the base) and returns its path.
    static std::optional<QString> makeFolder(const QString& relativeFolder);

    // Whether path is a directory of ours with mode 0700, checked with lstat: a link never counts.
    static bool isPrivate(const QString& path);

    // From now on every folder made here is named in a work journal record that this process holds
    // until it exits: previews stay while velmora runs, and the next start removes what it left.
    static void recordFoldersInJournal();

    // Tests point the base at a folder of their own; an empty path restores the system default.
    static void setSystemTempPathForTesting(const QString& path);
};
