#include "core/engine/FileSystemError.h"

#include <cerrno>
#include <cstring>

namespace {
QString operationText(FileSystemError::Operation operation) {
    switch (operation) {
        case FileSystemError::Operation::createFolder:
            return QStringLiteral(u"无法创建文件夹：");
        case FileSystemError::Operation::copy:
            return QStringLiteral(u"无法复制文件：");
        case FileSystemError::Operation::remove:
            return QStringLiteral(u"无法删除文件：");
        case FileSystemError::Operation::list:
            return QStringLiteral(u"无法读取文件夹：");
    }
    return {};
}

QString reasonText(int errorNumber) {
    switch (errorNumber) {
        case 0:
            return {};
        case EACCES:
        case EPERM:
            return QStringLiteral(u"没有权限");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral(u"磁盘空间不足");
        case EROFS:
            return QStringLiteral(u"磁盘为只读");
        case ENOENT:
            return QStringLiteral(u"文件不存在");
        case EEXIST:
            return QStringLiteral(u"已存在同名项目");
        case ENOTDIR:
            return QStringLiteral(u"路径中有项目不是文件夹");
        case ENAMETOOLONG:
            return QStringLiteral(u"名称过长");
        default:
            return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}
}  // namespace

QString FileSystemError::message() const {
    const QString reason = reasonText(m_errorNumber);
    QString text = operationText(m_operation) + m_path;
    if (!reason.isEmpty()) text += QStringLiteral(u"（") + reason + QStringLiteral(u"）");
    return text;
}
