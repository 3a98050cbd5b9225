#pragma once

#include "viewmodels/StatusKind.h"

#include <QObject>
#include <QString>

// What the progress window of an outside operation shows. Plain state; the window draws it.
class ExternalOperationProgressModel : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    // Items refused before any tool ran, named below the message; empty when none.
    QString note() const { return m_note; }
    double progress() const { return m_progress; }
    bool isFinished() const { return m_isFinished; }
    // A finished operation's kind of outcome: a success with a notice is a warning.
    StatusKind outcome() const { return m_outcome; }
    bool isError() const { return m_outcome == StatusKind::error; }

    // Back to the running state at 8 %.
    void start(const QString& title, const QString& message, const QString& note = {});
    // Kept between 1 % and 98 % while running; ignored once finished or when not a number.
    void update(double progress, const QString& message);
    // Success fills the bar, with a notice too; a failure keeps the last value.
    void finish(const QString& title, const QString& message, StatusKind outcome);
    void setMessage(const QString& message);
    void setNote(const QString& note);

    // "8%": the whole percent, rounded down.
    static QString percentText(double progress);

Q_SIGNALS:
    void changed();

private:
    QString m_title = QStringLiteral(u"正在处理文件");
    QString m_message = QStringLiteral(u"请稍候...");
    QString m_note;
    double m_progress = 0.08;
    bool m_isFinished = false;
    StatusKind m_outcome = StatusKind::success;
};
