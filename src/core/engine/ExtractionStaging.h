#pragma once

#include <QString>

#include <filesystem>
#include <vector>

// Where a tool extracts: a private folder inside the destination. What the tool writes reaches the
// user's folder only when its run succeeded, moved there by renames on the same file system; a failed,
// cancelled or refused run leaves the destination as it was (one this created is removed again).
// No link out of the destination survives the move, and nothing is written through a link that was
// already there.
class ExtractionStaging {
public:
    // Creates the destination when it is missing, then the private folder in it. Throws
    // FileSystemError.
    explicit ExtractionStaging(const QString& destinationURL);
    // Removes the private folder with what is left in it.
    ~ExtractionStaging();
    ExtractionStaging(const ExtractionStaging&) = delete;
    ExtractionStaging& operator=(const ExtractionStaging&) = delete;

    const QString& path() const { return m_path; }

    // Moves the extracted items into the destination with the tools' overwrite rule: a file or link
    // replaces a file or link of the same name, and a folder merges into a folder of the same name (a
    // link to a folder counts as a file). Throws ArchiveError::destinationExists before anything moves
    // when a folder and a file would take one place, and FileSystemError when a move fails. A link the
    // tool pointed into the private folder is pointed at the same place in the destination. A link
    // that resolves outside the private folder is refused before anything moves, with
    // ArchiveError::extractFailed naming it; one that resolves outside the destination after the move
    // (through the destination's own links) is removed.
    void commit();

private:
    void requireLinksInside(const std::vector<std::filesystem::path>& links) const;
    void pointIntoDestination(const std::filesystem::path& link) const;
    void removeIfOutside(const std::filesystem::path& link) const;

    QString m_destination;
    QString m_path;
    bool m_createdDestination = false;
    bool m_committed = false;
};
