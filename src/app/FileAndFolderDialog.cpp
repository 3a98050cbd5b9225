#include "app/FileAndFolderDialog.h"

#include <QAbstractItemView>
#include <QFileInfo>

FileAndFolderDialog::FileAndFolderDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    // Folders are chosen by selecting them, so every view must allow a selection of several.
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
}

void FileAndFolderDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty()) return;
    for (const QString& path : chosen) {
        if (!QFileInfo::exists(path)) return;
    }
    QDialog::accept();
}
