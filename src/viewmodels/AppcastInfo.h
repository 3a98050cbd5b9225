#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The update feed: one JSON object whose six members are all required strings. Other members are
// ignored.
struct AppcastInfo {
    QString version;
    QString build;
    QString downloadURL;
    QString sha256;
    QString releaseNotes;
    QString publishedAt;

    // Nothing when the body is not such an object (a missing member, a null, a number for "build").
    static std::optional<AppcastInfo> decode(const QByteArray& body);
};
