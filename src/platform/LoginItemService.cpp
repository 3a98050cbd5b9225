#include "platform/LoginItemService.h"

#include "platform/DesktopEntryText.h"
#include "platform/LoginItemServiceError.h"
#include "platform/UserFiles.h"

#include <QFileInfo>
#include <QStandardPaths>

LoginItemService::LoginItemService(QString applicationFilePath)
    : m_applicationFilePath(std::move(applicationFilePath)) {}

QString LoginItemService::launchAgentURL() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/com.velmora.pro.background-login.desktop");
}

void LoginItemService::installLaunchAgent() {
    if (m_applicationFilePath.isEmpty())
        throw LoginItemServiceError(LoginItemServiceError::Kind::appPathUnavailable);
    const auto error = UserFiles::write(
        launchAgentURL(), launchAgentEntry(m_applicationFilePath),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (error) throw LoginItemServiceError(LoginItemServiceError::Kind::launchAgentFailed, *error);
}

void LoginItemService::removeLaunchAgent() {
    if (const auto error = UserFiles::remove(launchAgentURL())) {
        throw LoginItemServiceError(LoginItemServiceError::Kind::launchAgentFailed, *error);
    }
}

bool LoginItemService::isLaunchAgentInstalled() const { return QFileInfo::exists(launchAgentURL()); }

QByteArray LoginItemService::launchAgentEntry(const QString& appPath) {
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
