#pragma once

#include <QString>
#include <QStringList>

// A stand-in for an external program: a /bin/sh script written into a folder. Every run appends its
// arguments, one per line followed by an empty line, to <script>.argv, and what it read on standard
// input to <script>.stdin, so tests can check what was passed.
class FakeTool {
public:
    // body is shell code run after the arguments are recorded.
    FakeTool(const QString& folder, const QString& name, const QString& body);

    const QString& path() const { return m_path; }

    // The argument lists of every run so far, in order.
    QList<QStringList> recordedRuns() const;
    // The standard input of every run so far, in order.
    QStringList recordedInputs() const;

private:
    QString m_path;
};
