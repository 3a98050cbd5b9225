#pragma once

#include "core/engine/ToolProgram.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What one tool run left behind. The runner never interprets the status; callers do.
struct ProcessResult {
    int status = 0;
    QString output;
    QString error;
    // Standard output as printed, only when it was not all UTF-8 (output then shows U+FFFD for each
    // byte that was not): names a tool printed in an archive's own encoding can go back to it.
    QByteArray outputBytes = {};
    // The archive program that ran, set by its driver (SevenZipTool, UnrarTool, InfoZipTool, TarTool):
    // a run is read only for its own program's words.
    std::optional<ToolProgram> program = std::nullopt;
};
