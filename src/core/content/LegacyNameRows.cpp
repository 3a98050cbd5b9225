#include "core/content/LegacyNameRows.h"

#include "core/base/ToolText.h"
#include "core/content/PreviewEntryRules.h"

#include <QStringList>

namespace LegacyNameRows {

void decode(QList<ArchivePreviewEntry>& entries, LegacyNames::Source source) {
    QList<QByteArray> names;
    for (const ArchivePreviewEntry& entry : entries) {
        if (!entry.toolPath.isEmpty()) names.append(ToolText::encodedName(entry.toolPath));
    }
    if (names.isEmpty()) return;
    const LegacyNames legacy(names, source);
    qsizetype next = 0;
    for (ArchivePreviewEntry& entry : entries) {
        if (entry.toolPath.isEmpty()) continue;
        const QByteArray& name = names[next++];
        const std::optional<QString> decoded = legacy.decoded(name);
        entry.undecodedName = !decoded;
        entry.path = decoded ? *decoded : legacy.shown(name);
        entry.kindDescription = PreviewEntryRules::kindDescription(entry.path);
    }
}

QHash<QByteArray, QString> componentDecodings(const QList<ArchivePreviewEntry>& entries,
                                              Undecodable undecodable) {
    const bool keepToolName = undecodable == Undecodable::keepToolName;
    QHash<QByteArray, QString> decodings;
    for (const ArchivePreviewEntry& entry : entries) {
        if (entry.toolPath.isEmpty()) continue;
        const QList<QByteArray> printed = ToolText::encodedName(entry.toolPath).split('/');
        const QStringList shown = entry.path.split(QLatin1Char('/'));
        if (printed.size() != shown.size()) continue;
        if (entry.undecodedName && keepToolName) continue;
        for (qsizetype index = 0; index < printed.size(); ++index) {
            if (!ToolText::isValidUtf8(printed[index])) decodings.insert(printed[index], shown[index]);
        }
    }
    return decodings;
}

}  // namespace LegacyNameRows
