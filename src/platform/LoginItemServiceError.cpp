#include "platform/LoginItemServiceError.h"

QString LoginItemServiceError::message() const {
    switch (m_kind) {
        case Kind::autostartEntryFailed:
            return QStringLiteral(u"开机后台自启动设置失败：") + m_detail;
        case Kind::appPathUnavailable:
            return QStringLiteral(u"无法读取当前 App 路径。");
    }
    return {};
}
