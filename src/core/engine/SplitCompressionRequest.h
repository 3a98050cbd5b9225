#pragma once

#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// What a split compression is asked to write: files and folders, in order, as a ZIP or 7Z archive
// under the cleaned base name in destinationDirectoryURL, whole or in volumes of splitSizeBytes.
struct SplitCompressionRequest {
    QStringList files = {};
    QString destinationDirectoryURL = {};
    QString baseName = {};
    CompressionFormat format = CompressionFormat::zip;
    CompressionLevel level = CompressionLevel::standard;
    std::optional<QString> password = std::nullopt;
    int threadCount = 1;
    bool excludeHiddenFiles = false;
    bool splitEnabled = false;
    std::optional<qint64> splitSizeBytes = std::nullopt;
    // Earlier outputs of the name are replaced; otherwise they stop the run.
    bool overwriteExisting = false;
    // The written archive is tested before it takes its name.
    bool validateAfterCompletion = false;
};
