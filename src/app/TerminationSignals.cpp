#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kHandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler, which may run on any thread at any moment.
volatile sig_atomic_t gWriteFd = -1;

void handleSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_readFd = fds[0];
    gWriteFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    struct sigaction action {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kHandledSignals) ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (m_readFd < 0) return;
    // A signal from now on ends the process at once; teardown is already under way.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (const int signal : kHandledSignals) ::sigaction(signal, &action, nullptr);
    ::close(gWriteFd);
    ::close(m_readFd);
}

bool TerminationSignals::isPending() const {
    pollfd waiting{.fd = m_readFd, .events = POLLIN, .revents = 0};
    return m_readFd >= 0 && ::poll(&waiting, 1, 0) > 0;
}

void TerminationSignals::readPending() {
    unsigned char byte = 0;
    while (::read(m_readFd, &byte, 1) == 1) Q_EMIT received(byte);
}
