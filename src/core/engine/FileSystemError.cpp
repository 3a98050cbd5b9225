#include "core/engine/FileSystemError.h"

QString FileSystemError::message() const {
    const QString text = QStringLiteral(u"无法创建文件夹：") + m_path;
    if (!m_reason) return text;
    return text + QStringLiteral(u"（") + QString::fromLocal8Bit(m_reason.message()) + QStringLiteral(u"）");
}
