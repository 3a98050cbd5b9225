#pragma once

#include <QString>
#include <optional>

// One row of the default-handler status: an archive type in one role.
struct DefaultArchiveToolResult {
    QString displayName;
    // The MIME type the row reads.
    QString identifier;
    QString roleName;
    bool isDefaultOpenRole = false;
    bool isVelmora = false;
    // The desktop ID of the current default, none when the desktop has none.
    std::optional<QString> currentHandler;

    bool operator==(const DefaultArchiveToolResult&) const = default;
};
