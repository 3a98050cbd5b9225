#include "core/content/EditWorkFolder.h"

#include "core/base/ToolText.h"
#include "core/engine/ExtractionSteps.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

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
    m_path = path;
}

EditWorkFolder::~EditWorkFolder() {
    std::error_code error;
    std::filesystem::remove_all(ToolText::encodedName(m_path).constData(), error);  // never follows a link
}
