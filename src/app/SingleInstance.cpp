#include "app/SingleInstance.h"

#include "platform/PrivateTempDirectory.h"

#include <unistd.h>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

// A primary that holds the lock but is still starting gets this long to open its socket.
constexpr int kClaimWindowMs = 2000;
constexpr int kRetryMs = 40;
constexpr int kReplyTimeoutMs = 10000;

QString baseName() { return QStringLiteral("velmora-%1").arg(::getuid()); }

QByteArray reply(const std::optional<QString>& error) {
    QJsonObject object{{QStringLiteral("ok"), !error.has_value()}};
    if (error) object.insert(QStringLiteral("error"), *error);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

std::optional<QString> SingleInstance::standardRuntimeDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && PrivateTempDirectory::isPrivate(runtime)) return runtime;
    return PrivateTempDirectory::base();
}

SingleInstance::SingleInstance(QString runtimeDirectory, QObject* parent)
    : QObject(parent),
      m_directory(std::move(runtimeDirectory)),
      m_lock(m_directory + QLatin1Char('/') + baseName() + QStringLiteral(".lock")) {
    // Only a dead owner makes the lock stale, however long the primary has been running.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName() const {
    return m_directory + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
}

// Taking a lock this object already holds would fail: its owner, this process, is alive.
bool SingleInstance::tryClaim() { return m_lock.isLocked() || m_lock.tryLock(0); }

SingleInstance::Outcome SingleInstance::claimOrForward(const LaunchRequest& request) {
    if (request.encoded().size() >= kMaxRequestBytes) return {.error = QStringLiteral(u"请求过长。")};
    const QDeadlineTimer deadline(kClaimWindowMs);
    while (true) {
        if (tryClaim()) return {.isPrimary = true, .error = std::nullopt};
        if (const auto answer = forward(request)) return {.error = *answer};
        if (deadline.hasExpired()) return {.error = QStringLiteral(u"velmora 正在运行，但没有响应。")};
        QThread::msleep(kRetryMs);
    }
}

// Nothing when no primary answers; otherwise its answer.
std::optional<std::optional<QString>> SingleInstance::forward(const LaunchRequest& request) const {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kRetryMs)) return std::nullopt;
    socket.write(request.encoded() + '\n');
    if (!socket.waitForBytesWritten(kReplyTimeoutMs)) return std::nullopt;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kReplyTimeoutMs)) return std::nullopt;
    }
    const QJsonObject answer = QJsonDocument::fromJson(socket.readLine()).object();
    if (answer.value(QStringLiteral("ok")).toBool()) return std::optional<QString>();
    return std::optional<QString>(answer.value(QStringLiteral("error")).toString());
}

bool SingleInstance::listen(Handler handler) {
    m_handler = std::move(handler);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind belongs to a primary that died.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName())) return false;
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) serve(socket);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // The buffer stops at the cap, so an endless request costs no more than that.
    socket->setReadBufferSize(kMaxRequestBytes);
    const auto readRequest = [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() >= kMaxRequestBytes) socket->abort();
            return;
        }
        const std::optional<LaunchRequest> request = LaunchRequest::decoded(socket->readLine());
        const std::optional<QString> error =
            request ? m_handler(*request) : std::optional<QString>(QStringLiteral(u"无法读取启动请求。"));
        socket->write(reply(error));
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, socket, readRequest);
    readRequest();
}
