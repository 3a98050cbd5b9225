#pragma once

#include <QStringList>

// What a split compression wrote: the volumes in order (a split ZIP's .zip main volume last), and whether
// the requested test ran and passed. Without a requested test validationPassed is false.
struct SplitCompressionResult {
    QStringList outputURLs;
    bool validationPassed = false;

    bool operator==(const SplitCompressionResult&) const = default;
};
