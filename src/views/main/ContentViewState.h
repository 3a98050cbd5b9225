#pragma once

#include "viewmodels/Publish.h"

#include <QObject>

// The main window's own view state that no page model holds: the open notification panel and the
// sidebar's split group. It lives as long as the
// window and is never saved, so switching pages keeps it. Every property has a getter, a setter that
// emits only on a change, and a change signal; every change also emits changed().
class ContentViewState : public QObject {
    Q_OBJECT

public:
    explicit ContentViewState(QObject* parent = nullptr);

    // Whether the notification panel of the top bar is open.
    bool isShowingNotifications() const { return m_isShowingNotifications; }
    void setIsShowingNotifications(bool value) {
        publish(this, m_isShowingNotifications, value, &ContentViewState::isShowingNotificationsChanged);
    }
    // Whether the sidebar shows the two split-archive pages.
    bool isSplitArchiveGroupExpanded() const { return m_isSplitArchiveGroupExpanded; }
    void setIsSplitArchiveGroupExpanded(bool value) {
        publish(this, m_isSplitArchiveGroupExpanded, value, &ContentViewState::isSplitArchiveGroupExpandedChanged);
    }

Q_SIGNALS:
    void changed();
    void isShowingNotificationsChanged();
    void isSplitArchiveGroupExpandedChanged();

private:
    bool m_isShowingNotifications = false;
    bool m_isSplitArchiveGroupExpanded = false;
};
