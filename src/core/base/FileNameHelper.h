#pragma once

#include <QString>

// Names derived from paths. Nothing here creates or changes a file.
namespace FileNameHelper {

// The last component of a path, trailing separators ignored: "/a/x.zip/" gives "x.zip".
QString lastPathComponent(const QString& url);

// A text naming paths as the user sees it: each run of bytes that are not UTF-8 (kept as escaped
// bytes, ToolText::escapedName) with the ASCII around it in its path component shown as a legacy
// name is (LegacyNames: GB18030 when they read as Chinese, else code page 437), never as lone
// surrogates or U+FFFD. Texts without such bytes are returned as they are.
QString shownText(const QString& text);

// The last path component as the user sees it (shownText).
QString shownName(const QString& url);

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
