#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM (a logout), SIGINT and SIGHUP, turned into a signal on the GUI thread, so velmora ends the
// way the tray's quit ends it: running work is cancelled and cleans up before the process goes. The
// handler only writes the signal's number into a pipe; everything else happens in the event loop.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one object per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // A signal has come that the event loop has not turned into `received` yet.
    bool isPending() const;

Q_SIGNALS:
    void received(int signal);

private:
    void readPending();

    int m_readFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
