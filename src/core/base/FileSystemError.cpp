#include "core/base/FileSystemError.h"

#include "platform/PrivateTempDirectory.h"
#include "platform/SystemErrorText.h"

SystemErrorText::Access FileSystemError::accessOf(Kind kind) {
    switch (kind) {
        case Kind::openFailed:
        case Kind::readFailed:
        case Kind::listFailed:
            return SystemErrorText::Access::read;
        case Kind::writeFailed:
        case Kind::saveFailed:
        case Kind::createFailed:
        case Kind::copyFailed:  // the copy's side that writes; a source that cannot be read is a readFailed
        case Kind::removeFailed:
            break;
    }
    return SystemErrorText::Access::write;
}

FileSystemError FileSystemError::fromErrorNumber(Kind kind, const QString& path, int errorNumber) {
    if (errorNumber == 0) return {kind, path, {}};
    return {kind, path, SystemErrorText::reason(errorNumber, accessOf(kind))};
}

FileSystemError FileSystemError::fromFile(Kind kind, const QString& path, const QFileDevice& file) {
    return {kind, path, SystemErrorText::reasonOf(file, accessOf(kind))};
}

FileSystemError FileSystemError::privateTempUnavailable() {
    if (const std::optional<PrivateTempDirectory::Problem> problem = PrivateTempDirectory::problem())
        return {Kind::createFailed, problem->folder, problem->reason};
    // The base is there, but not what was wanted inside it.
    return {Kind::createFailed, PrivateTempDirectory::base().value_or(QString()), {}};
}

QString FileSystemError::message() const {
    QString text;
    switch (m_kind) {
        case Kind::openFailed:
            text = QStringLiteral(u"无法打开文件：");
            break;
        case Kind::readFailed:
            text = QStringLiteral(u"无法读取文件：");
            break;
        case Kind::writeFailed:
            text = QStringLiteral(u"无法写入文件：");
            break;
        case Kind::saveFailed:
            text = QStringLiteral(u"无法保存文件：");
            break;
        case Kind::createFailed:
            text = QStringLiteral(u"无法创建文件夹：");
            break;
        case Kind::copyFailed:
            text = QStringLiteral(u"无法复制文件：");
            break;
        case Kind::removeFailed:
            text = QStringLiteral(u"无法删除：");
            break;
        case Kind::listFailed:
            text = QStringLiteral(u"无法读取文件夹：");
            break;
    }
    text += m_path;
    if (!m_reason.isEmpty()) text += QStringLiteral(u"（") + m_reason + QStringLiteral(u"）");
    return text;
}
