#include "support/FullDisk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <csignal>
#include "platform/SystemErrorText.h"

namespace {

rlimit g_savedLimit{};

QByteArray fillerPath(const QString& folder) {
    return QFile::encodeName(folder + QStringLiteral("/.filler"));
}

}  // namespace

FullDisk::FullDisk() : FullDisk(QString()) {}

FullDisk::FullDisk(QString folder) : m_path(folder.isEmpty() ? m_dir.path() : std::move(folder)) {
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                        "size=512k,mode=0700") == 0;
}

FullDisk::~FullDisk() {
    free();
    if (m_mounted) ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

void FullDisk::fill(qsizetype leaving) {
    if (m_full) return;
    m_full = true;
    if (!m_mounted) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &g_savedLimit);
        const rlimit none{0, g_savedLimit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
        return;
    }
    // The room to leave is held by a file of its own while the filler takes the rest.
    const QByteArray sparePath = fillerPath(m_path) + "-spare";
    if (leaving > 0) {
        QFile spare(QFile::decodeName(sparePath));
        if (spare.open(QIODevice::WriteOnly)) spare.write(QByteArray(leaving, 'x'));
    }
    const int descriptor = ::open(fillerPath(m_path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const QByteArray block(64 * 1024, 'x');
    while (::write(descriptor, block.constData(), block.size()) > 0) {
    }
    // Whatever a page does not hold is left too: single bytes until nothing fits.
    while (::write(descriptor, "x", 1) == 1) {
    }
    ::close(descriptor);
    ::unlink(sparePath.constData());
}

void FullDisk::free() {
    if (!m_full) return;
    m_full = false;
    if (!m_mounted) {
        ::setrlimit(RLIMIT_FSIZE, &g_savedLimit);
        return;
    }
    ::unlink(fillerPath(m_path).constData());
}

QString FullDisk::reason() const {
    return SystemErrorText::reason(m_mounted ? ENOSPC : EFBIG, SystemErrorText::Access::write);
}
