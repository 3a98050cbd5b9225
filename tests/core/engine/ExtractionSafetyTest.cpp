// What a failed or hostile extraction may do to the user's folder: nothing. Real archives made here
// with the real tools, extracted through ArchiveService and the archive browser's selection extraction.

#include "EngineFixtures.h"
#include "core/base/CancellationError.h"
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchiveService.h"
#include "support/FakePrograms.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

const QByteArray kUsersBytes = "the user's own report";

ArchivePreviewEntry entry(const QString& path) {
    ArchivePreviewEntry entry;
    entry.path = path;
    return entry;
}

ExtractionOptions straightIntoTheFolder() {
    ExtractionOptions settings;
    settings.extractToSeparateFolder = false;
    return settings;
}

void extractInto(const QString& archive, const QString& destination,
                 const std::optional<QString>& password = std::nullopt, const CancellationToken& token = {},
                 const ArchivePrograms& programs = ArchivePrograms::installed()) {
    ArchiveService(ArchiveService::standardExtractors(programs), nullptr)
        .extract({archive}, destination, password, straightIntoTheFolder(), 1, token);
}

// Every entry below the folder (links not followed), with a file's bytes or a link's target.
QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QFile file(path);
        entries[path.mid(folder.size())] = info.isSymLink()                 ? info.symLinkTarget().toUtf8()
                                           : info.isDir()                   ? QByteArray("/")
                                           : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                            : QByteArray();
    }
    return entries;
}

// Links under the folder whose target, with every link on the way resolved, lies outside it.
QStringList linksOut(const QString& folder) {
    const fs::path root = fs::canonical(fs::path(folder.toStdString()));
    QStringList found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_symlink()) continue;
        std::error_code code;
        const fs::path target = fs::weakly_canonical(entry.path(), code);
        const fs::path relative = target.lexically_relative(root);
        if (code || relative.empty() || *relative.begin() == "..")
            found << QString::fromStdString(entry.path());
    }
    return found;
}

class ExtractionSafetyTest : public testing::Test {
protected:
    void SetUp() override {
        m_tree.writeFile(QStringLiteral("src/a.txt"), "alpha");
        m_tree.writeFile(QStringLiteral("src/docs/b.txt"), "beta");
        m_destination = m_tree.makeFolder(QStringLiteral("dest"));
        m_outside = m_tree.makeFolder(QStringLiteral("outside"));
        m_tree.writeFile(QStringLiteral("dest/a.txt"), kUsersBytes);
        m_tree.writeFile(QStringLiteral("dest/docs/b.txt"), kUsersBytes);
    }

    QString archive(const QString& name, const QString& program, const QStringList& switches,
                    const QString& folder = QStringLiteral("src"),
                    const QStringList& items = {"a.txt", "docs"}) {
        const QString path = m_tree.path(name);
        runTool(program, switches + QStringList{path} + items, m_tree.path(folder));
        return path;
    }

    // Nothing written outside the destination, no link in it leading out.
    void expectContained() {
        EXPECT_TRUE(QDir(m_outside).isEmpty());
        EXPECT_EQ(linksOut(m_destination), QStringList());
    }

    TempTree m_tree;
    QString m_destination;
    QString m_outside;
};

