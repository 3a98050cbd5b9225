#include "ContentFixture.h"

#include "platform/PrivateTempDirectory.h"

#include <QDir>

QStringList paths(const QList<ArchivePreviewEntry>& entries) {
    QStringList result;
    for (const ArchivePreviewEntry& entry : entries) result << entry.path;
    return result;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

const QStringList ContentFixture::kSampleItems{"a.txt", "*.txt", "-x.txt", "docs"};
const QStringList ContentFixture::kSamplePaths{"*.txt", "-x.txt", "a.txt", "docs/", "docs/r.txt"};

ContentFixture::ContentFixture() {
    m_tree.writeFile("sample/a.txt", "alpha");
    m_tree.writeFile("sample/*.txt", "star");
    m_tree.writeFile("sample/-x.txt", "dash");
    m_tree.writeFile("sample/docs/r.txt", "readme");
    m_sample = m_tree.path("sample");
    PrivateTempDirectory::setSystemTempPathForTesting(m_tree.makeFolder("tmp"));
}

ContentFixture::~ContentFixture() { PrivateTempDirectory::setSystemTempPathForTesting({}); }

QString ContentFixture::sevenZipArchive(const QString& name, const QStringList& switches) {
    const QString archive = m_tree.path(name);
    runTool("/usr/bin/7zz",
            QStringList{"a"} << switches << "-spd"
                             << "--" << archive << m_items,
            m_sample);
    return archive;
}

QString ContentFixture::rarArchive(const QString& name, const QStringList& switches) {
    const QString archive = m_tree.path(name);
    runTool("/usr/bin/rar", QStringList{"a", "-r"} << switches << "--" << archive << m_items, m_sample);
    return archive;
}

QStringList ContentFixture::rarAliasFolders() const {
    return QDir(*PrivateTempDirectory::base() + "/velmoraRarAlias")
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

void ContentFixture::addSampleFile(const QString& name, const QByteArray& contents) {
    m_tree.writeFile("sample/" + name, contents);
    m_items.prepend(name);
}

QStringList ContentFixture::listedPaths(const QString& archive) {
    return sorted(paths(ArchivePreviewService().previewEntries(archive, std::nullopt, {})));
}

ArchivePreviewEntry ContentFixture::entry(const QString& path) {
    ArchivePreviewEntry entry;
    entry.path = path;
    return entry;
}

ArchiveError ContentFixture::failure(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const ArchiveError& error) {
        return error;
    }
    ADD_FAILURE() << "no ArchiveError";
    return ArchiveError::corruptedArchive();
}
