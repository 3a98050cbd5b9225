#pragma once

#include "core/base/CancellationToken.h"
#include "platform/WorkJournal.h"

#include <QHash>
#include <QString>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

// Where a tool extracts: a private folder inside the destination. What the tool writes reaches the
// user's folder only when its run succeeded, moved there by renames on the same file system; a failed,
// cancelled or refused run leaves the destination as it was (one this created is removed again).
// Nothing of the user's is replaced or merged into, no link out of the destination survives the move,
// and nothing is written through a link that was already there; a device node, a named pipe or a socket
// a tool made goes in as an empty file. The private folder (and a destination this creates) is recorded
// in the work journal while it exists, so a start after a killed run removes it; so are the items of a
// commit until it is done, so that a start after a run killed between two moves first takes back what
// had moved.
class ExtractionStaging {
public:
    // The top-level items that went in under another name: name in the archive -> name given.
    using Renames = QHash<QString, QString>;

    // Creates the destination when it is missing, then the private folder in it. Throws
    // FileSystemError.
    explicit ExtractionStaging(const QString& destinationURL);
    // Removes the private folder with what is left in it.
    ~ExtractionStaging();
    ExtractionStaging(const ExtractionStaging&) = delete;
    ExtractionStaging& operator=(const ExtractionStaging&) = delete;

    const QString& path() const { return m_path; }

    // Moves the extracted top-level items into the destination, never replacing or merging into what
    // is there: an item whose name is taken (by anything, a dangling link included) goes in under the
    // next free numbered name ("note 1.txt", "doc 1"). Each move is one rename that fails instead of
    // replacing (ExclusiveRename), so a name taken after it looked free is not overwritten either; the
    // next number is tried. Throws FileSystemError when a move fails. A link the tool pointed into the
    // private folder, or across top-level items into one that was renamed, is pointed at the same item
    // in the destination. A link that resolves outside the private folder
    // is refused before anything moves, with ArchiveError::extractFailed naming it; one that resolves
    // outside the destination after the move (through the destination's own links) is removed.
    // Throws CancellationError when token is cancelled while a free name is looked for.
    Renames commit(const CancellationToken& token);

private:
    using Placed = std::map<std::filesystem::path, std::filesystem::path>;  // renamed top-level items

    void requireLinksInside(const std::vector<std::filesystem::path>& links) const;
    std::filesystem::path moveIn(const std::filesystem::path& item, const CancellationToken& token) const;
    void repoint(const std::filesystem::path& relativeLink, const Placed& placed) const;
    void removeIfOutside(const std::filesystem::path& link) const;
    std::filesystem::path placedPath(const std::filesystem::path& relative, const Placed& placed) const;

    std::unique_ptr<WorkJournal::Record> m_journal;
    QString m_destination;
    QString m_path;
    bool m_createdDestination = false;
    bool m_committed = false;
};
