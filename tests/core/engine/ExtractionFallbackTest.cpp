// Which program extracts an archive, and what the user gets, for each kind and each set of installed
// programs: the one fallback order as extraction and the password probe see it.

#include "EngineFixtures.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ArchiveService.h"
#include "support/FakePrograms.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

// Fake program bodies; an empty one means the program is not installed.
const char* const kMissing = "";
// Writes a file where the program is told to extract (7-Zip's -o, unzip's -d, unrar's folder with its
// "/"), as a run that did its work does.
const char* const kSucceeds =
    "for a; do case \"$a\" in -o*) out=${a#-o};; */) out=$a;; esac; done; prev=; "
    "for a; do [ \"$prev\" = -d ] && out=$a; prev=$a; done; [ -d \"$out\" ] && : > \"$out/a.txt\"; exit 0";
// unzip's warning status after writing the entry ("a.txt:  ucsize 4022250974 <> csize 12 for STORED entry").
const char* const kWarns =
    "prev=; for a; do [ \"$prev\" = -d ] && : > \"$a/a.txt\"; prev=$a; done; "
    "echo 'a.txt:  ucsize 4022250974 <> csize 12 for STORED entry' >&2; exit 1";
// unzip's warning of the archive, every entry written whole.
const char* const kCommentCut =
    "prev=; for a; do [ \"$prev\" = -d ] && : > \"$a/a.txt\"; prev=$a; done; "
    "echo 'caution:  zipfile comment truncated' >&2; exit 1";
const char* const kCannotOpen = "echo \"Can't open as archive: 1\"; exit 2";
const char* const kWrongPassword = "echo 'ERROR: Wrong password : a.txt' >&2; exit 2";
const char* const kUnrarWrongPassword = "echo 'The specified password is incorrect.' >&2; exit 11";
const char* const kDamaged = "echo 'ERROR: CRC Failed : a.txt' >&2; exit 2";
// Opens the archive only when the password given on standard input was "right".
const char* const kOpensWithRight =
    "[ \"$(tail -c 7 \"$0.stdin\" | head -c 5)\" = right ] || { echo 'Wrong password' >&2; exit 2; }";
const char* const kUnrarOpensWithRight =
    "[ \"$(tail -c 7 \"$0.stdin\" | head -c 5)\" = right ] || "
    "{ echo 'The specified password is incorrect.' >&2; exit 11; }";

const std::optional<QString> kPassword = QStringLiteral("pw");

// A missing program, in the words that begin the message.
ArchiveError missing(const char16_t* words) {
    return ArchiveError::dependencyMissing(QString::fromUtf16(words) +
                                           QStringLiteral(u"请重新安装 velmora。"));
}
const ArchiveError kRarMissing = missing(u"RAR 解压工具不可用，");
const ArchiveError kCannotOpenFailure = ArchiveError::corruptedArchive();

class ExtractionFallbackTest : public testing::Test {
protected:
    // Installs the three extracting programs as fakes that log their name when they run, or takes
    // them away; the real ones never run.
    void install(FakePrograms& programs, const char* sevenZip, const char* unrar, const char* unzip) {
        const std::pair<QString, const char*> bodies[] = {
            {"7zz", sevenZip}, {"unrar", unrar}, {"unzip", unzip}};
        for (const auto& [name, body] : bodies) {
            if (QByteArray(body).isEmpty()) {
                programs.remove(name);
                continue;
            }
            programs.addTool(name,
                             QStringLiteral("echo %1 >> '%2'\n").arg(name, log()) + QString::fromUtf8(body));
        }
    }

    QString log() const { return m_tree.path(QStringLiteral("ran.log")); }

    // The programs that ran since the last call, in order, one space between.
    QString takeRuns() {
        const QString runs = QString::fromUtf8(m_tree.readFile(QStringLiteral("ran.log"))).simplified();
        QFile::remove(log());
        return runs;
    }

    TempTree m_tree;
};

