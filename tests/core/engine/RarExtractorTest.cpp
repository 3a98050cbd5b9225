#include "EngineFixtures.h"
#include "core/engine/RarExtractor.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {

RarExtractor makeExtractor() { return RarExtractor({QStringLiteral("rar")}); }

class RarExtractorTest : public SampleArchiveTest {
protected:
    QString rar(const QString& name, const QStringList& options = {}) {
        return archiveOfSample(
            kRar, QStringList{QStringLiteral("a"), QStringLiteral("-idq"), QStringLiteral("-r")} + options,
            name);
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
        EXPECT_EQ(
            thrownArchiveError([&] { makeExtractor().extract(archive, destination, std::nullopt, 8, {}); }),
            c.expected)
            << c.body;
        EXPECT_EQ(unrar.recordedRuns().last(),
                  (QStringList{"x", "-o+", "-p-", "--", archive, destination + "/"}));
    }
}

}  // namespace
