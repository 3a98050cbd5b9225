#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// A pseudo-terminal that types a password for a program that reads it from its terminal (zip -e,
// unzip), so that the password never stands on a command line. The program gets the terminal as
// standard input and, being a session leader that opens it, as its controlling terminal (/dev/tty).
// Such a program turns echo off before it reads: whenever echo is off and nothing typed is waiting, the
// terminal types the password and a line break. An answer typed too early is discarded by the
// program's own flush when it turns echo off, and then typed again. A program that asks again after a
// wrong password gets the same answer; unzip gives up after its own tries.
class PasswordTerminal {
public:
    // Nothing when the system has no pseudo-terminal to give.
    static std::unique_ptr<PasswordTerminal> open(const QString& password);
    ~PasswordTerminal();
    PasswordTerminal(const PasswordTerminal&) = delete;
    PasswordTerminal& operator=(const PasswordTerminal&) = delete;

    // The path the child opens as its standard input, without O_NOCTTY.
    const QByteArray& childPath() const { return m_childPath; }
    // Readable when the terminal shows something; serve() reads it.
    int fd() const { return m_controller; }

    // Drops what the terminal shows and answers a waiting prompt. Echo changes raise no event, so the
    // caller also calls this every few milliseconds while the program runs.
    void serve();

private:
    PasswordTerminal(int controller, int terminal, QByteArray childPath, QByteArray answer);

    int m_controller;
    int m_terminal;
    QByteArray m_childPath;
    QByteArray m_answer;
};
