// What a user compresses comes back as it was: a tree with links of every kind, a private folder and
// names that are not UTF-8, compressed and extracted again with the real tools through ArchiveService.

#include "EngineFixtures.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "core/engine/ExtractionOptions.h"
#include "support/FakePrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes 0xE9 alone are Latin-1 "é", not UTF-8: Qt cannot name this file.
const QByteArray kLatin1Name = QByteArrayLiteral("caf\xe9 latin1.txt");
constexpr time_t kOldTime = 978307200;  // 2001-01-01

struct Link {
    const char* path;
    const char* target;
};
// Chains (a target through another link, from above with ".." too) are what 7-Zip refuses by default.
constexpr Link kLinks[] = {
    {"in/flink", "f.txt"},
    {"in/dlink", "sub"},
    {"in/sub/up", "../sub"},
    {"in/loop", "."},
    {"in/dangling", "nowhere"},
    {"in/vialink", "dlink/g.txt"},
    {"in/sub/viaup", "../dlink/g.txt"},
    {"in/chain", "vialink"},
    {"in/loop1", "loop2"},
    {"in/loop2", "loop1"},
    // As in Debian's documentation folder: a folder link, a link to it, a file through both.
    {"in/doc/libctf0", "libbinutils"},
    {"in/doc/libctf-nobfd0", "libctf0"},
    {"in/doc/copyright", "libctf-nobfd0/copyright"},
};

QByteArray native(const QString& path) { return QFile::encodeName(path); }

void writeLatin1File(const QString& folder) {
    const int file = ::open((native(folder) + '/' + kLatin1Name).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "latin", 5), 5);
    ::close(file);
}

// Noise does not compress: a loop followed even once would show in the archive's size.
QByteArray noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (char& byte : bytes) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        byte = char(state);
    }
    return bytes;
}

// Every entry below root by its relative path's bytes, nothing followed: a link as its target, a file
// as its bytes, a folder as such.
std::map<std::string, std::string> entriesBelow(const QString& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    const fs::path base = native(root).toStdString();
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(base)) {
        std::string& entry = entries[item.path().lexically_relative(base).string()];
        if (item.is_symlink()) {
            entry = "link to " + fs::read_symlink(item.path()).string();
        } else if (item.is_directory()) {
            entry = "folder";
        } else {
            std::ifstream file(item.path(), std::ios::binary);
            entry = "file " + std::string(std::istreambuf_iterator<char>(file), {});
        }
    }
    return entries;
}

qint64 totalSize(const QStringList& files) {
    qint64 size = 0;
    for (const QString& file : files) size += QFileInfo(file).size();
    return size;
}

// Extracts archive whole into destination with the standard extractors of programs.
void extractInto(const QString& archive, const QString& destination,
                 const ArchivePrograms& programs = ArchivePrograms::installed()) {
    ExtractionOptions settings;
    settings.extractToSeparateFolder = false;
    ArchiveService(ArchiveService::standardExtractors(programs), nullptr)
        .extract({archive}, destination, std::nullopt, settings, 1, {});
}

struct RoundTrip {
    const char* name;
    CompressionFormat format;
    std::optional<QString> password;
    bool split;
};

class RoundTripTest : public testing::TestWithParam<RoundTrip> {
protected:
    void SetUp() override {
        tree.writeFile("in/f.txt", "alpha");
        tree.writeFile("in/sub/g.txt", "beta");
        tree.writeFile("in/.hidden", "gamma");
        tree.writeFile("in/noise.bin", noise(200 * 1024));
        tree.writeFile("in/private/p.txt", "delta");
        tree.writeFile("in/doc/libbinutils/copyright", "epsilon");
        writeLatin1File(tree.path("in"));
        for (const Link& link : kLinks) ASSERT_EQ(::symlink(link.target, native(tree.path(link.path))), 0);
        // Beside the chains, a hard link: TAR stores it as a link to an archive path.
        ASSERT_EQ(::link(native(tree.path("in/f.txt")), native(tree.path("in/sub/hard.txt"))), 0);
        ASSERT_EQ(::chmod(native(tree.path("in/private")), 0700), 0);
        const struct timespec times[2] = {{kOldTime, 0}, {kOldTime, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, native(tree.path("in/private")), times, 0), 0);
    }

