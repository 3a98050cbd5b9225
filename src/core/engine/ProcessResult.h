#pragma once

#include <QString>

// What one tool run left behind. The runner never interprets the status; callers do.
struct ProcessResult {
    int status = 0;
    QString output;
    QString error;
};
