#pragma once

#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/state/ArchiveTask.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Texts and rules the main window's pages show, as pure functions so they are tested without widgets.
namespace WorkbenchTexts {

// A byte count in the file style, or "-" for 0.
QString sizeText(qint64 bytes);
// "约 " and the size, or "-" for 0.
QString estimateText(qint64 bytes);

// "文件夹" for a name without an extension; otherwise the archive kind's name (compound suffixes
// included, a volume's set: "7Z 文件" for a.7z.001) or the upper-cased extension, followed by " 文件".
QString fileTypeText(const QString& path);

// The distinct archive kinds of the paths (the kind's name, else the upper-cased extension), sorted
// and joined with ", "; "-" when there is none.
QString selectedArchiveFormats(const QStringList& paths);

// Why the compress page's password field is off for a format that cannot encrypt; nothing when the
// format takes a password.
std::optional<QString> passwordUnavailableNote(CompressionFormat format);

// The progress in whole percent, cut toward zero and not limited above ("120%"); a value that is
// not a finite number, or below 0, gives "0%".
int percent(double progress);
QString percentText(double progress);

// The first task in list order that is running.
std::optional<ArchiveTask> firstRunningTask(const QList<ArchiveTask>& tasks);

// How many columns of at least `minimumWidth` with `spacing` between them fit in `width`; at least 1.
int gridColumns(int width, int minimumWidth, int spacing);

}  // namespace WorkbenchTexts
