#include "EngineFixtures.h"

#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ZipExtractor.h"
#include "core/split/SplitCompressionPlanner.h"
#include "support/FakePrograms.h"

#include <gtest/gtest.h>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Whatever a local user could read in /proc/<pid>/cmdline of every program velmora starts.
class PasswordCommandLineTest : public CompressionTest {
protected:
    void SetUp() override {
        CompressionTest::SetUp();
        ProcessRunner::setLaunchObserverForTesting([this](const QList<QByteArray>& commandLine) {
            const QMutexLocker lock(&m_mutex);
            m_commandLines << commandLine;
        });
    }
    void TearDown() override {
        ProcessRunner::setLaunchObserverForTesting({});
        CompressionTest::TearDown();
    }

    // Command lines that hold the password anywhere, whole or as part of an argument.
    QList<QList<QByteArray>> linesHolding(const QString& password) {
        const QMutexLocker lock(&m_mutex);
        QList<QList<QByteArray>> found;
        for (const QList<QByteArray>& line : m_commandLines) {
            for (const QByteArray& argument : line) {
                if (argument.contains(password.toUtf8())) found << line;
            }
        }
        return found;
    }
    bool started(const QByteArray& program) {
        const QMutexLocker lock(&m_mutex);
        return std::any_of(m_commandLines.begin(), m_commandLines.end(),
                           [&](const QList<QByteArray>& line) { return line.first().endsWith(program); });
    }

    QMap<QString, QByteArray> extracted(const QString& archive, const QString& password) {
        const ArchiveService service(ArchiveService::standardExtractors(),
                                     std::make_shared<CompressionService>());
        const QStringList folders = service
                                        .extract({archive}, tree.path("x/" + QFileInfo(archive).fileName()),
                                                 password, ExtractionOptions{}, 2, {})
                                        .outputs;
        return treeContents(folders.first());
    }

    CompressionService service;

private:
    QMutex m_mutex;
    QList<QList<QByteArray>> m_commandLines;
};

TEST_F(PasswordCommandLineTest, NoPasswordReachesACommandLineInEitherDirection) {
    tree.writeFile("in/Docs/b.txt", "beta");
    const QStringList inputs{tree.writeFile("in/a.txt", "alpha"), tree.path("in/Docs")};
    const QMap<QString, QByteArray> contents{{"a.txt", "alpha"}, {"Docs/", {}}, {"Docs/b.txt", "beta"}};
    const struct {
        const char* name;
        CompressionFormat format;
        QString password;
    } cases[] = {
        {"ascii.zip", CompressionFormat::zip, "Zip-Secret-1"},
        {"wide.zip", CompressionFormat::zip, QStringLiteral(u"密码-Pässwört")},
        {"ascii.7z", CompressionFormat::sevenZip, "Seven-Secret-2"},
        {"wide.7z", CompressionFormat::sevenZip, QStringLiteral(u"七号-Geheimnis")},
    };
    for (const auto& c : cases) {
        const QString archive = service.compress(inputs, tree.path(c.name), c.format,
                                                 CompressionLevel::standard, c.password, 2, false, {}, {});
        EXPECT_EQ(extracted(archive, c.password), contents) << c.name;
        EXPECT_EQ(extractedContents(archive, c.password), contents) << c.name;
        EXPECT_TRUE(linesHolding(c.password).isEmpty()) << c.name;
    }
    const SplitCompressionResult set = service.compressSplit({.files = inputs,
                                                              .destinationDirectoryURL = tree.path("split"),
                                                              .baseName = "Set",
                                                              .format = CompressionFormat::sevenZip,
                                                              .level = CompressionLevel::fastest,
                                                              .password = "Split-Secret-3",
                                                              .splitEnabled = true,
                                                              .splitSizeBytes = 1024,
                                                              .validateAfterCompletion = true},
                                                             {}, {});
    EXPECT_TRUE(set.validationPassed);
    EXPECT_TRUE(linesHolding("Split-Secret-3").isEmpty());
    // The non-ASCII ZIP password went to zip through its terminal.
    EXPECT_TRUE(started("/zip"));
}

TEST_F(PasswordCommandLineTest, UnzipTakesThePasswordOnItsTerminalAndGivesUpOnAWrongOne) {
    const QStringList inputs{tree.writeFile("in/a.txt", "alpha"), tree.writeFile("in/b.txt", "beta")};
    const QString password = QStringLiteral(u"密码-Unzip-4");
    const QString archive = service.compress(inputs, tree.path("u.zip"), CompressionFormat::zip,
                                             CompressionLevel::standard, password, 1, false, {}, {});
    FakePrograms programs;
    programs.addTool("7zz", "echo \"Can't open as archive: 1\"; exit 2");
    ZipExtractor extractor(programs.programs());
    extractor.extract(archive, tree.path("right"), password, 1, {});
    EXPECT_EQ(treeContents(tree.path("right")),
              (QMap<QString, QByteArray>{{"a.txt", "alpha"}, {"b.txt", "beta"}}));
    EXPECT_EQ(thrownArchiveError([&] { extractor.extract(archive, tree.path("wrong"), "not it", 1, {}); }),
              ArchiveError::wrongPassword());
    EXPECT_TRUE(started("/unzip"));
    EXPECT_TRUE(linesHolding(password).isEmpty());
    EXPECT_TRUE(linesHolding("not it").isEmpty());
}

}  // namespace
