#pragma once

#include <QJsonObject>
#include <QString>

// The state of one expected volume: missing (with the name it must have), duplicated or unreadable
// (with the text shown for it), or found.
class SplitArchivePartStatus {
public:
    enum class Case { missing, duplicate, warning, found };

    static SplitArchivePartStatus missing(const QString& expectedFileName) {
        return {Case::missing, expectedFileName};
    }
    static SplitArchivePartStatus duplicate(const QString& message) { return {Case::duplicate, message}; }
    static SplitArchivePartStatus warning(const QString& message) { return {Case::warning, message}; }
    static SplitArchivePartStatus found() { return {Case::found, {}}; }

    Case statusCase() const { return m_case; }
    // The expected file name of `missing`, the message of `duplicate` and `warning`; empty for `found`.
    const QString& text() const { return m_text; }

    bool operator==(const SplitArchivePartStatus& other) const = default;

    // An object with one key, the case name, holding an object of the associated values.
    QJsonObject toJson() const;
    // Throws JsonDecodingError; an object without exactly one key fails with "Invalid number of keys
    // found, expected one.".
    static SplitArchivePartStatus fromJson(const QJsonValue& value);

private:
    SplitArchivePartStatus(Case statusCase, QString text) : m_case(statusCase), m_text(std::move(text)) {}

    Case m_case;
    QString m_text;
};
