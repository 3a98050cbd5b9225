#include "core/engine/FileSystemError.h"

QString FileSystemError::message() const {
    QString text;
    switch (m_kind) {
        case Kind::openFailed:
            text = QStringLiteral(u"无法打开文件：");
            break;
        case Kind::readFailed:
            text = QStringLiteral(u"无法读取文件：");
            break;
        case Kind::createFailed:
            text = QStringLiteral(u"无法创建文件夹：");
            break;
    }
    text += m_path;
    if (!m_reason.isEmpty()) text += QStringLiteral(u"（") + m_reason + QStringLiteral(u"）");
    return text;
}
