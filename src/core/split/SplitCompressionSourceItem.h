#pragma once

#include <QString>
#include <QtGlobal>

// One file or folder in the split-compress form's source list.
struct SplitCompressionSourceItem {
    QString id;
    QString url;
    qint64 sizeBytes = 0;
    bool isDirectory = false;
    bool isReadable = false;

    // "文件夹", "<EXTENSION> 文件" or "文件".
    QString typeDescription() const;

    bool operator==(const SplitCompressionSourceItem&) const = default;
};
