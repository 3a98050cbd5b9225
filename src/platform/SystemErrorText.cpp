#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace SystemErrorText {

namespace {

// Linux numbers its errors below 134 (EHWPOISON is the last).
constexpr int kLastErrorNumber = 133;

const char16_t* refusal(Access access) {
    switch (access) {
        case Access::read:
            return u"没有读取权限";
        case Access::run:
            return u"没有运行权限";
        case Access::write:
            break;
    }
    return u"没有写入权限";
}

const char16_t* wording(int errorNumber, Access access) {
    switch (errorNumber) {
        case EACCES:
        case EPERM:
            return refusal(access);
        case ENOSPC:
        case EDQUOT:
            return u"磁盘空间不足";
        case ENOENT:
            return u"找不到文件或文件夹";
        case ENAMETOOLONG:
            return u"文件名太长";
        case EROFS:
            return u"文件系统为只读";
        case EEXIST:
            return u"文件已存在";
        case ENOTDIR:
            return u"不是文件夹";
        case EISDIR:
            return u"是文件夹";
        case ENOTEMPTY:
            return u"文件夹不是空的";
        case EIO:
            return u"磁盘读写错误";
        case EFBIG:
            return u"文件太大";
        case EBUSY:
        case ETXTBSY:
            return u"文件正在使用中";
        case EXDEV:
            return u"不能跨磁盘移动";
        case ELOOP:
            return u"链接层数过多";
        case EMFILE:
        case ENFILE:
            return u"打开的文件太多";
        case ENOMEM:
            return u"内存不足";
        case EMLINK:
            return u"链接数过多";
        case ENOEXEC:
            return u"不是可运行的程序";
        case EOPNOTSUPP:
        case ENOSYS:  // what FUSE says of a call its file system does not implement
            return u"文件系统不支持此操作";
        case ENODEV:
        case ENXIO:
            return u"设备不存在";
        case ETIMEDOUT:
            return u"操作超时";
        case EINTR:
            return u"操作被中断";
        case EAGAIN:
            return u"资源暂时不可用";
        case EINVAL:
            return u"参数无效";
        case ESTALE:
            return u"网络文件已失效";
        case ENOTCONN:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
        case ECONNREFUSED:
        case ECONNRESET:
            return u"网络连接失败";
        case EBADF:
        case EFAULT:
        case E2BIG:
        case ERANGE:
        case EOVERFLOW:
            return u"程序内部错误";
        default:
            return nullptr;
    }
}

}  // namespace

QString reason(int errorNumber, Access access) {
    if (const char16_t* text = wording(errorNumber, access)) return QString::fromUtf16(text);
    return QStringLiteral(u"系统错误（错误码 %1）").arg(errorNumber);
}

QString reasonOf(const QFileDevice& file, Access access) {
    const QString text = file.errorString();
    for (int errorNumber = 1; errorNumber <= kLastErrorNumber; ++errorNumber) {
        if (qt_error_string(errorNumber) == text) return reason(errorNumber, access);
    }
    return text;
}

std::optional<int> errorNumberOf(const QString& printedText) {
    // strerrordesc_np is the C locale's text whatever the process's locale, as the tools print it.
    for (int errorNumber = 1; errorNumber <= kLastErrorNumber; ++errorNumber) {
        const char* text = ::strerrordesc_np(errorNumber);
        if (text && printedText == QLatin1String(text)) return errorNumber;
    }
    return std::nullopt;
}

}  // namespace SystemErrorText
