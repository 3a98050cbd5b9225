#include "ContentFixture.h"
#include "core/content/EditWorkFolder.h"
#include "platform/WorkJournal.h"
#include "support/FakeTool.h"
#include "support/FullDisk.h"
#include "support/XdgEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class ArchivePreviewEditingTest : public ContentFixture {
protected:
    static QStringList without(QStringList list, const QStringList& removed) {
        for (const QString& item : removed) list.removeAll(item);
        return list;
    }
};

TEST_F(ArchivePreviewEditingTest, DeletesOnlyTheNamedEntries) {
    m_programs.remove("7zz");
    const QList<std::pair<QString, ArchivePrograms>> routes{{"s.zip", ArchivePrograms::installed()},
                                                            {"s.7z", ArchivePrograms::installed()},
                                                            {"fallback.zip", m_programs.programs()}};
    for (const auto& [name, programs] : routes) {
        SCOPED_TRACE(name.toStdString());
        const QString archive =
            sevenZipArchive(name, name.endsWith("zip") ? QStringList{"-tzip"} : QStringList{});
        const ArchivePreviewService service(programs);
        const QString link = m_tree.path("link-" + name);
        ASSERT_TRUE(QFile::link(archive, link));
        service.deleteEntries({entry("*.txt")}, link, {}, m_token);
        EXPECT_EQ(listedPaths(archive), without(kSamplePaths, {"*.txt"}));
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), archive) << "the link stays";
        if (name == "fallback.zip") {
            EXPECT_EQ(failure([&] { service.deleteEntries({entry("-x.txt")}, archive, {}, m_token); }),
                      ArchiveError::extractFailed("压缩包内路径不安全，无法删除：-x.txt"));
            continue;
        }
        service.deleteEntries({entry("-x.txt")}, archive, {}, m_token);
        EXPECT_EQ(listedPaths(archive), without(kSamplePaths, {"*.txt", "-x.txt"}));
        service.deleteEntries({entry("docs/")}, archive, {}, m_token);
        EXPECT_EQ(listedPaths(archive), QStringList({"a.txt"})) << "a folder goes with its contents";
    }
}

TEST_F(ArchivePreviewEditingTest, AddsFilesAndFoldersAtTheTopLevel) {
    m_tree.writeFile("more/new.txt", "new");
    m_tree.writeFile("more/pack/inner.txt", "inner");
    m_tree.writeFile("more/-dash.txt", "dash");
    // A name is only that name: photosA beside "photos?" stays out.
    m_tree.writeFile("more/photos?/p.txt", "p");
    m_tree.writeFile("more/photosA/s.txt", "s");
    const QStringList added{m_tree.path("more/new.txt"), m_tree.path("more/pack"),
                            m_tree.path("more/-dash.txt"), m_tree.path("more/photos?")};
    const QStringList addedPaths{"-dash.txt", "new.txt", "pack/", "pack/inner.txt", "photos?/", "photos?/p.txt"};
    for (const QString name : {"s.zip", "s.7z"}) {
        SCOPED_TRACE(name.toStdString());
        const QString archive =
            sevenZipArchive(name, name.endsWith("zip") ? QStringList{"-tzip"} : QStringList{});
        // Through a link the archive it names is edited, and the link stays.
        const QString link = m_tree.path("link-" + name);
        ASSERT_TRUE(QFile::link(archive, link));
        ArchivePreviewService().addFiles(added, name.endsWith("7z") ? link : archive, {}, m_token);
        EXPECT_EQ(listedPaths(archive), sorted(kSamplePaths + addedPaths));
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), archive);
    }
    const QString created = m_tree.path("Created.ZIP");
    ArchivePreviewService().addFiles({m_tree.path("more/new.txt")}, created, {}, m_token);
    EXPECT_EQ(listedPaths(created), QStringList({"new.txt"}));
}

