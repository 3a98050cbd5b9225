#pragma once

#include <QStringList>
#include <optional>

// The inputs of one compression as the tool sees them: the user's items in place, or copies of them in
// a private staging folder that the operation removes when it ends.
struct CompressionWorkspace {
    std::optional<QString> stagingRootURL;
    QStringList files;

    // Best effort; the user's own items are never touched.
    void removeStagingRoot() const;
};
