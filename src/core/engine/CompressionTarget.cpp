#include "core/engine/CompressionTarget.h"

#include "core/base/ExclusiveRename.h"
#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "platform/ToolText.h"
#include "platform/WorkTree.h"
#include "core/engine/ExtractionSteps.h"
#include "core/split/SplitCompressionError.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString& path) { return ToolText::encodedName(path); }

bool exists(const QString& path) {
    struct stat info {};
    return ::lstat(nativePath(path).constData(), &info) == 0;
}

}  // namespace

CompressionTarget::CompressionTarget(const QString& plannedURL, const QString& extension, WhenTaken whenTaken,
                                     WorkJournal::Record* journal)
    : m_plannedURL(plannedURL), m_extension(extension), m_whenTaken(whenTaken), m_journal(journal) {
    if (whenTaken == WhenTaken::fail && exists(plannedURL))
        throw SplitCompressionError::existingOutput(FileNameHelper::lastPathComponent(plannedURL));
    const QString folder = QFileInfo(plannedURL).path();
    const QString workFolder = folder + QStringLiteral("/.velmoraCompression-") +
                               QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (const int error = journal ? journal->add(workFolder, WorkJournal::Kind::Tree) : 0)
        ExtractionSteps::throwCreateFailed(folder, error);
    if (::mkdir(nativePath(workFolder).constData(), 0700) != 0)
        ExtractionSteps::throwWriteIntoFailed(folder, errno);
    m_workFolder = workFolder;
}

CompressionTarget::~CompressionTarget() { WorkTree::remove(nativePath(m_workFolder)); }

QString CompressionTarget::workURL(const QString& fileName) const {
    return m_workFolder + QLatin1Char('/') + fileName;
}

QStringList CompressionTarget::commit(const QStringList& workFiles, const CancellationToken& token) {
    const QString folder = QFileInfo(m_plannedURL).path();
    const QString plannedName = FileNameHelper::lastPathComponent(m_plannedURL);
    // A set's volumes are recorded before the first moves out, so that a start after a kill between
    // two moves takes back those already out; one archive moves by a single rename.
    const bool recordsMoves = m_journal && workFiles.size() > 1;
    if (recordsMoves) {
        QList<QByteArray> items;
        for (const QString& file : workFiles) items << nativePath(file);
        if (const int error = m_journal->addMovesOut(items))
            ExtractionSteps::throwCreateFailed(folder, error);
    }
    QStringList finals;
    QStringList moved;
    const auto undo = [&] {
        for (const QString& path : moved) ::unlink(nativePath(path).constData());
    };
    for (const QString& file : workFiles) {
        const QString name = FileNameHelper::lastPathComponent(file);
        finals << folder + QLatin1Char('/') + name;
        if (name == plannedName) continue;
        const int error = ExclusiveRename::rename(file, finals.last(), m_journal);
        if (error != 0) {
            undo();
            if (error == EEXIST) throw SplitCompressionError::existingOutput(name);
            throw FileSystemError::fromErrorNumber(FileSystemError::Kind::saveFailed, finals.last(), error);
        }
        moved << finals.last();
    }
    // The planned name last: the set appears under the name it is known by only once it is whole.
    const qsizetype planned = workFiles.indexOf(workURL(plannedName));
    try {
        if (planned >= 0) finals[planned] = moveInPlannedName(workFiles[planned], token);
    } catch (...) {
        undo();
        throw;
    }
    if (recordsMoves) m_journal->endMovesOut(nativePath(m_workFolder));
    return finals;
}

QString CompressionTarget::moveInPlannedName(const QString& workFile, const CancellationToken& token) const {
    const QString folder = QFileInfo(m_plannedURL).path();
    const QString name = FileNameHelper::lastPathComponent(m_plannedURL);
    if (m_whenTaken == WhenTaken::nextFreeName) {
        const auto nameFor = [&](qint64 number) {
            return number == 0 ? name : numberedName(name, m_extension, static_cast<int>(number));
        };
        return ExclusiveRename::toFreeName(workFile, folder, nameFor, m_journal, token);
    }
    const int error = ExclusiveRename::rename(workFile, m_plannedURL, m_journal);
    if (error == EEXIST) throw SplitCompressionError::existingOutput(name);
    if (error != 0)
        throw FileSystemError::fromErrorNumber(FileSystemError::Kind::saveFailed, m_plannedURL, error);
    return m_plannedURL;
}

QString CompressionTarget::numberedName(const QString& fileName, const QString& extension, int number) {
    const QString suffix = QLatin1Char('.') + extension;
    if (!extension.isEmpty() && fileName.size() > suffix.size() &&
        fileName.endsWith(suffix, Qt::CaseInsensitive)) {
        return fileName.chopped(suffix.size()) + QLatin1Char(' ') + QString::number(number) +
               fileName.right(suffix.size());
    }
    return FileNameHelper::numberedName(fileName, number, false);
}