TEST_F(ExtractionFallbackTest, EachKindTriesItsProgramsInOrderUntilOneDecides) {
    const struct {
        const char* archive;
        std::optional<QString> password;
        const char* sevenZip;
        const char* unrar;
        const char* unzip;
        const char* ran;
        std::optional<ArchiveError> outcome;
    } cases[] = {
        // RAR: unrar (its success followed by the listing of its links), and 7-Zip when unrar is
        // missing or calls it damaged.
        {"a.rar", std::nullopt, kSucceeds, kSucceeds, kMissing, "unrar unrar", std::nullopt},
        {"a.rar", std::nullopt, kMissing, kSucceeds, kMissing, "unrar unrar", std::nullopt},
        {"a.rar", kPassword, kSucceeds, kUnrarWrongPassword, kMissing, "unrar",
         ArchiveError::wrongPassword()},
        {"a.rar", std::nullopt, kSucceeds, kMissing, kMissing, "7zz", std::nullopt},
        {"a.rar", std::nullopt, kSucceeds, kDamaged, kMissing, "unrar 7zz", std::nullopt},
        {"a.rar", kPassword, kWrongPassword, kMissing, kMissing, "7zz", ArchiveError::wrongPassword()},
        {"a.rar", std::nullopt, kCannotOpen, kMissing, kMissing, "7zz", kRarMissing},
        {"a.rar", std::nullopt, kMissing, kMissing, kSucceeds, "", kRarMissing},
        // Old-scheme volumes are RAR too.
        {"a.r00", std::nullopt, kSucceeds, kSucceeds, kMissing, "unrar unrar", std::nullopt},
        // ZIP: 7-Zip, then unzip when 7-Zip is missing, cannot open the file or calls it damaged.
        {"a.zip", std::nullopt, kSucceeds, kSucceeds, kSucceeds, "7zz", std::nullopt},
        {"a.zip", std::nullopt, kCannotOpen, kMissing, kSucceeds, "7zz unzip", std::nullopt},
        {"a.zip", std::nullopt, kDamaged, kMissing, kSucceeds, "7zz unzip", std::nullopt},
        {"a.zip", std::nullopt, kDamaged, kMissing, kCannotOpen, "7zz unzip",
         ArchiveError::corruptedArchive()},
        {"a.zip", kPassword, kWrongPassword, kMissing, kSucceeds, "7zz", ArchiveError::wrongPassword()},
        // unzip's doubt about an entry is a success only where no program failed before it; a warning of
        // the archive alone is one.
        {"a.zip", std::nullopt, kDamaged, kMissing, kWarns, "7zz unzip", ArchiveError::corruptedArchive()},
        {"a.zip", std::nullopt, kDamaged, kMissing, kCommentCut, "7zz unzip", std::nullopt},
        {"a.zip", std::nullopt, kMissing, kMissing, kWarns, "unzip", std::nullopt},
        // 7-Zip's words are not read in unzip's run, nor unrar's in 7-Zip's.
        {"a.zip", std::nullopt, kDamaged, kMissing, "echo 'ERROR: Wrong password : a.txt' >&2; exit 2",
         "7zz unzip", ArchiveError::corruptedArchive()},
        {"a.7z", std::nullopt, "echo 'ERROR: Data Error : incorrect password.txt' >&2; exit 2", kMissing,
         kMissing, "7zz", ArchiveError::corruptedArchive()},
        {"a.zip", std::nullopt, kMissing, kMissing, kSucceeds, "unzip", std::nullopt},
        {"a.zip", std::nullopt, kMissing, kSucceeds, kMissing, "", missing(u"ZIP 解压工具不可用，")},
        // ZIPX without a password: 7-Zip alone.
        {"a.zipx", std::nullopt, kCannotOpen, kMissing, kSucceeds, "7zz", kCannotOpenFailure},
        {"a.zipx", std::nullopt, kMissing, kMissing, kSucceeds, "", missing(u"ZIPX 解压需要 7-Zip 工具，")},
        // The numbered pieces of a ZIP only 7-Zip joins.
        {"a.zip.001", std::nullopt, kCannotOpen, kMissing, kSucceeds, "7zz", kCannotOpenFailure},
        // Everything else: 7-Zip alone.
        {"a.7z", std::nullopt, kCannotOpen, kSucceeds, kSucceeds, "7zz", kCannotOpenFailure},
        {"a.7z", std::nullopt, kMissing, kSucceeds, kSucceeds, "", missing(u"7Z 解压工具不可用，")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 7zz[%2] unrar[%3] unzip[%4]")
                         .arg(c.archive, c.sevenZip, c.unrar, c.unzip)
                         .toStdString());
        FakePrograms programs;
        install(programs, c.sevenZip, c.unrar, c.unzip);
        const QString archive = m_tree.writeFile(QString::fromUtf8(c.archive), "stand-in");
        const ArchiveService service(ArchiveService::standardExtractors(programs.programs()), nullptr);
        EXPECT_EQ(thrownArchiveError([&] {
                      service.extract({archive}, m_tree.path(QStringLiteral("out")), c.password,
                                      ExtractionOptions{}, 1, {});
                  }),
                  c.outcome);
        EXPECT_EQ(takeRuns(), QString::fromUtf8(c.ran));
    }
}