    // QTemporaryDir cannot see the Latin-1 name, so it could not remove its folder.
    void TearDown() override { std::filesystem::remove_all(native(tree.root()).toStdString()); }

    // The outputs, the volume to extract first.
    QStringList compress(const RoundTrip& trip) {
        const QStringList inputs{tree.path("in")};
        if (!trip.split && trip.format == CompressionFormat::tarGzip) {
            const QString archive = tree.path("out/rt.tar.gz");
            service.compressSingle(inputs, archive, trip.format, CompressionLevel::standard, trip.password, 2,
                                   false, {}, {});
            return {archive};
        }
        const SplitCompressionResult result =
            service.compressSplit({.files = inputs,
                                   .destinationDirectoryURL = tree.path("out"),
                                   .baseName = "rt",
                                   .format = trip.format,
                                   .password = trip.password,
                                   .threadCount = 2,
                                   .splitEnabled = trip.split,
                                   .splitSizeBytes = 64 * 1024},
                                  {}, {});
        QStringList outputs = result.outputURLs;
        if (trip.format == CompressionFormat::zip)
            std::rotate(outputs.rbegin(), outputs.rbegin() + 1, outputs.rend());
        return outputs;
    }

    void extract(const QString& archive, const std::optional<QString>& password) {
        ExtractionOptions settings;
        settings.extractToSeparateFolder = false;
        service.extract({archive}, tree.makeFolder("back"), password, settings, 2, {});
    }

    TempTree tree;
    ArchiveService service{ArchiveService::standardExtractors(), std::make_shared<CompressionService>()};
};

TEST_P(RoundTripTest, TheTreeComesBackAsItWas) {
    const RoundTrip trip = GetParam();
    const QStringList outputs = compress(trip);
    EXPECT_EQ(outputs.size() > 1, trip.split);
    EXPECT_LT(totalSize(outputs), 300 * 1024);
    extract(outputs.first(), trip.password);

    const QString back = tree.path("back/in");
    EXPECT_EQ(entriesBelow(back), entriesBelow(tree.path("in")));
    for (const char* throughLinks : {"vialink", "sub/viaup", "chain", "dlink/g.txt"})
        EXPECT_EQ(tree.readFile(QStringLiteral("back/in/") + throughLinks), "beta") << throughLinks;
    EXPECT_EQ(tree.readFile("back/in/doc/copyright"), "epsilon");
    struct stat info {};
    ASSERT_EQ(::stat(native(back + "/private"), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_mtim.tv_sec, kOldTime);
    ASSERT_EQ(::lstat(native(back) + '/' + kLatin1Name, &info), 0);
    EXPECT_EQ(info.st_size, 5);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, RoundTripTest,
    testing::Values(RoundTrip{"zip", CompressionFormat::zip, std::nullopt, false},
                    RoundTrip{"zipPassword", CompressionFormat::zip, QStringLiteral("pw"), false},
                    RoundTrip{"zipSplit", CompressionFormat::zip, std::nullopt, true},
                    RoundTrip{"sevenZip", CompressionFormat::sevenZip, std::nullopt, false},
                    RoundTrip{"sevenZipPassword", CompressionFormat::sevenZip, QStringLiteral("pw"), false},
                    RoundTrip{"sevenZipSplit", CompressionFormat::sevenZip, QStringLiteral("pw"), true},
                    RoundTrip{"tarGzip", CompressionFormat::tarGzip, std::nullopt, false}),
    [](const testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.name); });

