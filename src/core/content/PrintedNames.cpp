#include "core/content/PrintedNames.h"

#include "platform/ToolText.h"

#include <algorithm>

std::optional<PrintedNames::Place> PrintedNames::placeOf(qsizetype lineIndex, QStringView line,
                                                         QStringView name) {
    // Asked for every row: names are short, and a library search costs more to set up than to run.
    if (std::none_of(name.begin(), name.end(), [](QChar c) { return c == QChar::ReplacementCharacter; }))
        return std::nullopt;
    const qsizetype start = name.data() - line.data();
    return Place{lineIndex, start, line.size() - start - name.size()};
}

void PrintedNames::apply(QList<ArchivePreviewEntry>& rows, QByteArrayView printed) const {
    if (printed.isEmpty()) return;
    qsizetype lineIndex = 0;
    qsizetype lineStart = 0;
    for (const auto& [row, place] : m_names) {
        for (; lineIndex < place.line; ++lineIndex) {
            const qsizetype lineFeed = printed.indexOf('\n', lineStart);
            if (lineFeed < 0) return;  // fewer lines than the text: no name can be found
            lineStart = lineFeed + 1;
        }
        const qsizetype lineFeed = printed.indexOf('\n', lineStart);
        const QByteArrayView line =
            printed.sliced(lineStart, (lineFeed < 0 ? printed.size() : lineFeed) - lineStart);
        const qsizetype end = line.size() - place.tail;
        if (end < place.start) continue;
        ArchivePreviewEntry& entry = rows[row];
        entry.toolPath = ToolText::escapedName(line.sliced(place.start, end - place.start));
        if (entry.path.endsWith(QLatin1Char('/')) && !entry.toolPath.endsWith(QLatin1Char('/')))
            entry.toolPath += QLatin1Char('/');
    }
}
