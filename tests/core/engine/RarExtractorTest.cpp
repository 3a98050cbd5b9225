#include "EngineFixtures.h"
#include "core/engine/RarExtractor.h"
#include "platform/PrivateTempDirectory.h"
#include "support/FakePrograms.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {

RarExtractor makeExtractor(const ArchivePrograms& programs = ArchivePrograms::installed()) {
    return RarExtractor(programs);
}

class RarExtractorTest : public SampleArchiveTest {
protected:
    QString rar(const QString& name, const QStringList& options = {}) {
        return archiveOfSample(
            kRar, QStringList{QStringLiteral("a"), QStringLiteral("-idq"), QStringLiteral("-r")} + options,
            name);
    }
};

// unrar reads the archive path as a wildcard mask; velmora's runs go through a private alias folder,
// which the private temporary base inside the test's tree lets the tests count.
class RarWildcardPathTest : public RarExtractorTest {
protected:
    void SetUp() override {
        RarExtractorTest::SetUp();
        PrivateTempDirectory::setSystemTempPathForTesting(m_tree.makeFolder(QStringLiteral("tmp")));
    }
    void TearDown() override { PrivateTempDirectory::setSystemTempPathForTesting({}); }

    QStringList aliasFolders() const {
        return QDir(*PrivateTempDirectory::base() + QStringLiteral("/velmoraRarAlias"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // An archive at <tree>/<name> of one file that is not in the sample.
    void otherArchive(const QString& name) {
        QDir().mkpath(QFileInfo(m_tree.path(name)).path());
        m_tree.writeFile(QStringLiteral("other/other.txt"), "not from this archive\n");
        runTool(kRar, {QStringLiteral("a"), QStringLiteral("-idq"), m_tree.path(name), QStringLiteral(".")},
                m_tree.path(QStringLiteral("other")));
    }
};

TEST(RarExtractor, AcceptsRarNamesAndBothVolumeSchemes) {
    const RarExtractor extractor = makeExtractor();
    const struct {
        const char* name;
        bool accepted;
    } cases[] = {{"/a/movie.part1.rar", true}, {"/a/movie.part12.rar", true},
                 {"/a/movie.r00", true},       {"/a/movie.R05", true},
                 {"/a/x.RAR", true},           {"/a/movie.rev", false},
                 {"/a/movie.zip", false},      {"/a/movie.r", false}};
    for (const auto& c : cases)
        EXPECT_EQ(extractor.canHandle(QString::fromUtf8(c.name)), c.accepted) << c.name;
}

TEST_F(RarExtractorTest, PasswordDecides) {
    const QString headersLocked = rar(QStringLiteral("headers.rar"), {QStringLiteral("-hp秘密")});
    const QString dataLocked = rar(QStringLiteral("data.rar"), {QStringLiteral("-p秘密")});
    const struct {
        QString archive;
        std::optional<QString> password;
        std::optional<ArchiveError> expected;
    } cases[] = {
        {headersLocked, QStringLiteral("秘密"), std::nullopt},
        {dataLocked, QStringLiteral("秘密"), std::nullopt},
        // An empty password is no password: unrar must not stop to ask for one.
        {rar(QStringLiteral("plain.rar")), QString(), std::nullopt},
        {headersLocked, QStringLiteral("wrong"), ArchiveError::wrongPassword()},
        {headersLocked, std::nullopt, ArchiveError::wrongPassword()},
        {dataLocked, QStringLiteral("wrong"), ArchiveError::wrongPassword()},
        {dataLocked, QString(), ArchiveError::wrongPassword()},
    };
    for (const auto& c : cases) {
        const QString destination = m_tree.makeFolder(QStringLiteral("out"));
        EXPECT_EQ(
            thrownArchiveError([&] { makeExtractor().extract(c.archive, destination, c.password, 1, {}); }),
            c.expected)
            << c.archive.toStdString();
        if (!c.expected) expectSample(destination);
        QDir(destination).removeRecursively();
    }
}

TEST_F(RarExtractorTest, ArgumentsAndFailureTexts) {
    FakePrograms programs;
    const QString archive = m_tree.writeFile(QStringLiteral("a.rar"), "Rar!");
    const QString destination = m_tree.path(QStringLiteral("out"));
    const struct {
        const char* body;
        std::optional<ArchiveError> expected;
    } cases[] = {
        {"for a; do case \"$a\" in */) : > \"${a}a.txt\";; esac; done", std::nullopt},
        {"printf ' \\n\\t' >&2; exit 3",
         ArchiveError::extractFailed(QStringLiteral(u"unrar 解压工具返回错误。"))},
        {"echo 'Cannot create x: Permission denied'; exit 9", ArchiveError::permissionDenied()},
        {"echo 'The specified password is incorrect.' >&2; exit 11", ArchiveError::wrongPassword()},
        {"echo 'Unexpected end of archive'; exit 3", ArchiveError::corruptedArchive()},
        // A name unrar could not write here is named as such, never shown as its line.
        {"echo 'Cannot create /d/.velmoraExtraction-1/????????.txt' >&2; exit 9",
         ArchiveError::extractFailed(QStringLiteral(u"unrar 解压工具返回错误（无法写入“????????.txt”）。"))},
        {"printf 'Cannot create /d/.velmoraExtraction-1/a:b.txt\\nOperation not permitted\\n' >&2; exit 9",
         ArchiveError::extractFailed(
             QStringLiteral(u"unrar 解压工具返回错误（无法写入“a:b.txt”：目标位置不能使用这个名称）。"))},
        {"echo 'Unknown method' >&2; exit 3",
         ArchiveError::extractFailed(QStringLiteral(u"unrar 解压工具返回错误。"))},
    };
    for (const auto& c : cases) {
        const FakeTool unrar = programs.addTool(QStringLiteral("unrar"), QString::fromUtf8(c.body));
        EXPECT_EQ(thrownArchiveError([&] {
                      makeExtractor(programs.programs()).extract(archive, destination, std::nullopt, 8, {});
                  }),
                  c.expected)
            << c.body;
        // A run that succeeded is followed by the listing that checks its links.
        const QList<QStringList> runs = unrar.recordedRuns();
        EXPECT_EQ(runs.last().value(0), c.expected ? "x" : "lt");
        EXPECT_EQ(withStagingAsDestination(runs.value(runs.size() - (c.expected ? 1 : 2)), destination),
                  (QStringList{"x", "-o+", "-y", "-p-", "--", archive, destination + "/"}));
    }
}

TEST_F(RarWildcardPathTest, ExtractsOnlyTheArchiveNamed) {
    // Stored, so 20 KiB volumes make a set of several.
    m_tree.writeFile(QStringLiteral("src/noise.bin"), QUuid::createUuid().toRfc4122().repeated(4000));
    const QMap<QString, QByteArray> sample = treeContents(m_tree.path(QStringLiteral("src")));
    for (const char* neighbour : {"rr.rar", "rx.rar", "dd/x.rar", "vv.part1.rar", "oo.rar", "oo.r00"})
        otherArchive(QString::fromUtf8(neighbour));
    rar(QStringLiteral("r?.rar"));
    rar(QStringLiteral("r*.rar"));
    rar(QStringLiteral("d?/x.rar"));
    rar(QStringLiteral("v?.rar"), {QStringLiteral("-v20k"), QStringLiteral("-m0")});
    // This rar writes only the new scheme; unrar walks the old one by the names alone.
    rar(QStringLiteral("o?.rar"), {QStringLiteral("-v20k"), QStringLiteral("-m0")});
    for (int part = 1; QFile::exists(m_tree.path(QStringLiteral("o?.part%1.rar").arg(part))); ++part) {
        const QString oldName = part == 1 ? QStringLiteral("o?.rar")
                                          : QStringLiteral("o?.r%1").arg(part - 2, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(
            QFile::rename(m_tree.path(QStringLiteral("o?.part%1.rar").arg(part)), m_tree.path(oldName)));
    }
    ASSERT_TRUE(QFile::exists(m_tree.path(QStringLiteral("v?.part3.rar"))));
    ASSERT_TRUE(QFile::exists(m_tree.path(QStringLiteral("o?.r01"))));

    for (const char* name : {"r?.rar", "r*.rar", "d?/x.rar", "v?.part1.rar", "o?.rar"}) {
        SCOPED_TRACE(name);
        const QString destination = m_tree.makeFolder(QStringLiteral("out"));
        makeExtractor().extract(m_tree.path(QString::fromUtf8(name)), destination, std::nullopt, 1, {});
        EXPECT_EQ(treeContents(destination), sample);
        EXPECT_EQ(aliasFolders(), QStringList());
        QDir(destination).removeRecursively();
    }
}

TEST_F(RarWildcardPathTest, AliasLinksTheArchiveAndGoesHoweverTheRunEnds) {
    FakePrograms programs;
    const QString archive = m_tree.writeFile(QStringLiteral("a?.rar"), "Rar!");
    const QString seen = m_tree.path(QStringLiteral("seen"));
    const QString destination = m_tree.path(QStringLiteral("out"));
    const auto extract = [&](const CancellationToken& token) {
        makeExtractor(programs.programs()).extract(archive, destination, std::nullopt, 1, token);
    };
    const QString record = QStringLiteral("readlink -- \"$6\" > '%1'; ").arg(seen);
    const FakeTool failing = programs.addTool(QStringLiteral("unrar"), record + QStringLiteral("exit 3"));
    EXPECT_TRUE(thrownArchiveError([&] { extract({}); }));
    const QString aliasPath = failing.recordedRuns().last().at(5);
    EXPECT_EQ(aliasPath, QStringLiteral("%1/velmoraRarAlias/%2/archive.rar")
                             .arg(*PrivateTempDirectory::base(), QFileInfo(aliasPath).dir().dirName()));
    EXPECT_EQ(m_tree.readFile(QStringLiteral("seen")), archive.toUtf8() + '\n');
    EXPECT_EQ(aliasFolders(), QStringList());

    const FakeTool hanging = programs.addTool(QStringLiteral("unrar"), QStringLiteral("exec sleep 60"));
    EXPECT_TRUE(stopsWithCancellation(hanging, extract));
    EXPECT_EQ(aliasFolders(), QStringList());
}

}  // namespace
