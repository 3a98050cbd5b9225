#include "ContentFixture.h"
#include "core/engine/ArchiveError.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/SevenZipExtractor.h"
#include "platform/PrivateTempDirectory.h"
#include "support/FullDisk.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QScopeGuard>

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

// With GNU tar, with it but not 7-Zip, and with 7-Zip alone (which unpacks the layer first).
TEST_F(CompoundTarTest, ListsPreviewsAndExtractsTheFilesInsideTheTar) {
    addSampleFile("照片 1.txt", "cjk");
    FakePrograms withoutTar, withoutSevenZip;
    withoutTar.remove("tar");
    withoutSevenZip.remove("7zz");
    const QList<std::pair<QString, QString>> kinds{
        {"s.tar.gz", "-z"}, {"s.tgz", "-z"}, {"s.tar.bz2", "-j"}, {"s.tar.xz", "-J"}};
    for (const auto& [name, compression] : kinds) {
        for (const ArchivePrograms& programs :
             {ArchivePrograms::installed(), withoutTar.programs(), withoutSevenZip.programs()}) {
            const ArchivePreviewService service(programs);
            SCOPED_TRACE(name.toStdString() + (programs.tar() ? "" : " without GNU tar") +
                         (programs.sevenZip() ? "" : " without 7-Zip"));
            const QString archive = tarArchive(name, compression);
            EXPECT_EQ(sorted(paths(service.previewEntries(archive, std::nullopt, m_token))),
                      sorted(kSamplePaths + QStringList{"照片 1.txt"}));
            EXPECT_EQ(contents(service.extractedPreviewFile(entry("-x.txt"), archive, std::nullopt, m_token)),
                      "dash");
            const QString destination = m_tree.path("out/" + name);
            const QStringList extracted = service
                                              .extractEntries({entry("照片 1.txt"), entry("docs/r.txt")},
                                                              archive, destination, std::nullopt, m_token)
                                              .outputs;
            EXPECT_EQ(extracted, QStringList({destination + "/照片 1.txt", destination + "/docs/r.txt"}));
            EXPECT_EQ(contents(destination + "/照片 1.txt"), "cjk");
            EXPECT_FALSE(QFileInfo::exists(destination + "/a.txt"));
            QDir(destination).removeRecursively();
        }
    }
    EXPECT_TRUE(workFolders().isEmpty());
}

// GNU tar reads the compressed file itself: a temporary folder too small for the TAR inside is no matter.
TEST_F(CompoundTarTest, NeedsNoRoomForTheTarInside) {
    FullDisk temporary;  // 512 KiB
    if (!temporary.mounted()) GTEST_SKIP() << "needs a file system of its own (root)";
    PrivateTempDirectory::setSystemTempPathForTesting(temporary.path());
    addSampleFile("zeros.bin", QByteArray(2 * 1024 * 1024, '\0'));
    const QString archive = tarArchive("big.tar.gz", "-z");
    const ArchivePreviewService service;
    EXPECT_TRUE(paths(service.previewEntries(archive, std::nullopt, m_token)).contains("zeros.bin"));
    EXPECT_EQ(contents(service.extractedPreviewFile(entry("-x.txt"), archive, std::nullopt, m_token)),
              "dash");
    service.extractEntries({entry("zeros.bin")}, archive, m_tree.path("out"), std::nullopt, m_token);
    EXPECT_EQ(QFileInfo(m_tree.path("out/zeros.bin")).size(), 2 * 1024 * 1024);
    SevenZipExtractor().extract(archive, m_tree.path("whole"), std::nullopt, 1, m_token);
    EXPECT_EQ(QFileInfo(m_tree.path("whole/zeros.bin")).size(), 2 * 1024 * 1024);
}

// GNU tar prints a large entry's line only once it has read past its data, and its listing only when it
// ends: a tar that is reading is not taken for a hung one, however long it prints nothing. One entry of
// 1.5 GiB of zeros, as gzip members that decompress one after the other, outlasts a short limit.
TEST_F(CompoundTarTest, ATarThatReadsForLongBeforeItPrintsIsListed) {
    const QString archive = m_tree.path("huge.tar.gz");
    runTool(
        "/bin/sh",
        {"-c",
         "truncate -s 1536M huge.bin && tar --format=ustar -cf - huge.bin | head -c 512 | gzip -1 > \"$1\"; "
         "rm huge.bin; head -c 64M /dev/zero | gzip -1 > zeros.gz; "
         "for i in $(seq 24); do cat zeros.gz >> \"$1\"; done; rm zeros.gz; "
         "head -c 10240 /dev/zero | gzip -1 >> \"$1\"",
         "sh", archive},
        m_tree.path("."));
    ProcessRunner::setSilenceLimitForTesting(0.5);
    const auto restore = qScopeGuard([] { ProcessRunner::setSilenceLimitForTesting(std::nullopt); });
    const QList<ArchivePreviewEntry> entries =
        ArchivePreviewService().previewEntries(archive, std::nullopt, m_token);
    ASSERT_EQ(paths(entries), QStringList({"huge.bin"}));
    EXPECT_EQ(entries.first().byteSize, 1536LL * 1024 * 1024);
}

TEST_F(CompoundTarTest, ADamagedLayerFailsInOneSentenceAndLeavesNoWorkFolder) {
    const QString archive = m_tree.writeFile("broken.tar.gz", "not gzip at all");
    EXPECT_EQ(failure([&] { ArchivePreviewService().previewEntries(archive, std::nullopt, m_token); }),
              ArchiveError::corruptedArchive());
    EXPECT_TRUE(workFolders().isEmpty());
}

}  // namespace
