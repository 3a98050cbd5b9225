#include "viewmodels/HistoryViewModel.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/HistoryFilterProxy.h"
#include "viewmodels/HistoryTableModel.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/Publish.h"
#include "viewmodels/WorkbenchContext.h"

HistoryViewModel::HistoryViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_records(new HistoryTableModel(this)),
      m_shown(new HistoryFilterProxy(this)) {
    m_shown->setSourceModel(m_records);
    connect(&context.workbenchStore(), &WorkbenchStore::historyChanged, this, &HistoryViewModel::syncRecords);
    syncRecords();
}

void HistoryViewModel::setHistoryFilter(const std::optional<ArchiveActivityKind>& value) {
    if (value == m_historyFilter) return;
    m_shown->setKindFilter(value);
    publish(this, m_historyFilter, value);
}

void HistoryViewModel::setHistorySearch(const QString& value) {
    if (value == m_historySearch) return;
    m_shown->setSearch(value);
    publish(this, m_historySearch, value);
}

QAbstractItemModel* HistoryViewModel::shownRecords() const { return m_shown; }

int HistoryViewModel::shownCount() const { return m_shown->rowCount(); }

void HistoryViewModel::clearHistory() {
    if (const std::optional<QString> failure = m_context.workbenchStore().clearHistory())
        m_context.setAlertMessage(OperationFailure::saveFailed(*failure));
}

void HistoryViewModel::syncRecords() {
    m_records->setRecords(m_context.workbenchStore().history());
    Q_EMIT changed();
}
