#pragma once

#include "app/LaunchRequest.h"

#include <QDeadlineTimer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One primary velmora per user. The primary holds a lock file and serves a local socket; a later
// launch hands its request over that socket and ends. A lock or socket left by a primary that died
// is taken over by the next launch. The primary answers a request as soon as it holds it whole,
// before any of its work, and carries out only what it could tell its sender was taken; a sender that
// gave up waiting has withdrawn its request. One the primary closes unanswered (it is quitting) goes
// to the next primary, which may be the launch itself.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // How the primary meets a request it holds whole.
    struct Handlers {
        // Why the request cannot be served, judged from the request alone; answered to its sender.
        std::function<std::optional<QString>(const LaunchRequest&)> refusal;
        // Carries out a request its sender has been told is taken, straight after the telling.
        std::function<void(const LaunchRequest&)> carryOut;
        // While true (not ready yet, or ending) requests are closed unanswered: the sender tries again.
        std::function<bool()> declines;
    };

    struct Outcome {
        bool isPrimary = false;
        // For a later launch: the primary's error, or why it could not be reached.
        std::optional<QString> error;
    };

    // Where the lock and the socket live: $XDG_RUNTIME_DIR, else the private temporary base, each
    // only when it is a folder of this user's that nobody else may enter. Nothing when neither is:
    // another user could then take the socket and receive every launch's request.
    static std::optional<QString> standardRuntimeDirectory();

    // How long a later launch waits for the primary in all, far beyond what a busy primary needs to
    // answer, to end (main's teardown limit) or to start: only a stopped or hung one reaches it.
    static constexpr std::chrono::milliseconds kPatience = std::chrono::minutes(2);

    explicit SingleInstance(QString runtimeDirectory, std::chrono::milliseconds patience = kPatience,
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the primary when no other one runs, or stays it; asks nothing of a running one.
    bool tryClaim();

    // Becomes the primary, or sends the request to the running one and waits for its answer. Works
    // before any QCoreApplication exists, so a forwarding launch stays cheap. While the lock is held
    // but nothing takes the request (a primary still starting, or quitting) it tries again. Out of
    // patience it withdraws the request, which is then never carried out, and says so. A lock or a
    // socket path that is not velmora's is reported at once.
    Outcome claimOrForward(const LaunchRequest& request);

    // The primary's server. False when the socket could not be opened. A request longer than
    // kMaxRequestBytes drops its connection.
    bool listen(Handlers handlers);

    // Before quitting: takes nothing more. The server closes, and every request not yet answered is
    // dropped unanswered, so its launch waits for this process to end and tries again.
    void stopListening();

    QString serverName() const;

    static constexpr qint64 kMaxRequestBytes = 1024 * 1024;

private:
    struct Delivery {
        enum class Kind { notTaken, answered, withdrawn };
        Kind kind = Kind::notTaken;
        // When answered: the primary's error, nothing when it took the request.
        std::optional<QString> error = std::nullopt;
    };
    Delivery forward(const LaunchRequest& request, const QDeadlineTimer& deadline) const;
    std::optional<QString> foreignOwner() const;
    std::optional<QString> foreignSocket() const;
    void serve(QLocalSocket* socket);
    void take(QLocalSocket* socket, const QByteArray& line);

    QString m_directory;
    std::chrono::milliseconds m_patience;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    Handlers m_handlers;
    bool m_listening = false;
};