TEST_F(ArchivePreviewEditingTest, RefusalsLeaveTheArchiveAlone) {
    const ArchivePreviewService service;
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    const QString rar = m_tree.writeFile("s.rar", "rar");
    EXPECT_EQ(failure([&] { service.addFiles({}, zip, {}, m_token); }), ArchiveError::noInputFiles());
    EXPECT_EQ(failure([&] { service.deleteEntries({}, zip, {}, m_token); }),
              ArchiveError::commandFailed("请选择要删除的条目。"));
    EXPECT_EQ(failure([&] { service.addFiles({zip}, rar, {}, m_token); }).message(),
              "当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持添加文件。");
    // 7-Zip would wait for good on a pipe, given or inside a folder given.
    const QString pipe = m_tree.makeFolder("more") + "/live";
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& input : {pipe, m_tree.path("more")})
        EXPECT_EQ(failure([&] { service.addFiles({input}, zip, {}, m_token); }),
                  ArchiveError::notFileOrFolder(pipe));
    EXPECT_EQ(failure([&] { service.deleteEntries({entry("a.txt")}, rar, {}, m_token); }).message(),
              "当前仅支持编辑 ZIP / 7Z 压缩包，RAR 暂不支持删除内部文件。");
    EXPECT_EQ(failure([&] { service.deleteEntries({entry("../x")}, rar, {}, m_token); }),
              ArchiveError::extractFailed("压缩包内路径不安全，无法删除：../x"))
        << "paths are checked first";
    EXPECT_EQ(failure([&] {
                  service.deleteEntries({entry("a.txt"), entry("~/x")}, zip, {}, m_token);
              }).kind(),
              ArchiveError::Kind::extractFailed);
    EXPECT_EQ(listedPaths(zip), kSamplePaths);
    // An archive the user may not write, in a folder they may: it is named with what it lacks.
    if (::geteuid() != 0) {
        QFile::setPermissions(zip, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        EXPECT_EQ(failure([&] { service.deleteEntries({entry("a.txt")}, zip, {}, m_token); }),
                  ArchiveError::permissionDenied(zip, SystemErrorText::Access::write));
        EXPECT_EQ(listedPaths(zip), kSamplePaths);
    }
}

TEST_F(ArchivePreviewEditingTest, MissingSevenZip) {
    m_programs.remove("7zz");
    const ArchivePreviewService service(m_programs.programs());
    const QString zip = sevenZipArchive("s.zip", {"-tzip"});
    EXPECT_EQ(failure([&] { service.addFiles({m_tree.path("sample/a.txt")}, zip, {}, m_token); }),
              ArchiveError::dependencyMissing("添加文件需要 7-Zip 工具，请重新安装 velmora。"));
    EXPECT_EQ(failure([&] { service.deleteEntries({entry("a.txt")}, sevenZipArchive("s.7z"), {}, m_token); }),
              ArchiveError::dependencyMissing("编辑 7Z 压缩包需要 7-Zip 工具，请重新安装 velmora。"));
}

// The tool writes the new archive in a hidden folder beside the old one, recorded in the work journal
// while the tool runs (a killed run's copy goes at the next start) and removed after it: nothing of it
// is ever left among the user's files.
TEST_F(ArchivePreviewEditingTest, ToolFailuresAreMapped) {
    const XdgEnvironment environment;
    const FakeTool sevenZip =
        m_programs.addTool("7zz",
                           "cat \"$XDG_STATE_HOME\"/velmora/work/*.record >> \"$0.journal\"\n"
                           "for a; do case $a in -w*) [ -d \"${a#-w}\" ] || exit 9;; esac; done\n"
                           "exit 2");
    const ArchivePreviewService service(m_programs.programs());
    const QString archive = m_tree.path("Backup.ZIP");
    const QString added = m_tree.writeFile("x/a.txt", "a");
    EXPECT_EQ(failure([&] { service.addFiles({added}, archive, {}, m_token); }),
              ArchiveError::commandFailed("添加文件失败。"));
    EXPECT_EQ(failure([&] { service.deleteEntries({entry("docs/")}, archive, {}, m_token); }),
              ArchiveError::commandFailed("删除压缩包内文件失败。"));
    QList<QStringList> runs = sevenZip.recordedRuns();
    ASSERT_EQ(runs.size(), 2);
    QFile journal(sevenZip.path() + ".journal");
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    const QByteArray recorded = journal.readAll();
    for (QStringList& run : runs) {
        const QStringList switches = run.filter(QRegularExpression("^-w"));
        ASSERT_EQ(switches.size(), 1) << run.join(' ').toStdString();
        run.removeOne(switches.first());
        const QString work = switches.first().mid(2);
        EXPECT_EQ(QFileInfo(work).path(), m_tree.root());
        EXPECT_TRUE(QFileInfo(work).fileName().startsWith(".velmoraEdit-")) << work.toStdString();
        EXPECT_TRUE(recorded.contains("T " + QFile::encodeName(work).toPercentEncoding("/")));
        EXPECT_FALSE(QFileInfo::exists(work));
    }
    EXPECT_EQ(runs, (QList<QStringList>{{"a", "-tzip", "-spd", "--", archive, added},
                                        {"d", "-spd", "--", archive, "docs"}}));
}

