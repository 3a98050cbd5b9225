#pragma once

#include <QWidget>

struct AppNotificationItem;
class NotificationsViewModel;
class QPushButton;
class QVBoxLayout;

// The workbench notifications, newest first (at most 40), with "全部已读". Opening or scrolling it
// reads nothing: only the button marks notifications read. Shown in the top bar's popover.
class NotificationCenterPanel : public QWidget {
    Q_OBJECT

public:
    explicit NotificationCenterPanel(NotificationsViewModel& model, QWidget* parent = nullptr);

    QPushButton* markAllReadButton() const { return m_markAllRead; }
    // How many notification rows are shown.
    int rowCount() const;

private:
    void rebuild();
    QWidget* notificationRow(const AppNotificationItem& item);

    NotificationsViewModel& m_model;
    QPushButton* m_markAllRead;
    QVBoxLayout* m_rows;
};
