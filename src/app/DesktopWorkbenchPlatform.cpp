#include "app/DesktopWorkbenchPlatform.h"

#include "platform/FileManagerReveal.h"
#include "views/kit/FileDialogs.h"
#include "views/kit/PasswordDialog.h"

#include <QDesktopServices>
#include <QStorageInfo>
#include <QThread>
#include <QUrl>

void DesktopWorkbenchPlatform::openFileDialog(const FileDialogRequest& request,
                                              std::function<void(const QStringList&)> chosen) {
    FileDialogs::openFileDialog(request, nullptr, std::move(chosen));
}

void DesktopWorkbenchPlatform::askPassword(const QString& message,
                                           std::function<void(const std::optional<QString>&)> answered) {
    PasswordDialog::ask(message, nullptr, std::move(answered));
}

void DesktopWorkbenchPlatform::revealInFileManager(const QStringList& paths) {
    FileManagerReveal::reveal(
        paths, [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }, this);
}

int DesktopWorkbenchPlatform::activeProcessorCount() const {
    return std::max(QThread::idealThreadCount(), 1);
}

std::optional<qint64> DesktopWorkbenchPlatform::availableCapacityBytes(const QString& folder) const {
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady()) return std::nullopt;
    return storage.bytesAvailable();
}
