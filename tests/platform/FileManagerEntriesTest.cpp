#include "platform/DesktopFileValidate.h"
#include "platform/FileManagerEntries.h"
#include "platform/SystemIntegrationError.h"
#include "platform/SystemIntegrationService.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>

#include <unistd.h>

namespace {

// A folder name with every character the entries must quote.
const QString kAwkwardFolder = QStringLiteral(u"bin/it's \"$HOME\" 100% back\\slash `x` 压缩 工具");

class FileManagerEntriesTest : public ::testing::Test {
protected:
    // A helper beside velmora that records its arguments, NUL-separated, in args.bin.
    QString installHelper(const QString& folder) {
        const QString path = xdg.tree().writeFile(
            folder + QStringLiteral("/velmoraFinderSync"),
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$RECORD\"\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }
    DefaultsStore defaults() { return DefaultsStore(xdg.tree().path(QStringLiteral("defaults"))); }
    SystemIntegrationService serviceIn(const QString& folder) {
        return SystemIntegrationService(defaults(), xdg.tree().path(folder + QStringLiteral("/velmora")));
    }
    QStringList entryPaths() {
        QStringList paths;
        for (const auto& entry : FileManagerEntries(QStringLiteral("/h")).entries()) paths.append(entry.path);
        return paths;
    }
    // Runs a written script as the file manager would: in the shown folder, with the selected names.
    QStringList runScript(const QString& script, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("RECORD"), xdg.tree().path(QStringLiteral("args.bin")));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(xdg.tree().makeFolder(QStringLiteral(u"shown 文件夹")));
        process.start(script, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        QStringList recorded =
            QString::fromUtf8(xdg.tree().readFile(QStringLiteral("args.bin"))).split(QChar(0));
        recorded.removeLast();
        return recorded;
    }

    XdgEnvironment xdg;
};

TEST_F(FileManagerEntriesTest, EveryEntryIsWrittenExecutableAndTheDesktopEntriesValidate) {
    installHelper(kAwkwardFolder);
    serviceIn(kAwkwardFolder).setFileManagerEntriesEnabled(true);

    const QStringList paths = entryPaths();
    ASSERT_EQ(paths.size(), 8);
    for (const QString& path : paths) {
        EXPECT_EQ(fileMode(path), 0755) << path.toStdString();
        if (path.endsWith(QStringLiteral(".desktop"))) {
            EXPECT_EQ(desktopFileValidateOutput(path), QString());
        }
    }
    EXPECT_TRUE(
        paths.contains(xdg.dataHome() + QStringLiteral("/kio/servicemenus/com.velmora.pro.extract.desktop")));
    EXPECT_TRUE(paths.contains(xdg.dataHome() +
                               QStringLiteral("/nemo/actions/com.velmora.pro.compress.nemo_action")));
    EXPECT_TRUE(paths.contains(xdg.dataHome() + QStringLiteral(u"/nautilus/scripts/用 velmora 解压")));
    EXPECT_TRUE(paths.contains(xdg.configHome() + QStringLiteral(u"/caja/scripts/用 velmora 压缩为 ZIP")));
}

TEST_F(FileManagerEntriesTest, ServiceMenuAndNemoActionRunTheHelperOnTheSelection) {
    const FileManagerEntries entries(QStringLiteral("/opt/velmora/bin/velmoraFinderSync"));
    QHash<QString, QByteArray> contents;
    for (const auto& entry : entries.entries())
        contents.insert(QFileInfo(entry.path).fileName(), entry.contents);

    EXPECT_EQ(contents.value(QStringLiteral("com.velmora.pro.extract.desktop")),
              QStringLiteral(u"[Desktop Entry]\nType=Application\nName=velmora\n"
                             u"Exec=/opt/velmora/bin/velmoraFinderSync extract %F\n"
                             u"MimeType=application/zip;application/vnd.rar;application/x-7z-compressed;\n"
                             u"Actions=extract;\nX-KDE-Priority=TopLevel\n\n[Desktop Action extract]\n"
                             u"Name=用 velmora 解压\nExec=/opt/velmora/bin/velmoraFinderSync extract %F\n")
                  .toUtf8());
    EXPECT_EQ(contents.value(QStringLiteral("com.velmora.pro.compress.nemo_action")),
              QStringLiteral(u"[Nemo Action]\nName=用 velmora 压缩为 ZIP\n"
                             u"Exec=/opt/velmora/bin/velmoraFinderSync compress %F\n"
                             u"Selection=notnone\nExtensions=any;\n")
                  .toUtf8());
    EXPECT_TRUE(contents.value(QStringLiteral("com.velmora.pro.extract.nemo_action"))
                    .contains("Extensions=zip;rar;7z;\n"));
    EXPECT_TRUE(contents.value(QStringLiteral("com.velmora.pro.compress.desktop"))
                    .contains("MimeType=application/octet-stream;inode/directory;\n"));
}

TEST_F(FileManagerEntriesTest, ScriptsHandTheHelperAbsolutePaths) {
    const QString helper = installHelper(kAwkwardFolder);
    serviceIn(kAwkwardFolder).setFileManagerEntriesEnabled(true);
    const QString shown = xdg.tree().path(QStringLiteral(u"shown 文件夹"));

    const QList<std::pair<QString, QString>> scripts{
        {xdg.dataHome() + QStringLiteral(u"/nautilus/scripts/用 velmora 解压"), QStringLiteral("extract")},
        {xdg.configHome() + QStringLiteral(u"/caja/scripts/用 velmora 压缩为 ZIP"),
         QStringLiteral("compress")},
    };
    for (const auto& [script, action] : scripts) {
        const QStringList recorded = runScript(
            script, {QStringLiteral(u"a $b \"c\" 100% d\\e 文件.zip"), QStringLiteral("/abs/x y.7z"), "-n"});
        EXPECT_EQ(recorded, QStringList({action, shown + QStringLiteral(u"/a $b \"c\" 100% d\\e 文件.zip"),
                                         "/abs/x y.7z", shown + "/-n"}));
    }
    EXPECT_TRUE(QFileInfo::exists(helper));
}

TEST_F(FileManagerEntriesTest, EnablingTwiceAndDisablingTwiceSucceed) {
    installHelper(QStringLiteral("bin"));
    SystemIntegrationService service = serviceIn(QStringLiteral("bin"));
    service.setFileManagerEntriesEnabled(true);
    service.writeFileManagerEntries();
    for (const QString& path : entryPaths()) EXPECT_TRUE(QFileInfo::exists(path));

    service.setFileManagerEntriesEnabled(false);
    service.setFileManagerEntriesEnabled(false);
    for (const QString& path : entryPaths()) EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(FileManagerEntriesTest, DisablingRemovesOnlyTheEmptyFoldersEnablingMade) {
    const QStringList made{"data/kio",  "data/kio/servicemenus", "data/nautilus", "data/nautilus/scripts",
                           "data/nemo", "data/nemo/actions",     "config/caja",   "config/caja/scripts"};
    // Folders (ending in "/") and files the user had, relative to the tree.
    const QList<QStringList> cases{
        {"data/", "config/"},
        {"data/nemo/actions/", "config/caja/scripts/mine", "data/kio/"},
        {},
    };
    installHelper(QStringLiteral("bin"));
    for (const QStringList& usersOwn : cases) {
        for (const QString& item : usersOwn) {
            item.endsWith('/') ? void(xdg.tree().makeFolder(item)) : void(xdg.tree().writeFile(item, "x"));
        }
        SystemIntegrationService service = serviceIn(QStringLiteral("bin"));
        service.setFileManagerEntriesEnabled(true);
        service.writeFileManagerEntries();
        service.setFileManagerEntriesEnabled(false);

        QStringList left;
        for (const QString& folder : made + QStringList{"data", "config"}) {
            if (QFileInfo(xdg.tree().path(folder)).isDir()) left.append(folder);
        }
        QStringList expected;
        for (const QString& folder : made + QStringList{"data", "config"}) {
            const auto within = [&](const QString& item) { return item.startsWith(folder + '/'); };
            if (std::any_of(usersOwn.begin(), usersOwn.end(), within)) expected.append(folder);
        }
        EXPECT_EQ(left, expected) << usersOwn.join(' ').toStdString();
        EXPECT_FALSE(defaults().data(SystemIntegrationService::createdFileManagerFoldersKey));
        for (const char* folder : {"data", "config"}) QDir(xdg.tree().path(folder)).removeRecursively();
    }
}

TEST_F(FileManagerEntriesTest, MissingHelperStopsEnablingButNotDisabling) {
    SystemIntegrationService service = serviceIn(QStringLiteral("bin"));
    try {
        service.setFileManagerEntriesEnabled(true);
        ADD_FAILURE() << "enabled without the helper";
    } catch (const SystemIntegrationError& error) {
        EXPECT_EQ(error.message(),
                  QStringLiteral(
                      u"文件管理器右键菜单配置失败：未找到文件管理器扩展组件，请确认当前 App 已完整安装。"));
    }
    for (const QString& path : entryPaths()) EXPECT_FALSE(QFileInfo::exists(path));
    service.setFileManagerEntriesEnabled(false);
}

TEST_F(FileManagerEntriesTest, FoldersThatCannotBeWrittenGiveTheSystemsReason) {
    installHelper(QStringLiteral("bin"));
    xdg.tree().writeFile(QStringLiteral("data/kio"), "a file where a folder belongs");
    const bool root = geteuid() == 0;
    if (!root) {
        xdg.tree().makeFolder(QStringLiteral("config/caja/scripts"));
        QFile::setPermissions(xdg.tree().path(QStringLiteral("config/caja/scripts")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    SystemIntegrationService service = serviceIn(QStringLiteral("bin"));
    for (int round = 0; round < (root ? 1 : 2); ++round) {
        try {
            service.setFileManagerEntriesEnabled(true);
            ADD_FAILURE() << "no failure";
        } catch (const SystemIntegrationError& error) {
            EXPECT_EQ(error.kind(), SystemIntegrationError::Kind::finderSyncConfigurationFailed);
            EXPECT_GT(error.message().size(), QStringLiteral(u"文件管理器右键菜单配置失败：").size());
        }
        QFile::remove(xdg.tree().path(QStringLiteral("data/kio")));
    }
}

TEST_F(FileManagerEntriesTest, LaunchRefreshAppliesWhatIsSwitchedOnAndStaysSilent) {
    xdg.installApplication(SystemIntegrationService::kDesktopID);
    SystemIntegrationService service = serviceIn(QStringLiteral("bin"));
    service.refreshIntegration(true, true);  // no helper: the entries fail, the take-over still happens
    EXPECT_TRUE(service.currentDefaultArchiveToolResults().first().isVelmora);
    EXPECT_FALSE(QFileInfo::exists(entryPaths().first()));

    installHelper(QStringLiteral("bin"));
    service.refreshIntegration(false, true);
    for (const QString& path : entryPaths()) EXPECT_TRUE(QFileInfo::exists(path));
}

}  // namespace
