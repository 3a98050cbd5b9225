#pragma once

#include "platform/VelmoraError.h"

// A stored or read record that does not decode. Callers catch it and fall back (an empty list, the
// defaults); it never reaches the user, so its message describes the fault for a developer.
class JsonDecodingError : public VelmoraError {
public:
    explicit JsonDecodingError(QString description) : m_description(std::move(description)) {}

    static JsonDecodingError member(const QString& key) {
        return JsonDecodingError(QStringLiteral("undecodable member: ") + key);
    }

    QString message() const override { return m_description; }

private:
    QString m_description;
};