TEST(RoundTripSafety, ATarHoldingALinkOutOfTheDestinationFailsNamingIt) {
    TempTree tree;
    tree.writeFile("src/in/ok.txt", "ok");
    ASSERT_EQ(::symlink("../../outside.txt", native(tree.path("src/in/escape"))), 0);
    runTool(kTar, {"-czf", tree.path("bad.tar.gz"), "in"}, tree.path("src"));
    const QString destination = tree.makeFolder("dest");
    const std::optional<QString> message =
        thrownMessage([&] { extractInto(tree.path("bad.tar.gz"), destination); });
    ASSERT_TRUE(message.has_value());
    EXPECT_TRUE(message->contains("in/escape")) << message->toStdString();
    EXPECT_TRUE(QDir(destination).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

// Links climbing back into the tree or up to the destination, which 7-Zip calls dangerous, come out as
// links; one more climbing past it is refused by name, whichever link 7-Zip names first.
TEST(RoundTripSafety, LinksThatClimbBackStayInsideAndOnlyOneLeadingOutIsRefused) {
    TempTree tree;
    tree.writeFile("src/in/a/b/c/d/e/f/g/file.txt", "deep");
    tree.makeFolder("src/in/d1/d2");
    for (const Link& link :
         {Link{"in/d1/top", ".."}, Link{"in/again", "a/../a/b"},
          Link{"in/d1/d2/link2", "../d2/../../a/b/c/d/e/f/g"}, Link{"in/d1/root", "../.."}})
        ASSERT_EQ(::symlink(link.target, native(tree.path(QStringLiteral("src/") + link.path))), 0);
    const std::map<std::string, std::string> inside = entriesBelow(tree.path("src"));
    runTool(kZip, {"-q", "-r", "-y", tree.path("in.zip"), "in"}, tree.path("src"));
    runTool(kSevenZip, {"a", "-snl", tree.path("in.7z"), "in"}, tree.path("src"));
    ASSERT_EQ(::symlink("../../..", native(tree.path("src/in/d1/out"))), 0);
    runTool(kZip, {"-q", "-r", "-y", tree.path("out.zip"), "in"}, tree.path("src"));
    runTool(kSevenZip, {"a", "-snl", tree.path("out.7z"), "in"}, tree.path("src"));
    const std::optional<QString> refused(
        u"解压失败：压缩包中的链接“in/d1/out”指向解压位置之外，已停止解压。"_qs);
    for (const char* archive : {"in.zip", "in.7z", "out.zip", "out.7z"}) {
        SCOPED_TRACE(archive);
        const bool leadsOut = archive[0] == 'o';
        const QString destination = tree.makeFolder(QStringLiteral("dest-") + archive);
        EXPECT_EQ(thrownMessage([&] { extractInto(tree.path(archive), destination); }),
                  leadsOut ? refused : std::nullopt);
        EXPECT_EQ(entriesBelow(destination), (leadsOut ? std::map<std::string, std::string>() : inside));
    }
}

// An archive whose links pass through other links is still refused, naming the link, when a link
// leads out that way or 7-Zip would write an entry through a link; the destination stays as it was.
// GNU tar makes a link that leads out only after every file, so a TAR's file lands through a link only
// where it stays inside. unrar skips a link leading out, calling the run a success: refused too.
TEST(RoundTripSafety, ALinkChainLeadingOutOrWrittenThroughIsRefused) {
    TempTree tree;
    tree.writeFile("src/in/sub/g.txt", "g");
    ASSERT_EQ(::symlink("sub", native(tree.path("src/in/lnk"))), 0);
    ASSERT_EQ(::symlink("lnk/g.txt", native(tree.path("src/in/via"))), 0);
    ASSERT_EQ(::symlink("../in", native(tree.path("src/in/up1"))), 0);
    ASSERT_EQ(::symlink("up1/../..", native(tree.path("src/in/esc"))), 0);
    runTool(kTar, {"-cf", tree.path("out.tar"), "in/sub", "in/lnk", "in/via", "in/up1", "in/esc"},
            tree.path("src"));
    runTool(kTar, {"-czf", tree.path("out.tar.gz"), "in"}, tree.path("src"));
    runTool(kZip, {"-q", "-r", "-y", tree.path("out.zip"), "in"}, tree.path("src"));
    runTool(kSevenZip, {"a", "-snl", tree.path("out.7z"), "in"}, tree.path("src"));
    // The same chain, then a file stored under the link's name as a folder.
    tree.writeFile("other/in/lnk/evil.txt", "evil");
    runTool(kTar, {"-cf", tree.path("through.tar"), "in/sub", "in/lnk", "in/via"}, tree.path("src"));
    runTool(kTar, {"-rf", tree.path("through.tar"), "in/lnk/evil.txt"}, tree.path("other"));
    // A file written through the chain that leads out.
    tree.writeFile("other/in/esc/evil.txt", "evil");
    runTool(kTar, {"-cf", tree.path("escaping.tar"), "in/sub", "in/lnk", "in/via", "in/up1", "in/esc"},
            tree.path("src"));
    runTool(kTar, {"-rf", tree.path("escaping.tar"), "in/esc/evil.txt"}, tree.path("other"));
    // The chain with a hard link whose target is no entry of the archive, or climbs out of it.
    ASSERT_EQ(::link(native(tree.path("src/in/sub/g.txt")), native(tree.path("src/in/hard.txt"))), 0);
    const QStringList chainAndHardLink{"in/sub", "in/lnk", "in/via", "in/hard.txt"};
    runTool(kTar, QStringList{"-cf", tree.path("hardmissing.tar")} + chainAndHardLink, tree.path("src"));
    runTool(kTar, {"--delete", "-f", tree.path("hardmissing.tar"), "in/sub/g.txt"}, tree.path("src"));
    runTool(kTar,
            QStringList{"-cf", tree.path("hardout.tar"), "-P", "--transform=s,^in/sub/g.txt$,../g.txt,RSh"} +
                chainAndHardLink,
            tree.path("src"));
    tree.writeFile("rar/ok.txt", "ok");
    ASSERT_EQ(::symlink(native(tree.path("outside")).constData(), native(tree.path("rar/abs"))), 0);
    ASSERT_EQ(::symlink("../../../../../../tmp/outside", native(tree.path("rar/rel"))), 0);
    ASSERT_EQ(::symlink("ok.txt", native(tree.path("rar/in"))), 0);
    runTool(kRar, {"a", "-idq", "-ol", tree.path("out.rar"), "abs", "rel", "ok.txt"}, tree.path("rar"));
    runTool(kRar, {"a", "-idq", "-ol", tree.path("in.rar"), "in", "ok.txt"}, tree.path("rar"));
    const struct {
        const char* archive;
        const char* named;
    } cases[] = {{"out.tar", "in/esc"},         {"out.tar.gz", "in/esc"},       {"out.zip", "in/esc"},
                 {"out.7z", "in/esc"},          {"through.tar", "in/via"},      {"escaping.tar", "in/esc"},
                 {"hardmissing.tar", "in/via"}, {"hardout.tar", "in/hard.txt"}, {"out.rar", "“abs”"}};
    FakePrograms sevenZipAlone;
    sevenZipAlone.remove(QStringLiteral("tar"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        const QString destination = tree.makeFolder(QStringLiteral("dest-") + c.archive);
        tree.writeFile(QStringLiteral("dest-%1/in").arg(c.archive), "the user's");
        const std::optional<QString> message = thrownMessage([&] {
            extractInto(tree.path(c.archive), destination,
                        QByteArray(c.archive) == "through.tar" ? sevenZipAlone.programs()
                                                               : ArchivePrograms::installed());
        });
        ASSERT_TRUE(message.has_value());
        EXPECT_TRUE(message->contains(c.named)) << message->toStdString();
        EXPECT_EQ(QDir(destination).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"in"});
        EXPECT_EQ(tree.readFile(QStringLiteral("dest-%1/in").arg(c.archive)), "the user's");
    }
    extractInto(tree.path("through.tar"), tree.makeFolder("dest-gnu"));
    EXPECT_EQ(tree.readFile("dest-gnu/in/sub/evil.txt"), "evil");
    EXPECT_TRUE(QFileInfo(tree.path("dest-gnu/in/lnk")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(tree.path("outside")));
    extractInto(tree.path("in.rar"), tree.makeFolder("dest-rar"));
    EXPECT_EQ(QFile::symLinkTarget(tree.path("dest-rar/in")), tree.path("dest-rar/ok.txt"));
}

}  // namespace
