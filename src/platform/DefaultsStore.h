#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Persistent key/value storage: one file <directory>/<key>.json per key holding exactly the stored
// bytes. Writes are atomic; the folder is 0700 and files 0600 because passwords are stored here.
class DefaultsStore {
public:
    // $XDG_CONFIG_HOME/velmora/defaults
    static QString standardDirectory();

    explicit DefaultsStore(QString directory = standardDirectory());

    const QString& directory() const { return m_directory; }

    std::optional<QByteArray> data(const QString& key) const;

    // Writes the value unless the stored bytes are already identical. Returns false when the file
    // could not be written.
    bool setData(const QString& key, const QByteArray& bytes);

    void remove(const QString& key);

    // Called by a store that could not decode the value of key: copies it to <key>.json.bad so the
    // next write does not lose what the user had.
    void keepUndecodableValue(const QString& key);

private:
    QString filePath(const QString& key) const;
    bool ensureDirectory() const;

    QString m_directory;
};
