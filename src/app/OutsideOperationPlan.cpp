#include "app/OutsideOperationPlan.h"

#include "core/base/FileNameHelper.h"
#include "core/base/SplitArchiveDetector.h"
#include "core/engine/CompressionStaging.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace OutsideOperationPlan {

namespace {

// The name an archive of one input gets: the input's name less its last extension.
QString archiveName(const QString& input) {
    const QString fileName = FileNameHelper::lastPathComponent(input);
    const QString stem = FileNameHelper::deletingPathExtension(fileName);
    return stem.isEmpty() ? fileName : stem;
}

// Volumes of one set share folder, scheme and stem.
QString setKey(const QString& path, const SplitArchiveDetector::Match& match) {
    return QFileInfo(path).absolutePath() + QLatin1Char('/') +
           QString::number(static_cast<int>(match.format)) + QLatin1Char(':') + match.baseName;
}

}  // namespace

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

QStringList compressionInputs(const QStringList& inputs, const AppSettings& settings) {
    return settings.ignoreHiddenFilesWhenCompressing ? CompressionStaging::withoutHiddenInputs(inputs)
                                                     : inputs;
}

QList<WorkItem> workItems(const QStringList& inputs, const AppSettings& settings) {
    if (inputs.size() > 1 && settings.compressToSeparateFolder) {
        QList<WorkItem> items;
        for (const QString& input : inputs) items.append({archiveName(input), {input}});
        return items;
    }
    if (inputs.isEmpty()) return {};
    return {{inputs.size() == 1 ? archiveName(inputs.first()) : QStringLiteral("Archive"), inputs}};
}

}  // namespace OutsideOperationPlan