// The tool opens an output file before it knows the password is wrong; the user's file of that name
// must keep its bytes, and every kind of encryption must ask for the password again.
TEST_F(ExtractionSafetyTest, WrongPasswordLeavesTheFolderAsItWas) {
    const QString zipCrypto = archive("zipcrypto.zip", kZip, {"-q", "-r", "-P", "secret"});
    const QString aes = archive("aes.zip", kSevenZip, {"a", "-tzip", "-mem=AES256", "-psecret"});
    const QString sevenZip = archive("data.7z", kSevenZip, {"a", "-t7z", "-psecret"});
    const QString rar = archive("data.rar", kRar, {"a", "-r", "-psecret"});
    const QMap<QString, QByteArray> before = snapshot(m_destination);
    for (const QString& path : {zipCrypto, aes, sevenZip, rar}) {
        for (const std::optional<QString>& password :
             {std::optional<QString>(QStringLiteral("wrong")), std::optional<QString>()}) {
            SCOPED_TRACE(path.toStdString() + " " + password.value_or("(none)").toStdString());
            EXPECT_EQ(thrownArchiveError([&] { extractInto(path, m_destination, password); }),
                      ArchiveError::wrongPassword());
            EXPECT_EQ(snapshot(m_destination), before);
        }
        // The right password: beside the user's items, never over them.
        extractInto(path, m_destination, QStringLiteral("secret"));
        EXPECT_EQ(m_tree.readFile(QStringLiteral("dest/a 1.txt")), "alpha");
        EXPECT_EQ(m_tree.readFile(QStringLiteral("dest/docs 1/b.txt")), "beta");
        EXPECT_EQ(m_tree.readFile(QStringLiteral("dest/a.txt")), kUsersBytes);
        QFile::remove(m_tree.path(QStringLiteral("dest/a 1.txt")));
        QDir(m_tree.path(QStringLiteral("dest/docs 1"))).removeRecursively();
    }
}

