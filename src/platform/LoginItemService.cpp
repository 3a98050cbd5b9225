#include "platform/LoginItemService.h"

#include "platform/DesktopEntryText.h"
#include "platform/LoginItemServiceError.h"
#include "platform/UserFiles.h"

#include <QFileInfo>
#include <QStandardPaths>

LoginItemService::LoginItemService(QString applicationFilePath)
    : m_applicationFilePath(std::move(applicationFilePath)) {}

QString LoginItemService::autostartEntryPath() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/com.velmora.pro.background-login.desktop");
}

void LoginItemService::installAutostartEntry() {
    if (m_applicationFilePath.isEmpty())
        throw LoginItemServiceError(LoginItemServiceError::Kind::appPathUnavailable);
    const auto error = UserFiles::write(
        autostartEntryPath(), autostartEntry(m_applicationFilePath),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (error) throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *error);
}

void LoginItemService::removeAutostartEntry() {
    if (const auto error = UserFiles::remove(autostartEntryPath())) {
        throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *error);
    }
}

bool LoginItemService::isAutostartEntryInstalled() const { return QFileInfo::exists(autostartEntryPath()); }

QByteArray LoginItemService::autostartEntry(const QString& appPath) {
    const QString text =
        QStringLiteral(
            u"[Desktop Entry]\n"
            u"Type=Application\n"
            u"Name=velmora\n"
            u"Comment=登录时在后台启动 velmora\n"
            u"Exec=%1\n"
            u"Terminal=false\n"
            u"NoDisplay=true\n"
            u"X-GNOME-Autostart-enabled=true\n")
            .arg(DesktopEntryText::execValue({appPath, QStringLiteral("--background-login")}));
    return text.toUtf8();
}