// A destination that fails (full, read-only, refused) fails every program alike: the run ends with
// GNU tar's, and 7-Zip never unpacks the inner TAR.
TEST_F(ExtractionFallbackTest, ADestinationFailureEndsTheRunAtOnce) {
    const struct {
        const char* line;
        ArchiveError::Kind kind;
    } cases[] = {
        {"tar: \\\"big.bin\\\": Wrote only 1536 of 10240 bytes", ArchiveError::Kind::diskFull},
        {"tar: \\\"big.bin\\\": Cannot open: Read-only file system", ArchiveError::Kind::readOnlyFileSystem},
        {"tar: \\\"big.bin\\\": Cannot open: Permission denied", ArchiveError::Kind::permissionDenied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        FakePrograms programs;
        install(programs, kSucceeds, kMissing, kMissing);
        programs.addTool("tar",
                         QStringLiteral("echo tar >> '%1'\necho \"%2\" >&2; exit 2").arg(log(), c.line));
        const QString archive = m_tree.writeFile("big.tar.gz", "stand-in");
        const ArchiveService service(ArchiveService::standardExtractors(programs.programs()), nullptr);
        const std::optional<ArchiveError> error = thrownArchiveError([&] {
            service.extract({archive}, m_tree.path(QStringLiteral("out")), std::nullopt, ExtractionOptions{},
                            1, {});
        });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(takeRuns(), QStringLiteral("tar"));
    }
}

// The probe asks the same programs: a RAR's password is tried by 7-Zip when unrar is missing.
TEST_F(ExtractionFallbackTest, PasswordProbeAsksTheProgramThatWouldExtract) {
    const struct {
        const char* archive;
        const char* sevenZip;
        const char* unrar;
        const char* ran;
        std::optional<QString> found;
    } cases[] = {
        {"a.rar", kOpensWithRight, kUnrarOpensWithRight, "unrar unrar", QStringLiteral("right")},
        {"a.rar", kOpensWithRight, kMissing, "7zz 7zz", QStringLiteral("right")},
        {"a.rar", kCannotOpen, kMissing, "7zz 7zz", std::nullopt},
        {"a.7z", kCannotOpen, kUnrarOpensWithRight, "7zz 7zz", std::nullopt},
        {"a.7z", kMissing, kUnrarOpensWithRight, "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 7zz[%2] unrar[%3]").arg(c.archive, c.sevenZip, c.unrar).toStdString());
        FakePrograms programs;
        install(programs, c.sevenZip, c.unrar, kMissing);
        const QString archive = m_tree.writeFile(QString::fromUtf8(c.archive), "stand-in");
        EXPECT_EQ(ArchivePasswordProbe::firstOpeningPassword(archive, {"", "wrong", "right"}, {},
                                                             programs.programs()),
                  c.found);
        EXPECT_EQ(takeRuns(), QString::fromUtf8(c.ran));
    }
}

}  // namespace
