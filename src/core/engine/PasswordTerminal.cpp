#include "core/engine/PasswordTerminal.h"

#include <array>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool echoIsOff(int terminal) {
    termios settings{};
    return ::tcgetattr(terminal, &settings) == 0 && (settings.c_lflag & ECHO) == 0;
}

bool typedLineIsWaiting(int terminal) {
    int waiting = 0;
    return ::ioctl(terminal, FIONREAD, &waiting) == 0 && waiting > 0;
}

}  // namespace

std::unique_ptr<PasswordTerminal> PasswordTerminal::open(const QString& password) {
    const int controller = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (controller < 0) return nullptr;
    std::array<char, 128> name{};
    if (::grantpt(controller) != 0 || ::unlockpt(controller) != 0 ||
        ::ptsname_r(controller, name.data(), name.size()) != 0) {
        ::close(controller);
        return nullptr;
    }
    // Our own end of the terminal, to see its settings and what waits to be read.
    const int terminal = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        ::close(controller);
        return nullptr;
    }
    ::fcntl(controller, F_SETFL, ::fcntl(controller, F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<PasswordTerminal>(
        new PasswordTerminal(controller, terminal, QByteArray(name.data()), password.toUtf8() + '\n'));
}

PasswordTerminal::PasswordTerminal(int controller, int terminal, QByteArray childPath, QByteArray answer)
    : m_controller(controller),
      m_terminal(terminal),
      m_childPath(std::move(childPath)),
      m_answer(std::move(answer)) {}

PasswordTerminal::~PasswordTerminal() {
    ::close(m_terminal);
    ::close(m_controller);
}

void PasswordTerminal::serve() {
    std::array<char, 4096> shown{};
    while (::read(m_controller, shown.data(), shown.size()) > 0) {
    }
    if (!echoIsOff(m_terminal) || typedLineIsWaiting(m_terminal)) return;
    // A password fits the terminal's input buffer, so one write takes it whole.
    [[maybe_unused]] const ssize_t written =
        ::write(m_controller, m_answer.constData(), size_t(m_answer.size()));
}
