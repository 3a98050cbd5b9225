#pragma once

#include <QByteArray>
#include <QString>

// What one tool run left behind. The runner never interprets the status; callers do.
struct ProcessResult {
    int status = 0;
    QString output;
    QString error;
    // Standard output as printed, only when it was not all UTF-8 (output then shows U+FFFD for each
    // byte that was not): names a tool printed in an archive's own encoding can go back to it.
    QByteArray outputBytes = {};
};
