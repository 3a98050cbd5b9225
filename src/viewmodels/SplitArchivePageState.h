#pragma once

#include <QString>

// What the split-extract page shows: one case, and for two of them a payload. Compared by value, so a
// page can tell "failed with this message" from "failed with another".
class SplitArchivePageState {
public:
    enum class Case { failed, regularArchiveDetected, initial, scanning, recognized, incomplete };

    SplitArchivePageState() = default;

    static SplitArchivePageState failed(const QString& message) { return {Case::failed, message}; }
    // The chosen file turned out to be no volume of a split set.
    static SplitArchivePageState regularArchiveDetected(const QString& url) {
        return {Case::regularArchiveDetected, url};
    }
    static SplitArchivePageState initial() { return {}; }
    static SplitArchivePageState scanning() { return {Case::scanning, {}}; }
    static SplitArchivePageState recognized() { return {Case::recognized, {}}; }
    static SplitArchivePageState incomplete() { return {Case::incomplete, {}}; }

    Case kind() const { return m_case; }
    // The message of `failed`, the file of `regularArchiveDetected`; empty for the other cases.
    const QString& payload() const { return m_payload; }

    bool operator==(const SplitArchivePageState& other) const = default;

private:
    SplitArchivePageState(Case kind, QString payload) : m_case(kind), m_payload(std::move(payload)) {}

    Case m_case = Case::initial;
    QString m_payload;
};
