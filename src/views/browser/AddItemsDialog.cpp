#include "views/browser/AddItemsDialog.h"

#include <QAbstractItemView>
#include <QFileInfo>

AddItemsDialog::AddItemsDialog(QWidget* parent)
    : QFileDialog(parent, QStringLiteral(u"选择要添加到压缩包的文件")) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    for (auto* view : findChildren<QAbstractItemView*>())
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

// The file modes either refuse a folder or open it; a selected folder is taken as it is.
void AddItemsDialog::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty()) return;
    for (const QString& path : chosen) {
        if (!QFileInfo::exists(path)) return;
    }
    QDialog::accept();
}
