#include "core/engine/CompoundTar.h"

#include "core/base/ArchiveFormat.h"
#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/engine/ArchiveError.h"
#include "platform/PrivateTempDirectory.h"
#include "platform/WorkTree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QUuid>

namespace CompoundTar {

bool isCompoundTar(const QString& fileURL) {
    using Kind = ArchiveFormat::Kind;
    const std::optional<Kind> kind = ArchiveFormat::kind(fileURL);
    return kind == Kind::tarGz || kind == Kind::tarBz2 || kind == Kind::tarXz;
}

WorkFolder::WorkFolder() {
    const QString name =
        QStringLiteral("velmoraCompoundTar-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const std::optional<QString> path = PrivateTempDirectory::makeFolder(name);
    if (!path) throw FileSystemError::privateTempUnavailable();
    m_path = *path;
}

WorkFolder::~WorkFolder() { WorkTree::remove(QFile::encodeName(m_path)); }

ProcessResult throughInnerTar(const QString& archiveURL,
                              const std::function<ProcessResult(const QString& workFolder)>& unpack,
                              const std::function<ProcessResult(const QString& tarFile)>& read) {
    const WorkFolder work;
    ProcessResult unpacked = unpack(work.path());
    if (unpacked.status != 0) return unpacked;
    return read(locateTarFile(work.path(), archiveURL));
}

QString locateTarFile(const QString& folderURL, const QString& archiveURL) {
    QDirIterator entries(folderURL, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList files;
    while (entries.hasNext()) {
        const QString entry = entries.next();
        if (FileNameHelper::pathExtension(entry).toLower() == QLatin1String("tar")) return entry;
        if (entries.fileInfo().isFile()) files.append(entry);
    }
    if (files.size() == 1) return files.first();
    throw ArchiveError::extractFailed(QStringLiteral(u"未能解析 ") +
                                      FileNameHelper::lastPathComponent(archiveURL) +
                                      QStringLiteral(u" 中的 TAR 中间文件。"));
}

}  // namespace CompoundTar
