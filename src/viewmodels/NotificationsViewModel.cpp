#include "viewmodels/NotificationsViewModel.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/WorkbenchContext.h"

NotificationsViewModel::NotificationsViewModel(WorkbenchContext& context, QObject* parent)
    : QObject(parent), m_context(context) {
    connect(&context.workbenchStore(), &WorkbenchStore::notificationsChanged, this,
            &NotificationsViewModel::notificationsChanged);
}

const QList<AppNotificationItem>& NotificationsViewModel::notifications() const {
    return m_context.workbenchStore().notifications();
}

int NotificationsViewModel::unreadCount() const {
    return m_context.workbenchStore().unreadNotificationCount();
}

void NotificationsViewModel::markAllRead() { m_context.workbenchStore().markAllNotificationsRead(); }
