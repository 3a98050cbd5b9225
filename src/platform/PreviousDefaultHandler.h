#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// A default that was in effect before velmora took an archive type over, kept to give it back.
struct PreviousDefaultHandler {
    // The MIME type.
    QString identifier;
    // One default serves every role here, so this is always the all-roles mask.
    quint32 roleRawValue = 0xFFFFFFFF;
    std::optional<QString> handler;

    bool operator==(const PreviousDefaultHandler&) const = default;

    // A compact JSON array of {"identifier", "roleRawValue", "handler"}; "handler" left out when absent.
    static QByteArray encoded(const QList<PreviousDefaultHandler>& handlers);
    // Nothing when the bytes are not such an array.
    static std::optional<QList<PreviousDefaultHandler>> decoded(const QByteArray& json);
};
