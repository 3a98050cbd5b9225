#pragma once

#include <QString>
#include <QTemporaryDir>

// A folder on a small file system of its own (tmpfs) that a test fills up, so that writes fail as on a
// full disk. Mounting needs root, as the tests have in CI; without it, fill() instead caps the size of
// files this process may write (RLIMIT_FSIZE, EFBIG), so writes still fail inside the same calls.
class FullDisk {
public:
    FullDisk();
    // Over an existing folder, whose contents it hides until it goes.
    explicit FullDisk(QString folder);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return m_path; }
    // Whether it is a file system of its own: only then does a tool run out of space on it.
    bool mounted() const { return m_mounted; }
    QString path(const QString& relative) const { return m_path + QLatin1Char('/') + relative; }

    // Takes the last free byte; writes fail from now on until free(). On a file system of its own it can
    // leave `leaving` bytes free instead, so that a file grows that far and no further.
    void fill(qsizetype leaving = 0);
    void free();

    // The reason a write gives while the disk is full, as velmora words it.
    QString reason() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
    bool m_full = false;
};
