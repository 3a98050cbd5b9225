#include "views/kit/FileDialogListing.h"

#include "platform/ByteCountFormatter.h"
#include "viewmodels/DateFormattingHelper.h"

#include <QFileSystemModel>

namespace {

enum Column { size = 1, kind = 2, modified = 3 };

}  // namespace

QVariant FileDialogListing::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
        case size:
            return files->isDir(source) ? QString() : ByteCountFormatter::fileStyle(files->size(source));
        case kind:
            return files->isDir(source) ? QStringLiteral(u"文件夹") : files->type(source);
        case modified:
            return DateFormattingHelper::dateTime(files->lastModified(source));
        default:
            return QIdentityProxyModel::data(index, role);
    }
}
