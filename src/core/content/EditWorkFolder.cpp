#include "core/content/EditWorkFolder.h"

#include "platform/ToolText.h"
#include "platform/WorkTree.h"
#include "core/base/ZipCentralDirectory.h"
#include "core/engine/ExtractionSteps.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace {

constexpr qsizetype kSevenZipStartHeaderSize = 32;

// Signature, version, the start header's CRC, then the next header's offset (from the end of the
// start header), size and CRC.
bool isWholeSevenZip(QByteArrayView start, quint64 fileSize) {
    using namespace ZipCentralDirectory;
    const quint64 end = kSevenZipStartHeaderSize + readUInt64LE(start, 12) + readUInt64LE(start, 20);
    return readUInt32LE(start, 8) == crc32(start.sliced(12, 20)) && end == fileSize;
}

}  // namespace

bool EditWorkFolder::holdsWholeArchive(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const quint64 size = quint64(file.size());
    const QByteArray start = file.read(kSevenZipStartHeaderSize);
    if (start.size() == kSevenZipStartHeaderSize && start.startsWith(QByteArrayLiteral("7z\xBC\xAF\x27\x1C")))
        return isWholeSevenZip(start, size);
    const quint64 tailLength = std::min(size, ZipCentralDirectory::kTailLength);
    if (!file.seek(qint64(size - tailLength))) return false;
    const QByteArray tail = file.read(qint64(tailLength));
    return tail.size() == qsizetype(tailLength) && ZipCentralDirectory::isWhole(tail, size);
}

EditWorkFolder::EditWorkFolder(const QString& archiveURL) : m_journal(WorkJournal::open()) {
    const QString folder = QFileInfo(archiveURL).absolutePath();
    const QString path =
        folder + QStringLiteral("/.velmoraEdit-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (m_journal) {
        int error = m_journal->add(path, WorkJournal::Kind::Tree);
        if (error == 0) error = m_journal->addEditedArchive(path, QFileInfo(archiveURL).absoluteFilePath());
        if (error) ExtractionSteps::throwCreateFailed(folder, error);
    }
    if (::mkdir(ToolText::encodedName(path).constData(), 0700) != 0)
        ExtractionSteps::throwCreateFailed(folder, errno);
    m_archive = QFileInfo(archiveURL).absoluteFilePath();
    m_path = path;
}

EditWorkFolder::~EditWorkFolder() {
    if (!m_keep) WorkTree::remove(ToolText::encodedName(m_path));
}

WorkJournal::EditedArchive EditWorkFolder::restoreArchive() {
    const WorkJournal::EditedArchive found = WorkJournal::restoreEditedArchive(
        ToolText::encodedName(m_path), ToolText::encodedName(m_archive), holdsWholeArchive);
    m_keep = found == WorkJournal::EditedArchive::stranded;
    return found;
}
