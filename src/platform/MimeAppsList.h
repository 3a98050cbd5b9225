#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One mimeapps.list file, edited in place: lines that are not changed are written back exactly as they
// were read (comments, other groups, other keys, their order and line ends).
class MimeAppsList {
public:
    static inline const QString kDefaultApplications = QStringLiteral("Default Applications");

    // Nothing when the bytes are not a key file we can edit safely: text that is not UTF-8, a line that is
    // neither blank, a comment, a [group] header nor key=value, or a key before the first group.
    static std::optional<MimeAppsList> parse(const QByteArray& bytes);

    // The desktop IDs listed under the key (the first occurrence), empty ones dropped.
    QStringList desktopIDs(const QString& group, const QString& key) const;
    bool contains(const QString& group, const QString& key) const;
    bool containsGroup(const QString& group) const;

    // Writes the IDs as "a.desktop;b.desktop;" in place of the key's first line (later duplicates go),
    // or adds the key at the end of its group, adding the group when it is missing.
    void setDesktopIDs(const QString& group, const QString& key, const QStringList& ids);
    void remove(const QString& group, const QString& key);

    // Puts "id;" in front of the key's value on its first line, leaving the rest of the line as it was,
    // or adds the key as setDesktopIDs does.
    void prependDesktopID(const QString& group, const QString& key, const QString& id);
    // Takes away the "id;" that the key's value starts with, so that a prepended line gets its own
    // bytes back; false when the value does not start with exactly that.
    bool removeLeadingDesktopID(const QString& group, const QString& key, const QString& id);

    QByteArray toBytes() const;

private:
    struct Line {
        QString text;
        QString group;
        // Empty for headers, comments and blank lines.
        QString key;
    };

    qsizetype indexOf(const QString& group, const QString& key) const;
    qsizetype insertionIndex(const QString& group) const;

    QList<Line> m_lines;
    bool m_endsWithNewline = true;
};