// Killed between 7-Zip removing the archive and renaming the new one, the next start puts that copy back;
// killed while it wrote, what it wrote goes, even with the archive moved. A journal with no room for the
// archive's line stops the edit before the tool runs, or the next start would remove the copy.
TEST_F(ArchivePreviewEditingTest, AnEditKilledBeforeTheToolsRenameKeepsTheArchive) {
    const XdgEnvironment environment;
    // Long enough that the archive's line does not fit in the page the folder's line took.
    const QString folder = m_tree.makeFolder(QStringList(8, QString(200, 'd')).join('/'));
    const QString relative = QDir(m_tree.root()).relativeFilePath(folder);
    // The whole new archive then the old one removed, or only a part written, before the kill.
    const FakeTool sevenZip = m_programs.addTool(
        "7zz",
        "for a; do case $a in -w*) w=${a#-w};; esac; done\n"
        "eval \"archive=\\${$(($# - 1))}\"; new=\"$w/$(basename \"$archive\").tmp\"\n"
        "if [ -e \"$0.partial\" ]; then head -c 200 \"$archive\" > \"$new\"; kill -9 $PPID; exit 1; fi\n"
        "cp \"$archive\" \"$new\" && rm \"$archive\" && kill -9 $PPID");
    const ArchivePreviewService service(m_programs.programs());
    QDir().mkpath(WorkJournal::directory());
    FullDisk journal(WorkJournal::directory());
    // The archive, whether 7-Zip only wrote part of the new one, whether the journal is full.
    const std::tuple<QString, bool, bool> cases[] = {{sevenZipArchive(relative + "/s.7z"), false, false},
                                                     {sevenZipArchive(relative + "/p.7z"), true, false},
                                                     {sevenZipArchive(relative + "/p.zip"), true, false},
                                                     {sevenZipArchive(relative + "/f.7z"), false, true}};
    for (const auto& [archive, partial, journalFull] : cases) {
        SCOPED_TRACE(archive.toStdString());
        if (journalFull && !journal.mounted()) GTEST_SKIP() << "needs a file system of its own (root)";
        if (journalFull) journal.fill(4096);
        QFile partialMark(sevenZip.path() + ".partial");
        ASSERT_TRUE(!partial || partialMark.open(QIODevice::WriteOnly));
        const qsizetype runs = sevenZip.recordedRuns().size();
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(failure([&, &archive = archive] {
                        service.deleteEntries({entry("a.txt")}, archive, {}, m_token);
                    }) == ArchiveError::diskFull());
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        journal.free();
        partialMark.remove();
        // Killed, or stopped before the tool ran: then it did not run.
        EXPECT_TRUE(journalFull ? WIFEXITED(status) && WEXITSTATUS(status) == 1 : WIFSIGNALED(status));
        EXPECT_EQ(QFileInfo::exists(archive), journalFull || partial);
        EXPECT_EQ(sevenZip.recordedRuns().size(), runs + (journalFull ? 0 : 1));
        // The user moves the archive away after a kill that left it intact.
        ASSERT_TRUE(!partial || QFile::rename(archive, archive + ".moved"));
        WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
        if (partial)
            EXPECT_FALSE(QFileInfo::exists(archive));
        else
            EXPECT_EQ(listedPaths(archive), kSamplePaths);
        EXPECT_EQ(QDir(folder).entryList({".velmoraEdit-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    }
}

// The tool stopped between removing the archive and renaming the new one while velmora runs on (a
// crash, a kill, a cancel landing there): the new archive, finished, is the only copy and goes in the
// archive's place; where it cannot go there (its folder made read-only meanwhile) it stays, named, and
// nothing removes it.
TEST_F(ArchivePreviewEditingTest, AToolStoppedBeforeItsRenameLeavesTheEditedArchiveInPlace) {
    const XdgEnvironment environment;
    const FakeTool sevenZip = m_programs.addTool(
        "7zz",
        "for a; do case $a in -w*) w=${a#-w};; esac; done\n"
        "eval \"archive=\\${$(($# - 1))}\"; new=\"$w/$(basename \"$archive\").tmp\"\n"
        "cp \"$archive\" \"$new\" && rm \"$archive\" || exit 1\n"
        "case $(cat \"$0.mode\") in\n"
        "crash) exit 2;; kill) kill -9 $$;; stuck) chmod a-w \"$(dirname \"$archive\")\"; exit 2;;\n"
        "cancel) touch \"$0.waiting\"; exec sleep 600;; esac");
    const ArchivePreviewService service(m_programs.programs());
    // A ZIP whose end record carries a comment.
    const QString commented = sevenZipArchive("c.zip", {"-tzip"});
    {
        QFile zip(commented);
        ASSERT_TRUE(zip.open(QIODevice::ReadWrite));
        QByteArray bytes = zip.readAll();
        const QByteArray comment = "a comment";
        bytes[bytes.size() - 2] = char(comment.size());
        ASSERT_TRUE(zip.seek(0) && zip.write(bytes + comment) == bytes.size() + comment.size());
    }
    const QString added = m_tree.writeFile("x/new.txt", "new");
    const struct {
        const char* mode;
        QString archive;
        bool deleting;
    } cases[] = {{"crash", sevenZipArchive("a.zip", {"-tzip"}), true},
                 {"kill", sevenZipArchive("b.zip", {"-tzip"}), false},
                 {"crash", commented, true},
                 {"kill", sevenZipArchive("h.7z", {"-psecret", "-mhe=on"}), true},
                 {"cancel", sevenZipArchive("k.zip", {"-tzip"}), true},
                 {"cancel", sevenZipArchive("m.7z", {"-psecret", "-mhe=on"}), false},
                 {"stuck", sevenZipArchive("t.zip", {"-tzip"}), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive.toStdString() + " " + c.mode);
        if (QByteArray(c.mode) == "stuck" && ::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
        QFile mode(sevenZip.path() + ".mode");
        ASSERT_TRUE(mode.open(QIODevice::WriteOnly) && mode.write(c.mode) > 0);
        mode.close();
        QFile original(c.archive);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        const QByteArray bytes = original.readAll();
        original.close();
        const CancellationToken token;
        QString notice;
        std::optional<ArchiveError> error;
        std::thread edit([&] {
            try {
                notice = c.deleting ? service.deleteEntries({entry("a.txt")}, c.archive, {}, token)
                                    : service.addFiles({added}, c.archive, {}, token);
            } catch (const ArchiveError& thrown) {
                error = thrown;
            }
        });
        if (QByteArray(c.mode) == "cancel") {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(sevenZip.path() + ".waiting"); },
                                        60000));
            token.cancel();
        }
        edit.join();
        QFile::remove(sevenZip.path() + ".waiting");
        const QDir folder = QFileInfo(c.archive).absoluteDir();
        const QStringList left = folder.entryList({".velmoraEdit-*"}, QDir::Dirs | QDir::Hidden);
        if (QByteArray(c.mode) == "stuck") {
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            ASSERT_TRUE(error.has_value());
            ASSERT_EQ(left.size(), 1);
            const QString kept = folder.filePath(left.first());
            EXPECT_EQ(error->message(), "编辑程序删除了原压缩包后停止，编辑好的压缩包未能放回原处，保存在：" + kept);
            WorkJournal::removeLeftovers(EditWorkFolder::holdsWholeArchive);
            QFile copy(kept + "/t.zip.tmp");
            EXPECT_TRUE(copy.open(QIODevice::ReadOnly) && copy.readAll() == bytes) << "the only copy stays";
            continue;
        }
        EXPECT_FALSE(error.has_value()) << error->message().toStdString();
        EXPECT_EQ(notice, "；编辑程序在换上新压缩包前停止，velmora 已把编辑好的压缩包放到原处。");
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(original.readAll(), bytes);
        EXPECT_EQ(left, QStringList());
    }
}

}  // namespace
