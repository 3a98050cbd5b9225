#include "app/SingleInstance.h"

#include "platform/FileDescriptor.h"
#include "platform/PrivateTempDirectory.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

constexpr int kRetryMs = 40;
// Launches that arrive together wait in the socket's queue instead of being turned away.
constexpr int kListenBacklog = 4096;

const QString kNoAnswer = QStringLiteral(u"velmora 正在运行，但没有响应；请求已撤回，不会执行。");

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

// The answer goes out in one piece or not at all: the sender's queue is empty, and a sender that has
// withdrawn (shut its reading side, or gone) makes the send fail.
bool sendAnswer(qintptr socket, const QByteArray& answer) {
    if (socket < 0) return false;
    ssize_t sent = -1;
    do {
        sent = ::send(int(socket), answer.constData(), size_t(answer.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent == answer.size();
}

// How a wait for the primary's answer ended: the line, or why there is none.
struct ReceivedLine {
    std::optional<QByteArray> line;
    // The primary closed the connection before a line: it did not take the request.
    bool closed = false;
};

// Out of patience: reading is shut first, so an answer sent from then on fails on the primary's side
// and its request is not carried out; one that came before is still read and counts.
ReceivedLine withdraw(int socket, QByteArray received) {
    ::shutdown(socket, SHUT_RD);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) received.append(buffer, count);
    if (!received.contains('\n')) return {};
    return {.line = received.left(received.indexOf('\n'))};
}

ReceivedLine readLine(int socket, const QDeadlineTimer& deadline) {
    QByteArray received;
    while (!received.contains('\n')) {
        pollfd waiting{.fd = socket, .events = POLLIN, .revents = 0};
        const int ready = ::poll(&waiting, 1, int(std::min<qint64>(deadline.remainingTime(), INT_MAX)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return withdraw(socket, received);
        char buffer[4096];
        const ssize_t count = ::recv(socket, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 || (count < 0 && errno == ECONNRESET)) return {.line = std::nullopt, .closed = true};
        if (count < 0) return withdraw(socket, received);
        received.append(buffer, count);
    }
    return {.line = received.left(received.indexOf('\n'))};
}

// The name of the program a process runs, as QLockFile records it; empty when it cannot be read.
QByteArray programName(qint64 pid) {
    char target[4096];
    const ssize_t length = ::readlink(QByteArray("/proc/" + QByteArray::number(pid) + "/exe").constData(),
                                      target, sizeof target);
    if (length <= 0) return {};
    QByteArray path(target, length);
    // A program replaced while it runs (an update) keeps its name.
    if (path.endsWith(" (deleted)")) path.chop(10);
    return path.mid(path.lastIndexOf('/') + 1);
}

QString kindName(mode_t mode) {
    if (S_ISREG(mode)) return QStringLiteral(u"普通文件");
    if (S_ISFIFO(mode)) return QStringLiteral(u"命名管道");
    if (S_ISDIR(mode)) return QStringLiteral(u"文件夹");
    if (S_ISLNK(mode)) return QStringLiteral(u"符号链接");
    return QStringLiteral(u"特殊文件");
}

}  // namespace

std::optional<QString> SingleInstance::standardRuntimeDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && PrivateTempDirectory::isPrivate(runtime)) return runtime;
    return PrivateTempDirectory::base();
}

SingleInstance::SingleInstance(QString runtimeDirectory, std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent),
      m_directory(std::move(runtimeDirectory)),
      m_patience(patience),
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
    const QDeadlineTimer deadline(m_patience);
    while (true) {
        if (tryClaim()) return {.isPrimary = true, .error = std::nullopt};
        if (std::optional<QString> foreign = foreignOwner()) return {.error = foreign};
        if (std::optional<QString> foreign = foreignSocket()) return {.error = foreign};
        const Delivery delivery = forward(request, deadline);
        if (delivery.kind == Delivery::Kind::answered) return {.error = delivery.error};
        if (delivery.kind == Delivery::Kind::withdrawn || deadline.hasExpired()) return {.error = kNoAnswer};
        QThread::msleep(kRetryMs);
    }
}

