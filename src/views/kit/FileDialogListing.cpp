#include "views/kit/FileDialogListing.h"

#include "platform/ByteCountFormatter.h"
#include "viewmodels/DateFormattingHelper.h"

#include <QFileSystemModel>

namespace {

enum Column { size = 1, kind = 2, modified = 3 };

}  // namespace

QString FileDialogListing::text(const QFileSystemModel& files, const QModelIndex& index) {
    switch (index.column()) {
        case size:
            return files.isDir(index) ? QString() : ByteCountFormatter::fileStyle(files.size(index));
        case kind:
            return files.isDir(index) ? QStringLiteral(u"文件夹") : files.type(index);
        case modified:
            return DateFormattingHelper::dateTime(files.lastModified(index));
        default:
            return index.data().toString();
    }
}

void FileDialogListing::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (const auto* files = qobject_cast<const QFileSystemModel*>(index.model()))
        option->text = text(*files, index);
}
