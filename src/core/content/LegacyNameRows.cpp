#include "core/content/LegacyNameRows.h"

#include "platform/ToolText.h"
#include "core/content/PreviewEntryRules.h"

#include <QRegularExpression>
#include <QStringList>

namespace LegacyNameRows {

namespace {

// The shown components that stand for each printed one, where the printed "\" became "/": empty when
// the counts do not agree (a byte 0x5C inside a two-byte character).
QStringList rejoined(const QList<QByteArray>& printed, const QStringList& shown) {
    QStringList joined;
    qsizetype next = 0;
    for (const QByteArray& component : printed) {
        const qsizetype pieces = component.count('\\') + 1;
        if (next + pieces > shown.size()) return {};
        joined.append(shown.mid(next, pieces).join(QLatin1Char('\\')));
        next += pieces;
    }
    return next == shown.size() ? joined : QStringList();
}

}  // namespace

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

void separateFolders(QList<ArchivePreviewEntry>& entries) {
    for (ArchivePreviewEntry& entry : entries) {
        if (!entry.path.contains(QLatin1Char('\\'))) continue;
        if (entry.toolPath.isEmpty()) entry.toolPath = entry.path;
        // A folder entry "a\" is listed as "a\/".
        const bool folder = entry.path.endsWith(QLatin1Char('/')) || entry.path.endsWith(QLatin1Char('\\'));
        static const QRegularExpression separator(QStringLiteral("[/\\\\]"));
        entry.path = entry.path.split(separator, Qt::SkipEmptyParts).join(QLatin1Char('/'));
        if (folder) entry.path += QLatin1Char('/');
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
        QStringList shown = entry.path.split(QLatin1Char('/'));
        if (printed.size() != shown.size()) shown = rejoined(printed, shown);
        if (printed.size() != shown.size()) continue;
        if (entry.undecodedName && keepToolName) continue;
        for (qsizetype index = 0; index < printed.size(); ++index) {
            if (!ToolText::isValidUtf8(printed[index])) decodings.insert(printed[index], shown[index]);
        }
    }
    return decodings;
}

}  // namespace LegacyNameRows
