#pragma once

#include "app/LaunchRequest.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One primary velmora per user. The primary holds a lock file and serves a local socket; a later
// launch hands its request over that socket and ends. A lock or socket left by a primary that died
// is taken over by the next launch. A request is answered only once the primary has taken it; one the
// primary closes unanswered (it is quitting) goes to the next primary, which may be the launch itself.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The primary's answer: nothing when it took the request (its work begun), else the text for the
    // sender to print.
    using Handler = std::function<std::optional<QString>(const LaunchRequest&)>;

    struct Outcome {
        bool isPrimary = false;
        // For a later launch: the primary's error, or why it could not be reached.
        std::optional<QString> error;
    };

    // Where the lock and the socket live: $XDG_RUNTIME_DIR, else the private temporary base, each
    // only when it is a folder of this user's that nobody else may enter. Nothing when neither is:
    // another user could then take the socket and receive every launch's request.
    static std::optional<QString> standardRuntimeDirectory();

    explicit SingleInstance(QString runtimeDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary when no other one runs, or stays it; asks nothing of a running one.
    bool tryClaim();

    // Becomes the primary, or sends the request to the running one and waits for its answer. Works
    // before any QCoreApplication exists, so a forwarding launch stays cheap. While the lock is held
    // but nothing takes the request (a primary still starting, or quitting) it tries again, for at most
    // kLockWaitMs; a request the primary may have taken (it stayed silent) is never sent again.
    Outcome claimOrForward(const LaunchRequest& request);

    // The primary's server; each request is handed to `handler` on a later turn of this object's thread,
    // and the handler's answer is sent back then. False when the socket could not be opened. A request
    // longer than kMaxRequestBytes drops its connection.
    bool listen(Handler handler);

    // Before quitting: takes nothing more. The server closes, and every request not yet handed over is
    // dropped unanswered, so its launch waits for this process to end and tries again.
    void stopListening();

    QString serverName() const;

    static constexpr qint64 kMaxRequestBytes = 1024 * 1024;
    // Longer than a quitting primary may take to end (main's teardown limit).
    static constexpr int kLockWaitMs = 20000;

private:
    struct Delivery {
        // Whether the primary may have taken the request: it was sent and the primary neither answered
        // nor closed the connection in time. Such a request is never sent again.
        bool mayBeTaken = false;
        // The primary's answer (nothing when it took the request, else its error), once it came.
        std::optional<std::optional<QString>> answer = std::nullopt;
    };
    Delivery forward(const LaunchRequest& request) const;
    void serve(QLocalSocket* socket);
    void answer(QLocalSocket* socket, const QByteArray& line);

    QString m_directory;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    Handler m_handler;
    bool m_listening = false;
};
