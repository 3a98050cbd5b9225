#include "core/engine/ProcessRunnerError.h"

QString ProcessRunnerError::message() const {
    switch (m_kind) {
        case Kind::timedOut:
            return QStringLiteral(u"外部工具执行超时：") + m_executableName;
        case Kind::launchFailed:
            return QStringLiteral(u"无法启动外部工具 ") + m_executableName + QStringLiteral(u"：") + m_reason;
    }
    return {};
}
