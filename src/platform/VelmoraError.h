#pragma once

#include <QString>
#include <exception>

// Base of every failure velmora reports: message() is the user-visible text.
class VelmoraError : public std::exception {
public:
    virtual QString message() const = 0;

    // The user-visible text of any failure: message() for ours, else what() in the system's encoding.
    static QString messageOf(const std::exception& error) {
        if (const auto* ours = dynamic_cast<const VelmoraError*>(&error)) return ours->message();
        return QString::fromLocal8Bit(error.what());
    }

    const char* what() const noexcept override {
        m_what = message().toUtf8();
        return m_what.constData();
    }

private:
    mutable QByteArray m_what;
};
