#pragma once

#include <QString>
#include <QTypeInfo>
#include <optional>

// One row of an archive's listing, whichever tool or reader produced it. A plain value: copied
// freely, compared field by field; its identity in lists is its path.
struct ArchivePreviewEntry {
    QString path;  // inside the archive, "/"-separated; a folder's path ends with "/"
    qint64 byteSize = 0;
    QString sizeDescription;
    QString modifiedDescription;
    QString kindDescription;
    // Only for a name stored in a legacy encoding: the name as the tools print and take it, each byte
    // that is not UTF-8 kept as ToolText::escapedName keeps it. path is then its decoded form.
    QString toolPath;
    // A legacy name with no decoding (a file system's bytes that do not read as Chinese): path shows
    // its bytes readably, while items extracted from it keep the tool's name.
    bool undecodedName = false;

    const QString& id() const { return path; }

    bool operator==(const ArchivePreviewEntry& other) const = default;
};

// Its members move by their bytes, so a growing list of rows is moved with one block copy.
Q_DECLARE_TYPEINFO(ArchivePreviewEntry, Q_RELOCATABLE_TYPE);
