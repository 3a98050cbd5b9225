#include "ExtractionFixtures.h"
#include "core/engine/RarExtractor.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

RarExtractor makeExtractor() { return RarExtractor({QStringLiteral("rar")}); }

class RarExtractorTest : public testing::Test {
protected:
    void SetUp() override { writeSample(m_tree, QStringLiteral("src")); }

    // rar names volumes name.part1.rar, ...; options go before the archive name.
    QString rar(const QString& name, const QStringList& options = {}) {
        const QString archive = m_tree.path(name);
        runTool(kRar,
                QStringList{QStringLiteral("a"), QStringLiteral("-idq"), QStringLiteral("-r")}
                    << options << archive << QStringLiteral("."),
                m_tree.path(QStringLiteral("src")));
        return archive;
    }

    TempTree m_tree;
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

TEST_F(RarExtractorTest, ExtractsArchivesAndBothVolumeSchemes) {
    m_tree.writeFile(QStringLiteral("src/big.bin"), QByteArray(200 * 1024, 'r') + QByteArray::number(7));
    const QStringList volumes = {QStringLiteral("-v64k"), QStringLiteral("-m0")};
    rar(QStringLiteral("new.rar"), volumes);
    // rar 7 writes only the part-number scheme; renaming gives the older .rar/.r00 scheme, which unrar
    // follows from the name.
    rar(QStringLiteral("old.rar"), volumes);
    ASSERT_TRUE(QFile::rename(m_tree.path("old.part1.rar"), m_tree.path("old.rar")));
    for (int part = 2; QFile::exists(m_tree.path(QStringLiteral("old.part%1.rar").arg(part))); ++part) {
        ASSERT_TRUE(
            QFile::rename(m_tree.path(QStringLiteral("old.part%1.rar").arg(part)),
                          m_tree.path(QStringLiteral("old.r%1").arg(part - 2, 2, 10, QLatin1Char('0')))));
    }
    ASSERT_TRUE(QFile::exists(m_tree.path(QStringLiteral("old.r01"))));

    const struct {
        QString archive;
        std::optional<QString> password;
    } cases[] = {
        {rar(QStringLiteral("plain.rar")), std::nullopt},
        // An empty password is no password: unrar must not stop to ask for one.
        {rar(QStringLiteral("-x.rar")), QString()},
        {rar(QStringLiteral("locked.rar"), {QStringLiteral("-hp秘密")}), QStringLiteral("秘密")},
        {m_tree.path(QStringLiteral("new.part1.rar")), std::nullopt},
        {m_tree.path(QStringLiteral("old.rar")), std::nullopt},
    };
    for (const auto& c : cases) {
        const QString destination = m_tree.path(QStringLiteral("out/") + QFileInfo(c.archive).fileName());
        makeExtractor().extract(c.archive, destination, c.password, 1, {});
        expectSample(destination);
    }
    EXPECT_EQ(m_tree.readFile(QStringLiteral("out/old.rar/big.bin")),
              m_tree.readFile(QStringLiteral("src/big.bin")));
}

TEST_F(RarExtractorTest, WrongOrMissingPasswordIsWrongPassword) {
    for (const QString& protection : {QStringLiteral("-hpright"), QStringLiteral("-pright")}) {
        const QString archive = rar(protection + QStringLiteral(".rar"), {protection});
        for (const std::optional<QString>& password :
             {std::optional<QString>(QStringLiteral("wrong")), std::optional<QString>()}) {
            EXPECT_EQ(archiveErrorKind(
                          [&] { makeExtractor().extract(archive, m_tree.path("out"), password, 1, {}); }),
                      ArchiveError::Kind::wrongPassword)
                << protection.toStdString();
        }
    }
}

TEST_F(RarExtractorTest, ExistingFilesAreOverwritten) {
    const QString archive = rar(QStringLiteral("plain.rar"));
    m_tree.writeFile(QStringLiteral("out/readme.txt"), "old contents");
    makeExtractor().extract(archive, m_tree.path(QStringLiteral("out")), std::nullopt, 1, {});
    expectSample(m_tree.path(QStringLiteral("out")));
}

TEST_F(RarExtractorTest, ArgumentsAndFailureTexts) {
    FakeBundle bundle;
    const QString archive = m_tree.writeFile(QStringLiteral("a.rar"), "Rar!");
    const QString destination = m_tree.path(QStringLiteral("out"));
    const struct {
        const char* body;
        std::optional<ArchiveError> expected;
    } cases[] = {
        {"exit 0", std::nullopt},
        {"printf ' \\n\\t' >&2; exit 3",
         ArchiveError::extractFailed(QStringLiteral(u"第三方 RAR 工具返回错误。"))},
        {"echo 'Cannot create x: Permission denied'; exit 9", ArchiveError::permissionDenied()},
        {"echo 'The specified password is incorrect.' >&2; exit 11", ArchiveError::wrongPassword()},
        {"echo 'Unexpected end of archive'; exit 3",
         ArchiveError::extractFailed(QStringLiteral("\nUnexpected end of archive\n"))},
    };
    for (const auto& c : cases) {
        const FakeTool unrar = bundle.addTool(QStringLiteral("unrar"), QString::fromUtf8(c.body));
        std::optional<ArchiveError> thrown;
        try {
            makeExtractor().extract(archive, destination, std::nullopt, 8, {});
        } catch (const ArchiveError& error) {
            thrown = error;
        }
        EXPECT_EQ(thrown, c.expected) << c.body;
        EXPECT_EQ(unrar.recordedRuns().last(),
                  (QStringList{"x", "-o+", "-p-", "--", archive, destination + "/"}));
    }
}

}  // namespace
