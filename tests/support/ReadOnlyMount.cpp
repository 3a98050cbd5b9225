#include "support/ReadOnlyMount.h"

#include <sys/mount.h>
#include <QFile>

ReadOnlyMount::ReadOnlyMount(QString folder) : m_folder(std::move(folder)) {
    const QByteArray path = QFile::encodeName(m_folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) return;
    m_mounted = ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    if (!m_mounted) ::umount2(path.constData(), MNT_DETACH);
}

ReadOnlyMount::~ReadOnlyMount() {
    if (m_mounted) ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}
