#include "app/OutsideOperationPlan.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ExtractionSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace OutsideOperationPlan {

namespace {

// Volumes of one set share folder, scheme and stem.
QString setKey(const QString& path, const SplitArchiveDetector::Match& match) {
    return QFileInfo(path).absolutePath() + QLatin1Char('/') +
           QString::number(static_cast<int>(match.format)) + QLatin1Char(':') + match.baseName;
}

}  // namespace

CheckedInputs checkedInputs(const QStringList& inputs) {
    CheckedInputs checked;
    for (const QString& input : inputs) {
        try {
            ExtractionSteps::requireItem(input);
            checked.usable.append(input);
        } catch (const ArchiveError&) {
            checked.refused.append({input, std::current_exception()});
        }
    }
    if (checked.usable.isEmpty()) return {.usable = inputs, .refused = {}};
    return checked;
}

QStringList uniqueInOrder(const QStringList& inputs) {
    QStringList unique;
    QSet<QString> seen;
    for (const QString& input : inputs) {
        if (seen.contains(input)) continue;
        seen.insert(input);
        unique.append(input);
    }
    return unique;
}

QStringList archivesForEngine(const QStringList& archives) {
    QStringList result;
    QHash<QString, qsizetype> slotOfSet;
    for (const QString& archive : archives) {
        const auto match = SplitArchiveDetector::detect(FileNameHelper::lastPathComponent(archive));
        if (!match) {
            result.append(archive);
            continue;
        }
        const QString key = setKey(archive, *match);
        const auto slot = slotOfSet.constFind(key);
        if (slot == slotOfSet.cend()) {
            slotOfSet.insert(key, result.size());
            result.append(archive);
        } else if (match->isPrimary) {
            result[*slot] = archive;
        }
    }
    return result;
}

QString destinationRoot(const QStringList& inputs, const AppSettings& settings) {
    if (!settings.defaultExtractLocationPath.isEmpty()) return settings.defaultExtractLocationPath;
    if (!inputs.isEmpty()) return QFileInfo(inputs.first()).absolutePath();
    return QDir::homePath();
}

}  // namespace OutsideOperationPlan
