#pragma once

#include "core/state/AppNotificationItem.h"

#include <QList>
#include <QObject>

class WorkbenchContext;

// The notification panel and the top bar's bell: the store's notifications, newest first, and "全部已读".
// notificationsChanged() follows the store. A save that fails is the context's alert, as for every
// background write of the workbench lists.
class NotificationsViewModel : public QObject {
    Q_OBJECT

public:
    explicit NotificationsViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    const QList<AppNotificationItem>& notifications() const;
    int unreadCount() const;
    void markAllRead();

Q_SIGNALS:
    void notificationsChanged();

private:
    WorkbenchContext& m_context;
};
