#pragma once

#include "core/state/ArchiveHistoryRecord.h"

#include <QList>
#include <QString>
#include <optional>

// What the history page lists: one implementation shared by its filter proxy and the tests.
namespace HistoryPageRules {

struct FilterButton {
    QString title;
    std::optional<ArchiveActivityKind> kind;
};

// "全部记录", "解压记录", "压缩记录". Split-volume records appear only under the first.
const QList<FilterButton>& filterButtons();

// The record has the filtered kind exactly, and its file name or path contains the trimmed search
// text, ignoring case.
bool isShown(const ArchiveHistoryRecord& record, const std::optional<ArchiveActivityKind>& kind,
             const QString& search);
QList<ArchiveHistoryRecord> filteredHistory(const QList<ArchiveHistoryRecord>& records,
                                            const std::optional<ArchiveActivityKind>& kind,
                                            const QString& search);

// "共 3 条记录".
QString recordCountText(qsizetype count);

}  // namespace HistoryPageRules
