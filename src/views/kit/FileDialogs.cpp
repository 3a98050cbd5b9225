#include "views/kit/FileDialogs.h"

#include "core/base/InputItem.h"
#include "viewmodels/DateFormattingHelper.h"
#include "views/kit/FileAndFolderDialog.h"
#include "views/kit/FileDialogListing.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QTreeView>

namespace FileDialogs {

namespace {

QHash<QString, QString>& lastFolders() {
    static QHash<QString, QString> folders;
    return folders;
}

// The folder itself, or the folder that holds a file; empty when neither exists.
QString existingFolderOf(const QString& item) {
    if (item.isEmpty()) return {};
    const QFileInfo info(item);
    if (info.isDir()) return info.absoluteFilePath();
    const QFileInfo parent(info.absolutePath());
    return parent.isDir() ? parent.absoluteFilePath() : QString();
}

QFileDialog::FileMode fileModeFor(const WorkbenchPlatform::FileDialogRequest& request) {
    if (!request.choosesFiles) return QFileDialog::Directory;
    return request.multipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile;
}

}  // namespace

QString startFolder(const QString& purpose, const QString& currentItem) {
    QString folder = existingFolderOf(currentItem);
    if (folder.isEmpty()) folder = existingFolderOf(lastFolders().value(purpose));
    return folder.isEmpty() ? QDir::homePath() : folder;
}

void remember(const QString& purpose, const QStringList& chosen) {
    if (chosen.isEmpty()) return;
    // A chosen folder is where its dialog was; the next one starts beside it.
    lastFolders().insert(purpose, QFileInfo(chosen.first()).absolutePath());
}

void showListingInChinese(QFileDialog* dialog) {
    auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details) return;
    auto* listing = new FileDialogListing(details);
    for (int column = 1; column <= 3; ++column) details->setItemDelegateForColumn(column, listing);
    // Qt sizes the columns for English samples ("mp3Folder"), which cut the Chinese kinds and dates.
    const QFontMetrics metrics(details->font());
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
    const QDateTime widest(QDate(2026, 12, 28), QTime(23, 59));
    details->header()->resizeSection(2, metrics.horizontalAdvance(QStringLiteral(u"Zip 归档文件")) + padding);
    details->header()->resizeSection(
        3, metrics.horizontalAdvance(DateFormattingHelper::dateTime(widest)) + padding);
}

QFileDialog* openFileDialog(const WorkbenchPlatform::FileDialogRequest& request, QWidget* parent,
                            std::function<void(const QStringList&)> chosen) {
    if (!parent) parent = QApplication::activeWindow();
    QFileDialog* dialog = nullptr;
    if (request.choosesFiles && request.choosesFolders) {
        dialog = new FileAndFolderDialog(request.multipleSelection, parent);
    } else {
        dialog = new QFileDialog(parent);
        dialog->setFileMode(fileModeFor(request));
        if (!request.choosesFiles) dialog->setOption(QFileDialog::ShowDirsOnly);
    }
    showListingInChinese(dialog);
    if (!request.title.isEmpty()) dialog->setWindowTitle(request.title);
    if (!request.prompt.isEmpty()) dialog->setLabelText(QFileDialog::Accept, request.prompt);
    dialog->setDirectory(startFolder(request.purpose, request.currentItem));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString purpose = request.purpose;
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, purpose, chosen](int result) {
        // A typed "/a/src/" is the folder "src" itself, as a clicked one is.
        const QStringList paths =
            result == QDialog::Accepted ? InputItem::normalizedPaths(dialog->selectedFiles()) : QStringList();
        remember(purpose, paths);
        chosen(paths);
    });
    dialog->open();
    return dialog;
}

}  // namespace FileDialogs
