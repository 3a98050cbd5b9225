#include "platform/LoginItemService.h"

#include "platform/DesktopEntryText.h"
#include "platform/LoginItemServiceError.h"
#include "platform/UserFiles.h"

#include <QFileInfo>
#include <QStandardPaths>

LoginItemService::LoginItemService(QString applicationFilePath, DefaultsStore defaults)
    : m_applicationFilePath(std::move(applicationFilePath)), m_defaults(std::move(defaults)) {}

QString LoginItemService::autostartEntryPath() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/com.velmora.pro.background-login.desktop");
}

void LoginItemService::installAutostartEntry() {
    if (m_applicationFilePath.isEmpty())
        throw LoginItemServiceError(LoginItemServiceError::Kind::appPathUnavailable);
    const QStringList missing = UserFiles::missingFolders(QFileInfo(autostartEntryPath()).absolutePath());
    const auto error = UserFiles::write(
        autostartEntryPath(), autostartEntry(m_applicationFilePath),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // Recorded also when writing failed halfway; what cannot be recorded is taken away again at once.
    QStringList created = UserFiles::createdFolders(m_defaults, createdAutostartFoldersKey);
    const qsizetype known = created.size();
    for (const QString& folder : missing) {
        if (QFileInfo(folder).isDir() && !created.contains(folder)) created.append(folder);
    }
    if (created.size() != known) {
        if (const auto failure = UserFiles::recordCreatedFolders(m_defaults, createdAutostartFoldersKey, created)) {
            UserFiles::remove(autostartEntryPath());
            UserFiles::removeEmptyFolders(created);
            throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *failure);
        }
    }
    if (error) throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *error);
}

void LoginItemService::removeAutostartEntry() {
    if (const auto error = UserFiles::remove(autostartEntryPath())) {
        throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *error);
    }
    UserFiles::removeEmptyFolders(UserFiles::createdFolders(m_defaults, createdAutostartFoldersKey));
    if (const auto failure = m_defaults.remove(createdAutostartFoldersKey))
        throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed, *failure);
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
