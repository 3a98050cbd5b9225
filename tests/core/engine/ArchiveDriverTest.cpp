// Each archive program judged by its own contract: the real program's runs, made here, with the exit
// statuses it documents, and the verdict and reason its driver reads in them.

#include "EngineFixtures.h"
#include "core/engine/ArchiveDriver.h"
#include "core/engine/ArchivePrograms.h"
#include "core/engine/ArchiveTools.h"
#include "core/engine/ProcessRunner.h"
#include "core/engine/ToolFailure.h"
#include "support/FullDisk.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <functional>

namespace {

class ArchiveDriverTest : public testing::Test {
protected:
    void SetUp() override {
        m_tree.writeFile("src/a.txt", "hello\n");
        // Incompressible, so damage in the middle of an archive lands in this file's data.
        QByteArray data(200000, Qt::Uninitialized);
        QRandomGenerator generator(11);
        for (char& byte : data) byte = char(generator.bounded(256));
        m_tree.writeFile("src/r.bin", data);
    }

    // An archive made by program with arguments from inside src, named name.
    QString make(const QString& program, const QStringList& arguments, const QString& name) {
        runTool(program, arguments + QStringList{m_tree.path(name), "a.txt", "r.bin"}, m_tree.path("src"));
        return m_tree.path(name);
    }

    // The archive's copy with bytes put in: before its start, after its end, or in its middle.
    QString changed(const QString& archive, const QString& name,
                    const std::function<void(QByteArray&)>& change) {
        QFile file(archive);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        change(bytes);
        return m_tree.writeFile(name, bytes);
    }

    static void damage(QByteArray& bytes) {
        for (qsizetype at = 1000; at < 1100; ++at) bytes[at] = char(~bytes[at]);
    }

