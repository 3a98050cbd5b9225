#include "core/engine/ProcessRunnerError.h"

QString ProcessRunnerError::message() const {
    switch (m_kind) {
        case Kind::timedOut:
            return m_silence ? QStringLiteral(u"外部工具长时间没有响应，已停止")
                             : QStringLiteral(u"外部工具执行超时");
        case Kind::launchFailed:
            return QStringLiteral(u"无法启动外部工具：") + m_reason;
    }
    return {};
}
