#include "core/split/SplitArchiveError.h"

QString SplitArchiveError::message() const {
    switch (m_kind) {
        case Kind::unsupportedFormat:
            return m_payload;
        case Kind::missingPrimary:
            return QStringLiteral(u"检测到分卷文件，但未找到主卷「") + m_payload + QStringLiteral(u"」。");
        case Kind::missingPart:
            return QStringLiteral(u"无法开始解压：缺少分卷「") + m_payload +
                   QStringLiteral(u"」。请将缺失文件放入与主卷相同的文件夹后重试。");
        case Kind::duplicatePart:
            return QStringLiteral(u"检测到重复分卷「") + m_payload +
                   QStringLiteral(u"」，请保留正确文件后重试。");
        case Kind::namingMismatch:
        case Kind::notFileOrFolder:
            return m_payload;
        case Kind::unreadablePart:
            return QStringLiteral(u"无法读取分卷「") + m_payload +
                   QStringLiteral(u"」，请检查文件权限后重试。");
        case Kind::outputNotWritable:
            return QStringLiteral(u"输出目录不可写：") + m_payload +
                   QStringLiteral(u"。请选择其他解压位置。");
        case Kind::directorySelected:
            return QStringLiteral(u"请选择一个分卷文件，而不是文件夹。");
        case Kind::notSplitArchive:
            return QStringLiteral(u"该文件不是分卷压缩包，是否前往普通解压？");
        case Kind::insufficientDiskSpace:
            return QStringLiteral(u"目标磁盘可用空间不足，无法安全开始解压。");
    }
    return {};
}