// Cancelled after the tool has written a file of the user's name into its folder.
TEST_F(ExtractionSafetyTest, CancellationHalfWayLeavesTheFolderAsItWas) {
    FakePrograms programs;
    programs.addTool(QStringLiteral("7zz"),
                     QStringLiteral("printf partial > \"${2#-o}/a.txt\"; exec sleep 60"));
    const QString zip = archive("plain.zip", kZip, {"-q", "-r"});
    const QMap<QString, QByteArray> before = snapshot(m_destination);
    const CancellationToken token;
    bool cancelled = false;
    std::thread worker([&] {
        try {
            extractInto(zip, m_destination, std::nullopt, token, programs.programs());
        } catch (const CancellationError&) {
            cancelled = true;
        }
    });
    const auto toolWroteAFile = [&] {
        const QDir destination(m_destination);
        for (const QString& folder :
             destination.entryList({"*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
            if (QFile::exists(destination.filePath(folder + "/a.txt")) && folder != "docs") return true;
        }
        return false;
    };
    const bool halfWay = QTest::qWaitFor(toolWroteAFile, 20000);
    token.cancel();
    worker.join();
    EXPECT_TRUE(halfWay);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(snapshot(m_destination), before);
}

// A link to a folder outside, then an entry behind the link; a relative link that climbs out; and
// names with "../" or a leading "/".
TEST_F(ExtractionSafetyTest, HostileEntriesStayInside) {
    m_tree.makeFolder(QStringLiteral("links"));
    fs::create_directory_symlink(m_outside.toStdString(), m_tree.path("links/lnk").toStdString());
    fs::create_directory_symlink("../../../..", m_tree.path("links/rel").toStdString());
    m_tree.writeFile(QStringLiteral("behind/lnk/evil.txt"), "evil");
    m_tree.writeFile(QStringLiteral("behind/rel/evil.txt"), "evil");
    const QString zip = archive("links.zip", kZip, {"-q", "-y", "-r"}, "links", {"lnk", "rel"});
    runTool(kZip, {"-q", "-r", zip, "lnk", "rel"}, m_tree.path("behind"));
    const QString tar = archive("links.tar", kTar, {"-cf"}, "links", {"lnk", "rel"});
    runTool(kTar, {"-rf", tar, "lnk/evil.txt", "rel/evil.txt"}, m_tree.path("behind"));
    m_tree.writeFile(QStringLiteral("behind/escaped.txt"), "escaped");
    const QString absolute = m_tree.writeFile(QStringLiteral("absolute.txt"), "absolute");
    runTool(kTar, {"-rPf", tar, "../escaped.txt", absolute}, m_tree.path("behind/lnk"));
    QFile::remove(absolute);
    runTool(QStringLiteral("/usr/bin/gzip"), {"-k", tar});

    for (const QString& path : {zip, tar + ".gz"}) {
        SCOPED_TRACE(path.toStdString());
        try {
            extractInto(path, m_destination);
        } catch (const ArchiveError&) {
            // Refusing the archive is as good as leaving the links out.
        }
        expectContained();
        EXPECT_FALSE(QFile::exists(m_tree.path("escaped.txt")));
        EXPECT_FALSE(QFile::exists(absolute));
    }
}

// Links that stay inside are kept; 7-Zip's re-rooted absolute link points into the destination, not
// into the private folder it was written in.
TEST_F(ExtractionSafetyTest, LinksInsideAreKept) {
    m_tree.makeFolder(QStringLiteral("links"));
    fs::create_symlink("docs/b.txt", m_tree.path("links/inner").toStdString());
    fs::create_symlink("/docs/b.txt", m_tree.path("links/rooted").toStdString());
    const QString zip = archive("links.zip", kZip, {"-q", "-y"}, "links", {"inner", "rooted"});
    extractInto(zip, m_destination);
    EXPECT_EQ(QFile::symLinkTarget(m_destination + "/inner"), m_destination + "/docs/b.txt");
    EXPECT_EQ(m_tree.readFile("dest/inner"), kUsersBytes);
    EXPECT_EQ(QFile::symLinkTarget(m_destination + "/rooted"), m_destination + "/docs/b.txt");
    expectContained();
}

// The classic attack of two archives: the first leaves a link to a folder outside, the second
// writes through it.
TEST_F(ExtractionSafetyTest, TwoArchivesCannotWriteThroughALink) {
    m_tree.makeFolder(QStringLiteral("first"));
    fs::create_directory_symlink(m_outside.toStdString(), m_tree.path("first/lnk").toStdString());
    m_tree.writeFile(QStringLiteral("second/lnk/evil.txt"), "evil");
    const QStringList pairs[] = {
        {archive("first.zip", kZip, {"-q", "-y"}, "first", {"lnk"}),
         archive("second.zip", kZip, {"-q", "-r"}, "second", {"lnk"})},
        {archive("first.tar.gz", kTar, {"-czf"}, "first", {"lnk"}),
         archive("second.tar.gz", kTar, {"-czf"}, "second", {"lnk"})},
    };
    for (const QStringList& pair : pairs) {
        SCOPED_TRACE(pair.first().toStdString());
        for (const QString& path : pair) {
            try {
                extractInto(path, m_destination);
            } catch (const ArchiveError&) {
            }
        }
        expectContained();
    }
}

// The browser's selection extraction goes the same way.
TEST_F(ExtractionSafetyTest, SelectionExtractionStaysInside) {
    m_tree.makeFolder(QStringLiteral("links"));
    fs::create_directory_symlink(m_outside.toStdString(), m_tree.path("links/lnk").toStdString());
    m_tree.writeFile(QStringLiteral("behind/lnk/evil.txt"), "evil");
    const QString zip = archive("links.zip", kZip, {"-q", "-y"}, "links", {"lnk"});
    runTool(kZip, {"-q", "-r", zip, "lnk"}, m_tree.path("behind"));
    QList<ArchivePreviewEntry> entries;
    for (const char* path : {"lnk", "lnk/evil.txt"}) entries.append(entry(QString::fromUtf8(path)));
    try {
        ArchivePreviewService().extractEntries(entries, zip, m_destination, std::nullopt, {});
    } catch (const ArchiveError&) {
    }
    expectContained();

    const QString locked = archive("locked.zip", kZip, {"-q", "-r", "-P", "secret"});
    const QMap<QString, QByteArray> before = snapshot(m_destination);
    EXPECT_EQ(thrownArchiveError([&] {
                  ArchivePreviewService().extractEntries({entry("a.txt")}, locked, m_destination,
                                                         QStringLiteral("wrong"), {});
              }),
              ArchiveError::wrongPassword());
    EXPECT_EQ(snapshot(m_destination), before);
}

}  // namespace
