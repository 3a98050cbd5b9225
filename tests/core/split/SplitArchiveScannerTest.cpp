#include "core/split/SplitArchiveError.h"
#include "core/split/SplitArchiveScanner.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using State = SplitArchiveValidationState;
using Status = SplitArchivePartStatus;

class SplitArchiveScannerTest : public testing::Test {
protected:
    // Free space is whatever the test says, and every asked path is recorded.
    SplitArchiveScanner scanner() {
        return SplitArchiveScanner(SplitArchiveValidator([this](const QString& path) {
            askedPaths << path;
            return freeBytes;
        }));
    }

    QString file(const QString& name, int size = 10) {
        return tree.writeFile("set/" + name, QByteArray(size, 'x'));
    }
    SplitArchiveDescriptor scan(const QString& name,
                                const std::optional<QString>& destination = std::nullopt) {
        return scanner().scan(tree.path("set/" + name), destination);
    }
    SplitArchiveError::Kind scanError(const QString& path) {
        try {
            scanner().scan(path, std::nullopt);
        } catch (const SplitArchiveError& error) {
            return error.kind();
        }
        ADD_FAILURE() << "no error for " << path.toStdString();
        return SplitArchiveError::Kind::unsupportedFormat;
    }

    static QStringList expectedNames(const SplitArchiveDescriptor& descriptor) {
        QStringList names;
        for (const SplitArchivePart& part : descriptor.parts) names << part.expectedFileName;
        return names;
    }

    TempTree tree;
    std::optional<qint64> freeBytes = qint64(1) << 40;
    QStringList askedPaths;
};

TEST_F(SplitArchiveScannerTest, CompleteSevenZipSet) {
    for (const char* name : {"a.7z.001", "a.7z.002", "a.7z.003", "b.7z.001", "a.7z"}) file(name, 100);
    const SplitArchiveDescriptor descriptor = scan("a.7z.002");
    EXPECT_EQ(descriptor.validationState, State::complete);
    EXPECT_FALSE(descriptor.validationMessage.has_value());
    EXPECT_EQ(descriptor.archiveName, "a.7z");
    EXPECT_EQ(descriptor.format, SplitArchiveFormat::sevenZip);
    EXPECT_EQ(descriptor.directoryURL, tree.path("set"));
    EXPECT_EQ(descriptor.primaryPartURL, tree.path("set/a.7z.001"));
    EXPECT_EQ(expectedNames(descriptor), (QStringList{"a.7z.001", "a.7z.002", "a.7z.003"}));
    EXPECT_EQ(descriptor.parts[1].id, tree.path("set/a.7z.002"));
    EXPECT_EQ(descriptor.parts[1].displayNumber, "2");
    EXPECT_EQ(descriptor.parts[1].status, Status::found());
    EXPECT_TRUE(descriptor.parts[0].isPrimary);
    EXPECT_EQ(descriptor.foundPartCount(), 3);
    EXPECT_EQ(descriptor.estimatedRequiredBytes, 300);
    EXPECT_EQ(descriptor.freeBytesAvailable, freeBytes);
    EXPECT_EQ(askedPaths, QStringList{tree.path("set")});
}

TEST_F(SplitArchiveScannerTest, MissingVolumes) {
    file("a.7z.002");
    SplitArchiveDescriptor descriptor = scan("a.7z.002");
    EXPECT_EQ(expectedNames(descriptor), (QStringList{"a.7z.001", "a.7z.002"}));
    EXPECT_FALSE(descriptor.primaryPartURL.has_value());
    EXPECT_EQ(descriptor.parts[0].status, Status::missing("a.7z.001"));
    EXPECT_EQ(descriptor.validationState, State::missingPrimary);
    EXPECT_EQ(descriptor.validationMessage, QStringLiteral(u"检测到分卷文件，但未找到主卷「a.7z.001」。"));

    file("a.7z.001");
    QFile::rename(tree.path("set/a.7z.002"), tree.path("set/a.7z.003"));
    descriptor = scan("a.7z.001");
    const SplitArchivePart& gap = descriptor.parts[1];
    EXPECT_EQ(gap.id, "missing-2-a.7z.002");
    EXPECT_FALSE(gap.url.has_value());
    EXPECT_EQ(gap.byteSize, 0);
    EXPECT_EQ(descriptor.missingPartFileNames, QStringList{"a.7z.002"});
    EXPECT_EQ(descriptor.validationState, State::missingParts);
    EXPECT_EQ(
        descriptor.validationMessage,
        QStringLiteral(u"无法开始解压：缺少分卷「a.7z.002」。请将缺失文件放入与主卷相同的文件夹后重试。"));
    EXPECT_EQ(descriptor.foundPartCount(), 2);
}

