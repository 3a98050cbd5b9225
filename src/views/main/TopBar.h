#pragma once

#include <QWidget>

class BellButton;
class ContentViewState;
class WorkbenchContext;
class NotificationCenterPanel;
class NotificationsViewModel;
class QLabel;

// The strip above every page: the page's title and the bell, whose dot shows while a notification is
// unread. The bell opens and closes the notification panel below it through the view state's
// isShowingNotifications; closing the panel by clicking elsewhere clears that flag.
class TopBar : public QWidget {
    Q_OBJECT

public:
    TopBar(WorkbenchContext& model, NotificationsViewModel& notifications, ContentViewState& viewState,
           QWidget* parent = nullptr);

    QString title() const;
    BellButton* bell() const { return m_bell; }
    // The popover window of the panel (a popup while shown).
    QWidget* notificationPopover() const { return m_popover; }
    NotificationCenterPanel* notificationPanel() const { return m_panel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncFromModel();
    void syncPopover();

    WorkbenchContext& m_model;
    NotificationsViewModel& m_notifications;
    ContentViewState& m_viewState;
    QLabel* m_title;
    BellButton* m_bell;
    QWidget* m_popover;
    NotificationCenterPanel* m_panel;
};
