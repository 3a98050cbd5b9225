#pragma once

#include <QString>

// Names derived from paths. Nothing here creates or changes a file.
namespace FileNameHelper {

// The last component of a path, trailing separators ignored: "/a/x.zip/" gives "x.zip".
QString lastPathComponent(const QString& url);

// The text after the last dot of the last path component, as written; empty when there is no dot.
QString pathExtension(const QString& url);

// A name less its last extension (the dot included); the name itself when it has no dot.
QString deletingPathExtension(const QString& name);

// The name a copy takes beside an item of the same name: "doc 1" for a folder, "note 1.txt" for a
// file (the number before the last extension; a leading dot does not start one, so ".bashrc 1").
QString numberedName(const QString& name, qint64 number, bool isFolder);

// A folder path under directoryURL that nothing occupies yet: baseName, then "baseName 1",
// "baseName 2", ... An empty baseName stands for "解压文件". The folder is not created.
QString uniqueDirectoryURL(const QString& baseName, const QString& directoryURL);

// The name an extraction folder gets: the file name less its last extension and a ".tar" before it
// (any case), or the whole file name when that would leave nothing.
QString archiveBaseName(const QString& fileURL);

}  // namespace FileNameHelper