TEST_F(SplitArchiveScannerTest, RarPaddingDisagreementIsANamingMismatch) {
    for (const char* name : {"show.part1.rar", "show.part2.rar", "show.part03.rar"}) file(name);
    const SplitArchiveDescriptor descriptor = scan("show.part1.rar");
    EXPECT_EQ(descriptor.namingIssueMessages,
              QStringList{QStringLiteral(
                  u"检测到命名规则不一致：show.part03.rar。请保持 part 后数字补零位数一致。")});
    EXPECT_EQ(expectedNames(descriptor), (QStringList{"show.part1.rar", "show.part2.rar"}));
    EXPECT_EQ(descriptor.validationState, State::namingMismatch);
    EXPECT_EQ(descriptor.validationMessage, descriptor.namingIssueMessages.first());
}

TEST_F(SplitArchiveScannerTest, PlainRarAndZipNeedFurtherVolumes) {
    file("x.rar");
    file("y.zip");
    file("notes.txt");
    tree.makeFolder("set/folder.7z.001");
    EXPECT_EQ(scanError(tree.path("set/x.rar")), SplitArchiveError::Kind::notSplitArchive);
    EXPECT_EQ(scanError(tree.path("set/y.zip")), SplitArchiveError::Kind::notSplitArchive);
    EXPECT_EQ(scanError(tree.path("set/notes.txt")), SplitArchiveError::Kind::notSplitArchive);
    EXPECT_EQ(scanError(tree.path("set/gone.7z.001")), SplitArchiveError::Kind::notSplitArchive);
    EXPECT_EQ(scanError(tree.path("set/folder.7z.001")), SplitArchiveError::Kind::directorySelected);
    // A volume that is a pipe, chosen or found beside the chosen one, would keep the tool waiting.
    file("p.7z.001");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.path("set/p.7z.002")).constData(), 0600), 0);
    EXPECT_EQ(scanError(tree.path("set/p.7z.002")), SplitArchiveError::Kind::notFileOrFolder);
    EXPECT_EQ(scanError(tree.path("set/p.7z.001")), SplitArchiveError::Kind::notFileOrFolder);

    file("x.r00");
    file("x.r01");
    const SplitArchiveDescriptor rar = scan("x.r01");
    EXPECT_EQ(expectedNames(rar), (QStringList{"x.rar", "x.r00", "x.r01"}));
    EXPECT_EQ(rar.validationState, State::complete);
    EXPECT_EQ(rar.primaryPartURL, tree.path("set/x.rar"));
}

TEST_F(SplitArchiveScannerTest, ZipMainFileComesLast) {
    file("x.z01");
    file("x.z02");
    SplitArchiveDescriptor descriptor = scan("x.z02");
    EXPECT_EQ(descriptor.validationState, State::missingPrimary);
    EXPECT_EQ(descriptor.validationMessage, QStringLiteral(u"检测到分卷文件，但未找到主卷「x.zip」。"));

    file("x.zip");
    descriptor = scan("x.zip");
    EXPECT_EQ(descriptor.validationState, State::complete);
    EXPECT_EQ(expectedNames(descriptor), (QStringList{"x.z01", "x.z02", "x.zip"}));
    EXPECT_EQ(descriptor.parts.last().displayNumber, QStringLiteral(u"主卷"));
    EXPECT_EQ(descriptor.parts.last().index, SplitArchiveDetector::kZipPrimaryIndex);
    EXPECT_TRUE(descriptor.parts.last().isPrimary);
    EXPECT_FALSE(descriptor.parts.first().isPrimary);

    // A set whose only numbered volume is .z00 expects the main file alone.
    tree.writeFile("other/y.zip", "x");
    tree.writeFile("other/y.z00", "x");
    descriptor = scanner().scan(tree.path("other/y.zip"), std::nullopt);
    EXPECT_EQ(expectedNames(descriptor), QStringList{"y.zip"});
    EXPECT_EQ(descriptor.validationState, State::complete);
}

TEST_F(SplitArchiveScannerTest, DuplicateAndDifferentlyPaddedVolumes) {
    file("A.7z.001");
    file("a.7z.001");
    file("a.7z.0002");
    SplitArchiveDescriptor descriptor = scan("a.7z.001");
    EXPECT_EQ(descriptor.duplicatePartFileNames, QStringList{"a.7z.001"});
    EXPECT_EQ(descriptor.parts[0].status, Status::duplicate(QStringLiteral(u"检测到重复分卷「a.7z.001」")));
    EXPECT_EQ(descriptor.validationState, State::duplicateParts);
    EXPECT_EQ(descriptor.validationMessage,
              QStringLiteral(u"检测到重复分卷「a.7z.001」，请保留正确文件后重试。"));

    QFile::remove(tree.path("set/A.7z.001"));
    descriptor = scan("a.7z.001");
    EXPECT_EQ(descriptor.validationState, State::complete);
    EXPECT_EQ(descriptor.parts[1].expectedFileName, "a.7z.002");
    EXPECT_EQ(descriptor.parts[1].url, tree.path("set/a.7z.0002"));
}

