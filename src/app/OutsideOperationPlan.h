#pragma once

#include "core/engine/OperationOutputs.h"
#include "core/state/AppSettings.h"

#include <QString>
#include <QStringList>

// What only outside requests decide: which inputs count, which archives reach the engine, and where
// outputs go. Everything else is the pages' engine step (WorkbenchEngine::compressSources).
namespace OutsideOperationPlan {

// Duplicates removed; the first occurrence keeps its place, since the first input picks the
// destination and the name.
QStringList uniqueInOrder(const QStringList& inputs);

// One entry per split set (its first volume among those given, else the first given), at the place
// of the first of its volumes; other archives as they are.
QStringList archivesForEngine(const QStringList& archives);

// The inputs of an operation sorted by the engine's own check (ExtractionSteps::requireItem): those a
// tool may be given, and a failure for each that is gone or is no file or folder, so that the rest
// still runs and the refused ones are named with their reasons from the start. With none usable, all
// go to the engine, whose refusal is then the run's, as on the pages.
struct CheckedInputs {
    QStringList usable;
    QList<ArchiveFailure> refused;
};
CheckedInputs checkedInputs(const QStringList& inputs);

// The default extraction folder when one is set, else the folder of the first input, else home.
QString destinationRoot(const QStringList& inputs, const AppSettings& settings);

}  // namespace OutsideOperationPlan
