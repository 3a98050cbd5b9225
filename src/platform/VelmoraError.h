#pragma once

#include <QString>
#include <exception>

// Base of every failure velmora reports: message() is the user-visible text.
class VelmoraError : public std::exception {
public:
    virtual QString message() const = 0;

    const char* what() const noexcept override {
        m_what = message().toUtf8();
        return m_what.constData();
    }

private:
    mutable QByteArray m_what;
};
