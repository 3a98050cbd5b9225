#include "app/DesktopWorkbenchPlatform.h"

#include "platform/FileManagerReveal.h"
#include "views/kit/FileAndFolderDialog.h"

#include <QDesktopServices>
#include <QStorageInfo>
#include <QThread>
#include <QUrl>

namespace {

QFileDialog::FileMode fileModeFor(const WorkbenchPlatform::OpenPanelRequest& request) {
    if (!request.canChooseFiles) return QFileDialog::Directory;
    return request.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile;
}

}  // namespace

// The models ask for an answer in one call, so the dialog runs its own modal loop here.
QStringList DesktopWorkbenchPlatform::runOpenPanel(const OpenPanelRequest& request) {
    std::unique_ptr<QFileDialog> dialog;
    if (request.canChooseFiles && request.canChooseDirectories) {
        dialog = std::make_unique<FileAndFolderDialog>(request.allowsMultipleSelection);
    } else {
        dialog = std::make_unique<QFileDialog>();
        dialog->setFileMode(fileModeFor(request));
        if (!request.canChooseFiles) dialog->setOption(QFileDialog::ShowDirsOnly);
    }
    if (!request.prompt.isEmpty()) dialog->setLabelText(QFileDialog::Accept, request.prompt);
    if (dialog->exec() != QDialog::Accepted) return {};
    return dialog->selectedFiles();
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
