#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>

// One entry of the notification panel; title and message are stored already cleaned.
struct AppNotificationItem {
    QUuid id;
    QString title;
    QString message;
    QDateTime createdAt;
    bool isRead = false;

    bool operator==(const AppNotificationItem& other) const;

    QJsonObject toJson() const;
    // Throws JsonDecodingError.
    static AppNotificationItem fromJson(const QJsonValue& value);
};
