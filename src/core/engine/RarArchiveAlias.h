#pragma once

#include <QString>
#include <QStringList>

// unrar reads its archive argument as a wildcard mask, so "r?.rar" would also open a neighbouring
// rr.rar. Such a path reaches unrar through a fresh private folder of symbolic links to the archive and
// to the other volumes of its set, each named "archive" plus the volume's own suffix, so unrar still
// walks from volume to volume. The folder goes with the alias, however the run ends. Any other path is
// given to unrar as it stands.
class RarArchiveAlias {
public:
    // Throws FileSystemError when the folder or a link cannot be made.
    explicit RarArchiveAlias(const QString& archiveURL);
    ~RarArchiveAlias();

    RarArchiveAlias(const RarArchiveAlias&) = delete;
    RarArchiveAlias& operator=(const RarArchiveAlias&) = delete;

    // The path to give unrar in place of the archive.
    const QString& path() const { return m_path; }

private:
    void linkSet(const QString& archiveURL);
    QString link(const QString& target, const QString& linkName);
    void removeFolder();

    QString m_path;
    QString m_folder;  // empty when the archive is given as it stands
    QStringList m_links;
};