TEST_F(SplitArchiveScannerTest, UnreadableVolumeAndUnwritableDestination) {
    file("a.7z.001");
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(tree.path("set/a.7z.002")).constData()), 0);
    SplitArchiveDescriptor descriptor = scan("a.7z.001");
    EXPECT_EQ(descriptor.unreadablePartFileNames, QStringList{"a.7z.002"});
    EXPECT_EQ(descriptor.parts[1].status, Status::warning(QStringLiteral(u"文件不可读取")));
    EXPECT_EQ(descriptor.validationState, State::unreadableParts);
    EXPECT_EQ(descriptor.validationMessage,
              QStringLiteral(u"无法读取分卷「a.7z.002」，请检查文件权限后重试。"));

    QFile::remove(tree.path("set/a.7z.002"));
    const QString destination = tree.path("nowhere/deeper");
    descriptor = scan("a.7z.001", destination);
    EXPECT_EQ(descriptor.validationState, State::outputNotWritable);
    EXPECT_EQ(descriptor.validationMessage,
              QStringLiteral(u"输出目录不可写：") + destination + QStringLiteral(u"。请选择其他解压位置。"));
    // A destination that does not exist yet is judged by its parent folder.
    EXPECT_EQ(askedPaths.last(), tree.path("nowhere"));
    EXPECT_EQ(scan("a.7z.001", tree.path("new")).validationState, State::complete);
}

TEST_F(SplitArchiveScannerTest, ReadOnlyDestinationIsNotWritable) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    file("a.7z.001");
    file("a.7z.002");
    const QString locked = tree.makeFolder("locked");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(scan("a.7z.001", locked).validationState, State::outputNotWritable);
}

TEST_F(SplitArchiveScannerTest, SpaceNeedsATenthMoreThanTheVolumes) {
    file("a.7z.001", 600);
    file("a.7z.002", 400);
    const std::pair<std::optional<qint64>, State> cases[] = {
        {1100, State::insufficientDiskSpace}, {1101, State::complete}, {std::nullopt, State::complete}};
    for (const auto& [free, state] : cases) {
        freeBytes = free;
        const SplitArchiveDescriptor descriptor = scan("a.7z.001");
        EXPECT_EQ(descriptor.validationState, state);
        EXPECT_EQ(descriptor.estimatedRequiredBytes, 1000);
        EXPECT_EQ(descriptor.freeBytesAvailable, free);
    }
    EXPECT_EQ(scan("a.7z.001").validationMessage.value_or(""), "");
    freeBytes = 10;
    EXPECT_EQ(scan("a.7z.001").validationMessage,
              QStringLiteral(u"目标磁盘可用空间不足，无法安全开始解压。"));

    // Empty volumes need no space at all.
    file("e.7z.001", 0);
    file("e.7z.002", 0);
    const SplitArchiveDescriptor empty = scan("e.7z.001");
    EXPECT_FALSE(empty.estimatedRequiredBytes.has_value());
    EXPECT_EQ(empty.validationState, State::complete);
}

TEST_F(SplitArchiveScannerTest, HiddenSelectionIsValidatedFromTheOtherFiles) {
    file(".h.7z.002");
    file(".h.7z.001");
    const SplitArchiveDescriptor descriptor = scan(".h.7z.002");
    EXPECT_EQ(descriptor.foundPartCount(), 0);
    EXPECT_EQ(expectedNames(descriptor), (QStringList{".h.7z.001", ".h.7z.002"}));
    EXPECT_EQ(descriptor.validationState, State::missingPrimary);
}

TEST_F(SplitArchiveScannerTest, AHugeVolumeNumberListsAtMostAThousandMissingVolumes) {
    file("a.7z.001");
    file("a.7z.99999999");
    const SplitArchiveDescriptor descriptor = scan("a.7z.001");
    EXPECT_EQ(descriptor.missingPartFileNames.size(), SplitArchiveValidator::kMissingPartLimit);
    EXPECT_EQ(descriptor.parts.size(), SplitArchiveValidator::kMissingPartLimit + 2);
    EXPECT_EQ(descriptor.parts.last().expectedFileName, "a.7z.99999999");
    EXPECT_EQ(descriptor.foundPartCount(), 2);
    EXPECT_EQ(descriptor.validationState, State::missingParts);
    EXPECT_EQ(descriptor.missingPartFileNames.first(), "a.7z.002");

    tree.writeFile("zip/z.zip", "x");
    tree.writeFile("zip/z.z5000", "x");
    const SplitArchiveDescriptor zip = scanner().scan(tree.path("zip/z.zip"), std::nullopt);
    EXPECT_EQ(zip.missingPartFileNames.size(), SplitArchiveValidator::kMissingPartLimit);
    EXPECT_EQ(zip.parts.last().expectedFileName, "z.zip");
}

}  // namespace
