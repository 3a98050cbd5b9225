#include "views/kit/FileAndFolderDialog.h"

#include <QAbstractItemView>
#include <QFileInfo>

FileAndFolderDialog::FileAndFolderDialog(bool multipleSelection, QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(multipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    // Folders are chosen by selecting them; Qt's views would let only files be selected together.
    const auto mode =
        multipleSelection ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) view->setSelectionMode(mode);
}

void FileAndFolderDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty()) return;
    for (const QString& path : chosen) {
        if (!QFileInfo::exists(path)) return;
    }
    QDialog::accept();
}
