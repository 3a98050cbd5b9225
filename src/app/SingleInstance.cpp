#include "app/SingleInstance.h"

#include "platform/FileDescriptor.h"
#include "platform/PrivateTempDirectory.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kRetryMs = 40;
// How long a primary that listens may take to accept a launch and to answer it. It answers as soon as
// it has the request, before any work, so only a stopped primary comes near this.
constexpr int kReplyTimeoutMs = 10000;
// Launches that arrive together wait in the socket's queue instead of being turned away.
constexpr int kListenBacklog = 4096;

const QString kNoAnswer = QStringLiteral(u"velmora 正在运行，但没有响应。");

QString baseName() { return QStringLiteral("velmora-%1").arg(::getuid()); }

QByteArray reply(const std::optional<QString>& error) {
    QJsonObject object{{QStringLiteral("ok"), !error.has_value()}};
    if (error) object.insert(QStringLiteral("error"), *error);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool writeAll(int socket, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t written = ::send(socket, bytes.data(), size_t(bytes.size()), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

// How a wait for the primary's first line ended: the line, or why there is none.
struct ReceivedLine {
    std::optional<QByteArray> line;
    // The primary closed the connection before a line: it did not take the request.
    bool closed = false;
};

ReceivedLine readLine(int socket) {
    QByteArray received;
    const QDeadlineTimer deadline(kReplyTimeoutMs);
    while (!received.contains('\n')) {
        pollfd waiting{.fd = socket, .events = POLLIN, .revents = 0};
        const int ready = ::poll(&waiting, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return {};
        char buffer[4096];
        const ssize_t count = ::recv(socket, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno != ECONNRESET) return {};
        if (count <= 0) return {.line = std::nullopt, .closed = true};
        received.append(buffer, count);
    }
    return {.line = received.left(received.indexOf('\n'))};
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
    const QDeadlineTimer deadline(kLockWaitMs);
    while (true) {
        if (tryClaim()) return {.isPrimary = true, .error = std::nullopt};
        const Delivery delivery = forward(request);
        if (delivery.answer) return {.error = *delivery.answer};
        if (delivery.mayBeTaken || deadline.hasExpired()) return {.error = kNoAnswer};
        QThread::msleep(kRetryMs);
    }
}

// Plain POSIX calls: a launch that forwards has no QCoreApplication, and Qt's socket needs one for
// its notifiers and timers.
SingleInstance::Delivery SingleInstance::forward(const LaunchRequest& request) const {
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(serverName());
    if (socket.get() < 0 || path.size() >= qsizetype(sizeof address.sun_path)) return {};
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // A full queue makes connect wait for room rather than fail.
    const timeval timeout{.tv_sec = kReplyTimeoutMs / 1000, .tv_usec = 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int connected = -1;
    do {
        connected = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected != 0 && errno == EINTR);
    if (connected != 0) return {};
    // A request cut short is no line, which the primary never takes.
    if (!writeAll(socket.get(), request.encoded() + '\n')) return {};
    const ReceivedLine received = readLine(socket.get());
    if (!received.line) return {.mayBeTaken = !received.closed};
    const QJsonObject answer = QJsonDocument::fromJson(*received.line).object();
    if (answer.value(QStringLiteral("ok")).toBool()) return {.answer = std::optional<QString>()};
    return {.answer = std::optional<QString>(answer.value(QStringLiteral("error")).toString())};
}

bool SingleInstance::listen(Handler handler) {
    m_handler = std::move(handler);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setListenBacklogSize(kListenBacklog);
    // We hold the lock, so a socket file left behind belongs to a primary that died.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName())) return false;
    m_listening = true;
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) serve(socket);
    });
    return true;
}

void SingleInstance::stopListening() {
    if (!m_listening) return;
    m_listening = false;
    m_server->close();
    // Answered connections are closing already; the rest are dropped unanswered.
    for (QLocalSocket* socket : m_server->findChildren<QLocalSocket*>()) {
        if (socket->state() == QLocalSocket::ConnectedState) socket->abort();
    }
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
        const QByteArray line = socket->readLine();
        QObject::disconnect(socket, &QLocalSocket::readyRead, socket, nullptr);
        // Handled on a later turn, so a handler that takes long or waits never holds up the reading.
        QMetaObject::invokeMethod(socket, [this, socket, line] { answer(socket, line); }, Qt::QueuedConnection);
    };
    connect(socket, &QLocalSocket::readyRead, socket, readRequest);
    readRequest();
}

// The answer follows the handler, so a request is answered only once taken; quitting between the
// reading and this turn leaves it unanswered for the next primary.
void SingleInstance::answer(QLocalSocket* socket, const QByteArray& line) {
    if (!m_listening || socket->state() != QLocalSocket::ConnectedState) return;
    const std::optional<LaunchRequest> request = LaunchRequest::decoded(line);
    const std::optional<QString> error =
        request ? m_handler(*request) : std::optional<QString>(QStringLiteral(u"无法读取启动请求。"));
    socket->write(reply(error));
    // Out before anything else runs: a quit on the next turn must not drop a taken request's answer.
    socket->flush();
    socket->disconnectFromServer();
}