    TempTree m_tree;
};

TEST_F(ArchiveDriverTest, ExitStatusDecidesAndTheProgramsOwnWordsNameTheReason) {
    const ArchivePrograms programs = ArchivePrograms::installed();
    const QString sevenZip = make(kSevenZip, {"a", "-bd"}, "good.7z");
    const QString rar = make(kRar, {"a", "-idq"}, "good.rar");
    const QString zip = make(kZip, {"-q"}, "good.zip");
    const QString tar = make(kTar, {"-cf"}, "good.tar");
    const QString notAnArchive = m_tree.writeFile("plain.7z", "not an archive\n");
    const auto extract = [&](const QString& archive, std::optional<QString> password = std::nullopt) {
        return [=, this](const ArchiveDriver& driver) {
            return driver.extract(archive, m_tree.makeFolder("out/" + QFileInfo(archive).fileName()), 2,
                                  password, {});
        };
    };
    const auto extractEntry = [&](const QString& archive, const QString& entry) {
        return [=, this](const ArchiveDriver& driver) {
            return driver.extractEntries(archive, {entry},
                                         m_tree.makeFolder("entry/" + QFileInfo(archive).fileName()),
                                         std::nullopt, ArchiveTools::kLongRunTimeout, {});
        };
    };
    const std::optional<ArchiveError> none;
    const struct {
        const char* name;
        ToolProgram program;
        std::function<ProcessResult(const ArchiveDriver&)> run;
        int status;
        ToolOutcome outcome;
        std::optional<ArchiveError> reason;
    } cases[] = {
        {"7-Zip: every item written", ToolProgram::sevenZip, extract(sevenZip), 0, ToolOutcome::success,
         none},
        // 7-Zip warns of the bytes after the end, and still writes and checks every item: its 0 decides.
        {"7-Zip: bytes after the end", ToolProgram::sevenZip,
         extract(changed(sevenZip, "tail.7z", [](QByteArray& bytes) { bytes += "TAIL"; })), 0,
         ToolOutcome::success, none},
        {"7-Zip: damaged data", ToolProgram::sevenZip, extract(changed(sevenZip, "bad.7z", damage)), 2,
         ToolOutcome::failed, ArchiveError::corruptedArchive()},
        {"7-Zip: no archive", ToolProgram::sevenZip, extract(notAnArchive), 2, ToolOutcome::unreadable,
         ArchiveError::corruptedArchive()},
        {"7-Zip: a command line it refuses", ToolProgram::sevenZip,
         [&](const ArchiveDriver&) {
             ProcessResult result =
                 ProcessRunner::run(kSevenZip, {"x", "-no-such-switch", sevenZip}, std::nullopt, 60, {}, {});
             result.program = ToolProgram::sevenZip;
             return result;
         },
         7, ToolOutcome::failed, none},
        {"unrar: every item written", ToolProgram::unrar, extract(rar), 0, ToolOutcome::success, none},
        {"unrar: not a RAR", ToolProgram::unrar, extract(m_tree.writeFile("plain.rar", "junk\n")), 1,
         ToolOutcome::failed, ArchiveError::corruptedArchive()},
        {"unrar: a CRC error", ToolProgram::unrar, extract(changed(rar, "bad.rar", damage)), 3,
         ToolOutcome::failed, ArchiveError::corruptedArchive()},
        {"unrar: no such entry", ToolProgram::unrar, extractEntry(rar, "missing.txt"), 10,
         ToolOutcome::failed, ArchiveError::noFiles()},
        {"unrar: a wrong password", ToolProgram::unrar,
         extract(make(kRar, {"a", "-idq", "-pright"}, "locked.rar"), "wrong"), 11, ToolOutcome::failed,
         ArchiveError::wrongPassword()},
        {"unzip: every item written", ToolProgram::infoZip, extract(zip), 0, ToolOutcome::success, none},
        // unzip's warning of bytes before the archive, every entry written whole.
        {"unzip: bytes before the start", ToolProgram::infoZip,
         extract(changed(zip, "pre.zip", [](QByteArray& bytes) { bytes.prepend("PRE!"); })), 1,
         ToolOutcome::success, none},
        {"unzip: damaged data", ToolProgram::infoZip, extract(changed(zip, "bad.zip", damage)), 2,
         ToolOutcome::failed, ArchiveError::corruptedArchive()},
        {"unzip: no archive", ToolProgram::infoZip, extract(notAnArchive), 9, ToolOutcome::failed,
         ArchiveError::corruptedArchive()},
        {"unzip: no such entry", ToolProgram::infoZip, extractEntry(zip, "missing.txt"), 11,
         ToolOutcome::failed, none},
        {"unzip: a method it lacks", ToolProgram::infoZip,
         extract(make(kSevenZip, {"a", "-bd", "-tzip", "-mem=AES256", "-pright"}, "aes.zip"), "right"), 81,
         ToolOutcome::failed, none},
        {"unzip: a wrong password", ToolProgram::infoZip,
         extract(make(kZip, {"-q", "-P", "right"}, "locked.zip"), "wrong"), 82, ToolOutcome::failed,
         ArchiveError::wrongPassword()},
        {"GNU tar: every item written", ToolProgram::tar, extract(tar), 0, ToolOutcome::success, none},
        {"GNU tar: cut short", ToolProgram::tar,
         extract(changed(tar, "cut.tar", [](QByteArray& bytes) { bytes.truncate(100000); })), 2,
         ToolOutcome::failed, ArchiveError::corruptedArchive()},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<ArchiveDriver> driver = programs.driver(c.program);
        ASSERT_TRUE(driver) << c.name;
        const ProcessResult result = c.run(*driver);
        EXPECT_EQ(result.program, c.program) << c.name;
        EXPECT_EQ(result.status, c.status) << c.name << "\n"
                                           << result.output.toStdString() << result.error.toStdString();
        EXPECT_EQ(driver->classify(result, {}), c.outcome) << c.name;
        EXPECT_EQ(ToolFailure::namedFailure(result, {}), c.reason) << c.name;
    }
}

// A destination that fills up, which each program says in its own words and with its own status.
TEST_F(ArchiveDriverTest, AFullDestinationIsAFullDiskInEachProgramsWords) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs here";
    const ArchivePrograms programs = ArchivePrograms::installed();
    const struct {
        ToolProgram program;
        QString archive;
        int status;
    } cases[] = {{ToolProgram::sevenZip, make(kSevenZip, {"a", "-bd"}, "good.7z"), 2},
                 {ToolProgram::unrar, make(kRar, {"a", "-idq"}, "good.rar"), 5},
                 {ToolProgram::infoZip, make(kZip, {"-q"}, "good.zip"), 50},
                 {ToolProgram::tar, make(kTar, {"-cf"}, "good.tar"), 2}};
    disk.fill(64 << 10);
    for (const auto& c : cases) {
        const std::unique_ptr<ArchiveDriver> driver = programs.driver(c.program);
        ASSERT_TRUE(driver);
        const QString destination = disk.path(QFileInfo(c.archive).fileName());
        ASSERT_TRUE(QDir().mkpath(destination));
        const ProcessResult result = driver->extract(c.archive, destination, 1, std::nullopt, {});
        EXPECT_EQ(result.status, c.status) << c.archive.toStdString() << "\n" << result.error.toStdString();
        EXPECT_EQ(driver->classify(result, {}), ToolOutcome::failed) << c.archive.toStdString();
        EXPECT_EQ(ToolFailure::namedFailure(result, {c.archive, destination}), ArchiveError::diskFull())
            << c.archive.toStdString() << "\n"
            << result.output.toStdString() << result.error.toStdString();
        QDir(destination).removeRecursively();
    }
}

}  // namespace