// QLockFile keeps a lock while a process of the recorded name runs under the recorded id. When that
// process is not velmora, no velmora will ever answer behind the lock, however long one waits.
std::optional<QString> SingleInstance::foreignOwner() const {
    qint64 pid = 0;
    QString recorded;
    // A lock read while its owner still writes it names nobody, or not the program that runs.
    if (!m_lock.getLockInfo(&pid, nullptr, &recorded)) return std::nullopt;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) return std::nullopt;
    const QByteArray owner = programName(pid);
    if (QFile::decodeName(owner) != recorded || owner == programName(::getpid())) return std::nullopt;
    return QStringLiteral(u"锁文件“%1”记录的进程 %2（%3）不是 velmora；请确认后删除该文件再试。")
        .arg(m_lock.fileName(), QString::number(pid),
             owner.isEmpty() ? QStringLiteral(u"未知程序") : QFile::decodeName(owner));
}

// A primary that runs listens on a socket at the path; anything else there keeps every launch out.
std::optional<QString> SingleInstance::foreignSocket() const {
    struct stat info {};
    if (::lstat(QFile::encodeName(serverName()).constData(), &info) != 0 || S_ISSOCK(info.st_mode))
        return std::nullopt;
    return QStringLiteral(u"“%1”是%2，不是 velmora 的通信端口，请求无法交给正在运行的 velmora；请确认后删除它再试。")
        .arg(serverName(), kindName(info.st_mode));
}

// Plain POSIX calls: a launch that forwards has no QCoreApplication, and Qt's socket needs one for
// its notifiers and timers.
SingleInstance::Delivery SingleInstance::forward(const LaunchRequest& request,
                                                 const QDeadlineTimer& deadline) const {
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(serverName());
    if (socket.get() < 0 || path.size() >= qsizetype(sizeof address.sun_path)) return {};
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    // A full queue makes connect wait for room rather than fail, and a primary that reads nothing
    // makes a long request's sending wait, each no longer than the patience left.
    const qint64 remaining = std::max<qint64>(deadline.remainingTime(), 1);
    const timeval timeout{.tv_sec = time_t(remaining / 1000), .tv_usec = suseconds_t(remaining % 1000 * 1000)};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int connected = -1;
    do {
        connected = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (connected != 0 && errno == EINTR);
    if (connected != 0) return {};
    // A request cut short is no line, which the primary never takes.
    if (!writeAll(socket.get(), request.encoded() + '\n')) return {};
    const ReceivedLine received = readLine(socket.get(), deadline);
    if (received.closed) return {};
    if (!received.line) return {.kind = Delivery::Kind::withdrawn};
    const QJsonObject answer = QJsonDocument::fromJson(*received.line).object();
    if (answer.value(QStringLiteral("ok")).toBool()) return {.kind = Delivery::Kind::answered};
    return {.kind = Delivery::Kind::answered, .error = answer.value(QStringLiteral("error")).toString()};
}

bool SingleInstance::listen(Handlers handlers) {
    m_handlers = std::move(handlers);
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
    // Answered connections are closed already; the rest are dropped unanswered.
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
        take(socket, line);
    };
    connect(socket, &QLocalSocket::readyRead, socket, readRequest);
    // What the sender wrote while it waited in the queue is read now: requests are taken in the
    // order they came.
    socket->waitForReadyRead(0);
}

// The answer comes before any of the request's work. Only a request whose answer reached its sender
// is carried out, and at once, so a quit can come only before the answer (the sender then tries the
// next primary) or after the work began (and stops it with the rest).
void SingleInstance::take(QLocalSocket* socket, const QByteArray& line) {
    if (!m_listening || m_handlers.declines()) {
        socket->abort();
        return;
    }
    const std::optional<LaunchRequest> request = LaunchRequest::decoded(line);
    const std::optional<QString> refusal =
        request ? m_handlers.refusal(*request) : std::optional<QString>(QStringLiteral(u"无法读取启动请求。"));
    const bool told = sendAnswer(socket->socketDescriptor(), reply(refusal));
    socket->abort();
    if (told && !refusal) m_handlers.carryOut(*request);
}
