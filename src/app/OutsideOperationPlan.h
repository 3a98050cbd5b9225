#pragma once

#include "core/state/AppSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

// The pure decisions of an outside request: which inputs count, which archives reach the engine,
// where outputs go and what they are called.
namespace OutsideOperationPlan {

// One ZIP archive to write.
struct WorkItem {
    QString name;
    QStringList inputs;

    bool operator==(const WorkItem&) const = default;
};

// Duplicates removed; the first occurrence keeps its place, since the first input picks the
// destination and the name.
QStringList uniqueInOrder(const QStringList& inputs);

// One entry per split set (its first volume among those given, else the first given), at the place
// of the first of its volumes; other archives as they are.
QStringList archivesForEngine(const QStringList& archives);

// The default extraction folder when one is set, else the folder of the first input, else home.
QString destinationRoot(const QStringList& inputs, const AppSettings& settings);

// Without hidden items ("."-names and "__MACOSX") when the settings leave those out.
QStringList compressionInputs(const QStringList& inputs, const AppSettings& settings);

// One archive per input when there are several and compressToSeparateFolder is on, else one for all
// named after the single input or "Archive".
QList<WorkItem> workItems(const QStringList& inputs, const AppSettings& settings);

}  // namespace OutsideOperationPlan
