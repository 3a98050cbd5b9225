#include "ContentFixture.h"
#include "core/engine/ArchiveError.h"

#include <unistd.h>
#include <QDir>
#include <QFile>

namespace {

class CompoundTarTest : public ContentFixture {
protected:
    QString tarArchive(const QString& name, const QString& compression) {
        const QString archive = m_tree.path(name);
        runTool("/usr/bin/tar", QStringList{"-c", compression, "-f", archive, "--"} + m_items, m_sample);
        return archive;
    }
    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Work folders of the unpacked compression layers still on disk.
    QStringList workFolders() const {
        return QDir(m_tree.path("tmp/velmora-%1").arg(::getuid()))
            .entryList({"velmoraCompoundTar-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

TEST_F(CompoundTarTest, ListsPreviewsAndExtractsTheFilesInsideTheTar) {
    addSampleFile("照片 1.txt", "cjk");
    const ArchivePreviewService service;
    const QList<std::pair<QString, QString>> kinds{
        {"s.tar.gz", "-z"}, {"s.tgz", "-z"}, {"s.tar.bz2", "-j"}, {"s.tar.xz", "-J"}};
    for (const auto& [name, compression] : kinds) {
        SCOPED_TRACE(name.toStdString());
        const QString archive = tarArchive(name, compression);
        EXPECT_EQ(sorted(paths(service.previewEntries(archive, std::nullopt, m_token))),
                  sorted(kSamplePaths + QStringList{"照片 1.txt"}));
        EXPECT_EQ(contents(service.extractedPreviewFile(entry("-x.txt"), archive, std::nullopt, m_token)),
                  "dash");
        const QString destination = m_tree.path("out/" + name);
        const QStringList extracted = service
                                          .extractEntries({entry("照片 1.txt"), entry("docs/r.txt")}, archive,
                                                          destination, std::nullopt, m_token)
                                          .outputs;
        EXPECT_EQ(extracted, QStringList({destination + "/照片 1.txt", destination + "/docs/r.txt"}));
        EXPECT_EQ(contents(destination + "/照片 1.txt"), "cjk");
        EXPECT_FALSE(QFileInfo::exists(destination + "/a.txt"));
    }
    EXPECT_TRUE(workFolders().isEmpty());
}

TEST_F(CompoundTarTest, ADamagedLayerFailsInOneSentenceAndLeavesNoWorkFolder) {
    const QString archive = m_tree.writeFile("broken.tar.gz", "not gzip at all");
    EXPECT_EQ(failure([&] { ArchivePreviewService().previewEntries(archive, std::nullopt, m_token); }),
              ArchiveError::corruptedArchive());
    EXPECT_TRUE(workFolders().isEmpty());
}

}  // namespace
