#include "core/split/SplitCompressionError.h"

QString SplitCompressionError::message() const {
    switch (m_kind) {
        case Kind::sourceUnavailable:
            return QStringLiteral(u"压缩源文件已不存在或无法读取，请重新添加。");
        case Kind::sourceUnreadable:
            return QStringLiteral(u"部分文件无法读取，无法安全创建压缩包。");
        case Kind::existingOutput:
            return QStringLiteral(u"目标位置已存在同名分卷文件，请选择覆盖、自动重命名或取消。");
        case Kind::noInput:
            return QStringLiteral(u"请先添加需要压缩的文件或文件夹。");
        case Kind::invalidVolumeSize:
            return QStringLiteral(u"每卷大小必须大于 0。");
        case Kind::unsupportedFormat:
            return QStringLiteral(u"当前压缩格式或压缩引擎不支持创建分卷压缩包，请更换格式。");
        case Kind::passwordMismatch:
            return QStringLiteral(u"两次输入的密码不一致，请重新确认。");
        case Kind::outputNotWritable:
            return QStringLiteral(u"没有权限写入该文件夹，请更换保存位置。");
        case Kind::insufficientDiskSpace:
            return QStringLiteral(u"目标磁盘可用空间不足，无法安全开始压缩。");
        case Kind::invalidBaseName:
            return QStringLiteral(u"请填写压缩包名称。");
    }
    return {};
}
