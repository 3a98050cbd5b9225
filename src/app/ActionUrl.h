#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// One velmora:// request as the file-manager extension writes it:
// velmora://<action>?path=<percent-encoded path>&path=...
// Read from the raw text: QUrl would lower-case the action and could turn "+" into a space.
struct ActionUrl {
    QString action;
    // Absolute local paths, in query order.
    QStringList paths;
    // The values of "path" items that are not absolute (and not empty), skipped from paths.
    QStringList relativePaths = {};
    // The values that hold a NUL character ("%00"), which no file name holds, skipped from paths.
    QStringList pathsHoldingNul = {};

    // True when the text starts with the scheme "velmora:" exactly (case-sensitive).
    static bool hasActionScheme(const QString& text);

    // Nothing for another scheme. The action is the host, or without one the path trimmed of "/".
    // Every "path" item with an absolute value counts; an empty or relative value is skipped, so a
    // link on a web page cannot point an action at the working directory (a relative one is kept in
    // relativePaths, for the command line to refuse, as it refuses pathsHoldingNul).
    static std::optional<ActionUrl> read(const QString& text);
};
