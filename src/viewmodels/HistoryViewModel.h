#pragma once

#include "core/state/ArchiveActivityKind.h"

#include <QObject>
#include <QString>
#include <optional>

class HistoryFilterProxy;
class HistoryTableModel;
class QAbstractItemModel;
class WorkbenchContext;

// The history page: the store's records as a table model, narrowed by the kind filter and the
// search, and "清空记录". The records follow the store; a save that fails is the context's alert.
class HistoryViewModel : public QObject {
    Q_OBJECT

public:
    explicit HistoryViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    // The kind shown; nothing shows all kinds.
    const std::optional<ArchiveActivityKind>& historyFilter() const { return m_historyFilter; }
    void setHistoryFilter(const std::optional<ArchiveActivityKind>& value);
    const QString& historySearch() const { return m_historySearch; }
    void setHistorySearch(const QString& value);

    // The rows the table shows, in the store's order.
    QAbstractItemModel* shownRecords() const;
    int shownCount() const;

    // Empties the whole history, whatever the filter and the search hide.
    void clearHistory();

Q_SIGNALS:
    void changed();

private:
    void syncRecords();

    WorkbenchContext& m_context;
    HistoryTableModel* m_records;
    HistoryFilterProxy* m_shown;
    std::optional<ArchiveActivityKind> m_historyFilter;
    QString m_historySearch;
};
