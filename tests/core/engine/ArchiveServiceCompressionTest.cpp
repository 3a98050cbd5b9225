#include "EngineFixtures.h"

#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/split/SplitCompressionError.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// Records that it was asked; compresses nothing.
class RecordingCompressor : public ArchiveCompressor {
public:
    QString compress(const QStringList&, const QString& destinationURL, CompressionFormat, CompressionLevel,
                     const std::optional<QString>&, int, bool, const ProgressHandler&,
                     const CancellationToken&) override {
        ++calls;
        return destinationURL;
    }
    int calls = 0;
};

class ArchiveServiceCompressionTest : public CompressionTest {
protected:
    ArchiveService service{ArchiveService::standardExtractors(), std::make_shared<CompressionService>()};
};

TEST_F(ArchiveServiceCompressionTest, MissingFoldersOfTheDestinationAreCreated) {
    const QStringList inputs{tree.writeFile("in/a.txt", "a"), tree.writeFile("in/b.txt", "b")};
    const QString archive = tree.path("new/deeper/out.7z");
    std::vector<double> progress;
    service.compressSingle(inputs, archive, CompressionFormat::sevenZip, CompressionLevel::standard,
                           std::nullopt, 2, false, [&](double value) { progress.push_back(value); }, {});
    EXPECT_EQ(extractedContents(archive), (QMap<QString, QByteArray>{{"a.txt", "a"}, {"b.txt", "b"}}));
    EXPECT_FALSE(progress.empty());
}

TEST_F(ArchiveServiceCompressionTest, RefusalsComeBeforeAnyFolderIsMade) {
    const auto recorder = std::make_shared<RecordingCompressor>();
    const ArchiveService recording(ArchiveService::standardExtractors(), recorder);
    const QString present = tree.writeFile("in/a.txt", "a");
    const QString archive = tree.path("new/out.zip");
    // A tool would wait on a pipe for good and read a device without end: refused by type, unopened.
    const QString pipe = tree.path("in/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString linkToPipe = tree.path("in/to-pipe");
    ASSERT_TRUE(QFile::link(pipe, linkToPipe));
    const struct {
        QStringList files;
        CompressionFormat format;
        std::optional<QString> password;
        ArchiveError expected;
    } cases[] = {
        {{}, CompressionFormat::zip, {}, ArchiveError::noInputFiles()},
        {{present, tree.path("in/gone.txt"), tree.path("in/also-gone.txt")},
         CompressionFormat::zip,
         {},
         ArchiveError::fileNotFound(tree.path("in/gone.txt"))},
        {{present, pipe}, CompressionFormat::zip, {}, ArchiveError::notFileOrFolder(pipe)},
        {{linkToPipe}, CompressionFormat::sevenZip, {}, ArchiveError::notFileOrFolder(linkToPipe)},
        {{"/dev/zero"}, CompressionFormat::zip, {}, ArchiveError::notFileOrFolder("/dev/zero")},
        {{present},
         CompressionFormat::tarGzip,
         QStringLiteral("pw"),
         ArchiveError::compressFailed(QStringLiteral(u"TAR.GZ 格式不支持加密，请改用 ZIP 或 7Z。"))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(thrownArchiveError([&] {
                      recording.compressSingle(c.files, archive, c.format, CompressionLevel::standard,
                                               c.password, 1, false, {}, {});
                  }),
                  c.expected);
    }
    EXPECT_FALSE(QFileInfo::exists(tree.path("new")));
    EXPECT_EQ(recorder->calls, 0);
}

TEST_F(ArchiveServiceCompressionTest, SplitCompressionNeedsTheCompressionService) {
    const ArchiveService other(ArchiveService::standardExtractors(), std::make_shared<RecordingCompressor>());
    const QString input = tree.writeFile("in/a.txt", "a");
    SplitCompressionRequest request{.destinationDirectoryURL = tree.path("out"), .baseName = "x"};
    EXPECT_EQ(thrownArchiveError([&] { other.compressSplit(request, {}, {}); }),
              ArchiveError::noInputFiles());
    request.files = {input};
    EXPECT_THROW(other.compressSplit(request, {}, {}), SplitCompressionError);

    request.validateAfterCompletion = true;
    const SplitCompressionResult result = service.compressSplit(request, {}, {});
    EXPECT_EQ(result, (SplitCompressionResult{{tree.path("out/x.zip")}, true}));
}

}  // namespace
