#include "core/engine/ArchiveError.h"

#include "core/base/InputItem.h"

#include <QFileInfo>

#include <cerrno>

ArchiveError ArchiveError::permissionDenied(const QString& item, SystemErrorText::Access access) {
    QString verb = QStringLiteral(u"无法写入");
    if (access == SystemErrorText::Access::read) verb = QStringLiteral(u"无法读取");
    if (access == SystemErrorText::Access::run) verb = QStringLiteral(u"无法运行");
    return {Kind::permissionDenied, verb + QStringLiteral(u"“") + item + QStringLiteral(u"”（") +
                                        SystemErrorText::reason(EACCES, access) + QStringLiteral(u"）")};
}

std::optional<ArchiveError> ArchiveError::unwritable(const QString& item, int errorNumber) {
    const QString sentence = QStringLiteral(u"无法写入“") + item + QStringLiteral(u"”（") +
                             SystemErrorText::reason(errorNumber, SystemErrorText::Access::write) +
                             QStringLiteral(u"）");
    switch (errorNumber) {
        case EACCES:
        case EPERM:
            return permissionDenied(item, SystemErrorText::Access::write);
        case ENOSPC:
        case EDQUOT:
            return ArchiveError(Kind::diskFull, sentence);
        case EROFS:
            return ArchiveError(Kind::readOnlyFileSystem, sentence);
        default:
            return std::nullopt;
    }
}

QString ArchiveError::withReinstallAdvice(const QString& missing) {
    return missing + QStringLiteral(u"，请重新安装 velmora。");
}

ArchiveError ArchiveError::notFileOrFolder(const QString& path) {
    return {Kind::notFileOrFolder, InputItem::notFileOrFolderText(path)};
}

QString ArchiveError::message() const {
    switch (m_kind) {
        case Kind::unsupportedFormat:
            return QStringLiteral(u"暂不支持 .") + m_payload + QStringLiteral(u" 格式。");
        case Kind::destinationExists:
            return QStringLiteral(u"目标文件夹已存在：") + QFileInfo(m_payload).fileName();
        case Kind::fileNotFound:
            return QStringLiteral(u"文件不存在：") + m_payload;
        case Kind::dependencyMissing:
        case Kind::commandFailed:
        case Kind::notFileOrFolder:
            return m_payload;
        case Kind::extractFailed:
            return QStringLiteral(u"解压失败：") + m_payload;
        case Kind::compressFailed:
            return QStringLiteral(u"压缩失败：") + m_payload;
        case Kind::corruptedArchive:
            return m_payload.isEmpty() ? QStringLiteral(u"压缩包可能已损坏，无法读取。") : m_payload;
        case Kind::wrongPassword:
            return QStringLiteral(u"密码错误或压缩包需要密码。");
        case Kind::permissionDenied:
            return m_payload.isEmpty() ? QStringLiteral(u"没有足够权限访问文件或目标文件夹。") : m_payload;
        case Kind::noInputFiles:
            return QStringLiteral(u"请选择需要压缩的文件。");
        case Kind::diskFull:
            return m_payload.isEmpty() ? QStringLiteral(u"磁盘空间不足。") : m_payload;
        case Kind::readOnlyFileSystem:
            return m_payload.isEmpty() ? QStringLiteral(u"文件系统为只读。") : m_payload;
        case Kind::destinationNotWritable:
            return m_payload.isEmpty() ? QStringLiteral(u"没有写入权限。")
                                       : QStringLiteral(u"没有写入权限：") + m_payload;
        case Kind::missingVolume:
            return QStringLiteral(u"缺少分卷：") + m_payload;
        case Kind::noFiles:
            return QStringLiteral(u"压缩包中没有可解压的文件。");
    }
    return {};
}
