#include "core/split/SplitCompressionSourceItem.h"

#include "core/base/FileNameHelper.h"

QString SplitCompressionSourceItem::typeDescription() const {
    if (isDirectory) return QStringLiteral(u"文件夹");
    const QString extension = FileNameHelper::pathExtension(url);
    if (extension.isEmpty()) return QStringLiteral(u"文件");
    return extension.toUpper() + QStringLiteral(u" 文件");
}
