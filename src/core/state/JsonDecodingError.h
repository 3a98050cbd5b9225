#pragma once

#include "core/engine/VelmoraError.h"

// A stored record that does not decode. The stores catch it and fall back to an empty list; it never
// reaches the user, so its message only says which member was wrong.
class JsonDecodingError : public VelmoraError {
public:
    explicit JsonDecodingError(QString member) : m_member(std::move(member)) {}

    QString message() const override { return QStringLiteral("undecodable member: ") + m_member; }

private:
    QString m_member;
};
