#pragma once

#include <QString>
#include <optional>

// The per-user private base for temporary work (mode 0700), and folders created inside it. The base is
// checked with lstat: a real directory owned by us, never a link, so another user cannot pre-plant or
// read it, and nothing is ever written through one.
class PrivateTempDirectory {
public:
    // Why no base can be had: the folder that stands in the way and the reason ("已被用户 nobody 占用").
    struct Problem {
        QString folder;
        QString reason;
    };

    // Creates the base if needed and returns its path: <system temp>/velmora-<uid>, else, where that
    // name is taken (another user's folder, a link) or cannot be made, <XDG_RUNTIME_DIR>/velmora-temp
    // when the runtime folder is private. Nothing when neither can be had.
    static std::optional<QString> base();
    // Why base() has nothing, told of the system temp's base; nothing when base() has a path.
    static std::optional<Problem> problem();

    // Creates <base>/<relativeFolder> (0700 for every level below the base) and returns its path.
    static std::optional<QString> makeFolder(const QString& relativeFolder);

    // Whether path is a directory of ours with mode 0700, checked with lstat: a link never counts.
    static bool isPrivate(const QString& path);

    // From now on every folder made here is named in a work journal record that this process holds
    // until it exits: previews stay while velmora runs, and the next start removes what it left.
    static void recordFoldersInJournal();
    // At a clean exit, once the work that used them has ended: removes the folders recorded since, and
    // the record with them; stops recording.
    static void removeRecordedFolders();

    // Tests point the base at a folder of their own; an empty path restores the system default.
    static void setSystemTempPathForTesting(const QString& path);
};
