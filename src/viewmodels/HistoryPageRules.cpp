#include "viewmodels/HistoryPageRules.h"

namespace HistoryPageRules {

const QList<FilterButton>& filterButtons() {
    static const QList<FilterButton> buttons{
        {QStringLiteral(u"全部记录"), std::nullopt},
        {QStringLiteral(u"解压记录"), ArchiveActivityKind::extract},
        {QStringLiteral(u"压缩记录"), ArchiveActivityKind::compress},
    };
    return buttons;
}

bool isShown(const ArchiveHistoryRecord& record, const std::optional<ArchiveActivityKind>& kind,
             const QString& search) {
    if (kind && record.kind != *kind) return false;
    const QString query = search.trimmed();
    if (query.isEmpty()) return true;
    return record.fileName.contains(query, Qt::CaseInsensitive) ||
           record.path.contains(query, Qt::CaseInsensitive);
}

QList<ArchiveHistoryRecord> filteredHistory(const QList<ArchiveHistoryRecord>& records,
                                            const std::optional<ArchiveActivityKind>& kind,
                                            const QString& search) {
    QList<ArchiveHistoryRecord> shown;
    for (const ArchiveHistoryRecord& record : records) {
        if (isShown(record, kind, search)) shown << record;
    }
    return shown;
}

QString recordCountText(qsizetype count) {
    return QStringLiteral(u"共 ") + QString::number(count) + QStringLiteral(u" 条记录");
}

}  // namespace HistoryPageRules
