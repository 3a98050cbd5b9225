#include "platform/PreviousDefaultHandler.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QByteArray PreviousDefaultHandler::encoded(const QList<PreviousDefaultHandler>& handlers) {
    QJsonArray array;
    for (const PreviousDefaultHandler& entry : handlers) {
        QJsonObject object{{QStringLiteral("identifier"), entry.identifier},
                           {QStringLiteral("roleRawValue"), qint64(entry.roleRawValue)}};
        if (entry.handler) object.insert(QStringLiteral("handler"), *entry.handler);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<PreviousDefaultHandler>> PreviousDefaultHandler::decoded(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isArray()) return std::nullopt;
    QList<PreviousDefaultHandler> handlers;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        const QJsonValue identifier = object.value(QStringLiteral("identifier"));
        const QJsonValue role = object.value(QStringLiteral("roleRawValue"));
        const QJsonValue handler = object.value(QStringLiteral("handler"));
        if (!identifier.isString() || !role.isDouble() || !(handler.isString() || handler.isUndefined())) {
            return std::nullopt;
        }
        handlers.append({identifier.toString(), quint32(role.toInteger()),
                         handler.isString() ? std::optional(handler.toString()) : std::nullopt});
    }
    return handlers;
}
