#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// Persistent key/value storage: one file <directory>/<key>.json per key holding exactly the stored
// bytes. Writes replace the file whole (AtomicFile), so a failed write leaves the old value; the folder
// is 0700 and files 0600 because passwords are stored here. A file that is there but cannot be read is
// never written over.
class DefaultsStore {
public:
    // A key's file as read: its bytes, or why a file that is there could not be read.
    struct Stored {
        std::optional<QByteArray> bytes;  // absent when there is no file or it could not be read
        std::optional<QString> readFailure;
    };

    // Where a value that could not be decoded was kept, or why it could not be.
    struct KeptCopy {
        QString path;
        std::optional<QString> failure;
    };

    // $XDG_CONFIG_HOME/velmora/defaults
    static QString standardDirectory();

    explicit DefaultsStore(QString directory = standardDirectory());

    const QString& directory() const { return m_directory; }
    QString filePath(const QString& key) const;

    Stored read(const QString& key) const;
    // The bytes, or nothing when there is no file or it cannot be read.
    std::optional<QByteArray> data(const QString& key) const;

    // Writes the value unless the stored bytes are already identical. The reason when the value could
    // not be written (the stored file cannot be read, the disk is full, ...); nothing on success.
    [[nodiscard]] std::optional<QString> write(const QString& key, const QByteArray& bytes);
    // write() for callers that only need to know whether it worked.
    bool setData(const QString& key, const QByteArray& bytes) { return !write(key, bytes); }

    // The reason when a stored value is there and could not be removed; nothing when it is gone.
    std::optional<QString> remove(const QString& key);

    // Called by a store that could not decode all of the value of key, before anything is written over
    // it: copies the bytes to <key>.json.bad-<UTC time, as 20261209T210300Z>, a name no later copy
    // takes. A copy of the same bytes that is already there is used instead, so the same damage is kept
    // once however often it is read. Touches only the folder, never this object.
    KeptCopy keepAside(const QString& key, const QByteArray& bytes, const QDateTime& now) const;

    // Removes what writes cut short by a kill left in the folder: the new files of a key's value or of a
    // kept copy (which may hold a new password). Only while nothing writes, as at a start.
    void removeStaleTemporaries() const;

private:
    std::optional<QString> ensureDirectory() const;
    std::optional<QString> existingCopy(const QString& key, const QByteArray& bytes) const;

    QString m_directory;
};
