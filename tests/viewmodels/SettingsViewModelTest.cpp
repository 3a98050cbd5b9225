#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "platform/LoginItemService.h"
#include "platform/LoginItemServiceError.h"
#include "platform/SystemIntegrationError.h"
#include "platform/SystemIntegrationService.h"
#include "support/FullDisk.h"
#include "support/TempTree.h"
#include "viewmodels/FakeSettingsServices.h"
#include "viewmodels/FakeWorkbenchPlatform.h"
#include "viewmodels/SettingsViewModel.h"

#include <gtest/gtest.h>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <functional>
#include <memory>

#include <unistd.h>

namespace {

class SettingsViewModelTest : public ::testing::Test {
protected:
    // Installed under ~/.local, as the README's make install puts it; no prefix is assumed.
    QString installedApp() {
        tree.writeFile(QStringLiteral("home/.local/share/applications/com.velmora.pro.desktop"), "");
        return tree.path(QStringLiteral("home/.local/bin/velmora"));
    }
    SettingsViewModel& model(QString appPath = {}) {
        if (!m_model) {
            if (appPath.isEmpty()) appPath = installedApp();
            m_model = std::make_unique<SettingsViewModel>(
                settingsStore, passwordBook, platform,
                SettingsViewModel::Environment{m_integration, m_loginItems, defaults, appPath}, &workers);
        }
        return *m_model;
    }
    void TearDown() override { workers.waitForDone(); }

    // Waits for the worker and for the outcome it posted.
    void settle() {
        workers.waitForDone();
        QCoreApplication::processEvents();
    }
    AppSettings stored() { return settingsStore.load(); }

    TempTree tree;
    DefaultsStore defaults{tree.path(QStringLiteral("defaults"))};
    SettingsStore settingsStore{defaults, {}};
    ArchivePasswordBookStore passwordBook{defaults};
    std::shared_ptr<FakeSystemIntegrationService> m_integration =
        std::make_shared<FakeSystemIntegrationService>();
    std::shared_ptr<FakeLoginItemService> m_loginItems = std::make_shared<FakeLoginItemService>();
    FakeSystemIntegrationService& integration = *m_integration;
    FakeLoginItemService& loginItems = *m_loginItems;
    FakeWorkbenchPlatform platform;
    QThreadPool workers;
    std::unique_ptr<SettingsViewModel> m_model;
};

TEST_F(SettingsViewModelTest, OnlyTheNewestDefaultHandlerRequestCounts) {
    QSemaphore firstMayFinish;
    integration.answer = [&](bool enabled) {
        if (enabled) firstMayFinish.acquire();
        return enabled ? kAllVelmora : rowsWith({std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    };
    model().setDefaultExtractor(true);
    EXPECT_EQ(model().message(), QStringLiteral(u"正在设置默认打开方式..."));
    EXPECT_TRUE(stored().setAsDefaultExtractor);

    model().setDefaultExtractor(false);
    EXPECT_EQ(model().systemIntegrationMessage(), QStringLiteral(u"正在恢复系统默认打开方式..."));
    QTRY_VERIFY_WITH_TIMEOUT(model().systemIntegrationMessage().startsWith(QStringLiteral(u"已取消")), 10000);
    firstMayFinish.release();
    settle();

    EXPECT_FALSE(model().settings().setAsDefaultExtractor);
    EXPECT_FALSE(stored().setAsDefaultExtractor);
    EXPECT_EQ(model().message(),
              QStringLiteral(u"已取消 velmora 默认打开方式，系统会恢复为原默认工具或桌面环境的默认处理器。"));
}

TEST_F(SettingsViewModelTest, DefaultHandlerOutcomesSetTheSwitchAndTheTexts) {
    struct Case {
        QString appPath;
        std::function<QList<DefaultArchiveToolResult>(bool)> answer;
        bool isDefault;
        QString text;
    };
    const QString installed = installedApp();
    const QString built = tree.path(QStringLiteral("build/bin/velmora"));
    const QList<Case> cases{
        {installed, [](bool) { return kAllVelmora; }, true,
         QStringLiteral(u"默认打开方式已生效：ZIP、RAR、7Z 双击会交给 velmora。")},
        {built, [](bool) { return kAllVelmora; }, true,
         QStringLiteral(u"默认打开方式已生效：ZIP、RAR、7Z 双击会交给 velmora。 当前 App 运行位置是 ") + built +
             QStringLiteral(u"，建议用 make install 安装 velmora 后再点一次，避免系统记住临时构建。")},
        {installed,
         [](bool) {
             return rowsWith({"ark.desktop", kVelmora, std::nullopt, kVelmora});
         },
         false,
         QStringLiteral(u"默认打开方式未完全生效：ZIP：ark.desktop；RAR：未设置。请确认 velmora 已安装"
                        u"（make install），然后重新设置。")},
        {installed,
         [](bool) -> QList<DefaultArchiveToolResult> {
             throw SystemIntegrationError(SystemIntegrationError::Kind::launchServicesPreferenceFailed, "x");
         },
         false, QStringLiteral(u"系统默认打开方式偏好写入失败：x")},
        {installed,
         [](bool) -> QList<DefaultArchiveToolResult> {
             throw SystemIntegrationError(SystemIntegrationError::Kind::recordSaveFailed, "磁盘空间不足");
         },
         false, QStringLiteral(u"保存失败：磁盘空间不足")},
    };
    for (const Case& c : cases) {
        m_model.reset();
        integration.answer = c.answer;
        model(c.appPath).setDefaultExtractor(true);
        settle();
        EXPECT_EQ(model().settings().setAsDefaultExtractor, c.isDefault) << c.text.toStdString();
        EXPECT_EQ(stored().setAsDefaultExtractor, c.isDefault);
        EXPECT_EQ(model().systemIntegrationMessage(), c.text);
        EXPECT_EQ(model().message(), c.text);
    }
}

TEST_F(SettingsViewModelTest, FailedActionSwitchesSpringBack) {
    integration.menuAnswer = [](bool) {
        throw SystemIntegrationError(SystemIntegrationError::Kind::finderSyncConfigurationFailed,
                                     "Read-only file system");
    };
    model().setContextMenuEnabled(true);
    EXPECT_FALSE(stored().contextMenuEnabled);
    EXPECT_EQ(model().message(), QStringLiteral(u"文件管理器右键菜单配置失败：Read-only file system"));
    model().setContextMenuEnabled(false);
    EXPECT_TRUE(model().settings().contextMenuEnabled);

    // An older autostart entry still there keeps the switch on.
    loginItems.installed = true;
    loginItems.fails = true;
    model().setLaunchAtLogin(true);
    EXPECT_TRUE(stored().launchAtLogin);
    loginItems.installed = false;
    model().setLaunchAtLogin(true);
    EXPECT_FALSE(model().settings().launchAtLogin);
    EXPECT_EQ(model().message(), QStringLiteral(u"开机后台自启动设置失败：Permission denied"));

    loginItems.fails = false;
    model().setLaunchAtLogin(true);
    EXPECT_TRUE(stored().launchAtLogin);
    EXPECT_EQ(model().message(), QStringLiteral(u"已开启开机后台自启动，服务组件会在登录时提前就绪。"));
}

TEST_F(SettingsViewModelTest, EachChangeSavesOnlyItsOwnField) {
    model();
    // Changed through another store, which the page does not hear, after it loaded its copy.
    SettingsStore(defaults, {}).update([](AppSettings& settings) {
        settings.trayDropEnabled = true;
        settings.compressionThreadCount = 1;
        settings.ignoreHiddenFilesWhenCompressing = false;
    });
    const AppSettings elsewhere = stored();

    const std::function<void()> changes[] = {
        [&] { model().setExtractToSeparateFolder(false); },
        [&] { model().setDeleteSourceAfterExtract(true); },
        [&] { model().setArchivePasswordBookEnabled(false); },
        [&] { model().setArchivePasswordBookAutoSaveEnabled(false); },
        [&] { model().setContextMenuEnabled(true); },
        [&] { model().setLaunchAtLogin(true); },
    };
    for (const auto& change : changes) change();

    AppSettings expected = elsewhere;
    expected.extractToSeparateFolder = false;
    expected.deleteSourceAfterExtract = true;
    expected.archivePasswordBookEnabled = false;
    expected.archivePasswordBookAutoSaveEnabled = false;
    expected.contextMenuEnabled = true;
    expected.launchAtLogin = true;
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(model().settings(), expected);
}

// The tray monitor switches its option on a second after launch, through the same store.
TEST_F(SettingsViewModelTest, ThePageHearsAChangeOfItsStore) {
    int changes = 0;
    QObject::connect(&model(), &SettingsViewModel::changed, [&] { ++changes; });
    settingsStore.update([](AppSettings& settings) { settings.trayDropEnabled = true; });
    EXPECT_TRUE(model().settings().trayDropEnabled);
    EXPECT_EQ(changes, 1);
}

TEST_F(SettingsViewModelTest, SimpleActionsReportTheirOutcome) {
    platform.panelAnswers = {{"/data/out"}};
    model().chooseDefaultLocation();
    EXPECT_EQ(stored().defaultExtractLocationPath, "/data/out");
    EXPECT_FALSE(model().message());
    model().chooseDefaultLocation();  // cancelled
    EXPECT_EQ(stored().defaultExtractLocationPath, "/data/out");
    model().useCurrentFileLocation();
    EXPECT_EQ(stored().defaultExtractLocationPath, "");
    EXPECT_EQ(model().message(), QStringLiteral(u"默认输出位置已改为源文件当前位置。"));

    model().setMultiThreadEngineEnabled(false);
    EXPECT_EQ(stored().compressionThreadCount, AppSettings::activeProcessorCount());
    EXPECT_EQ(model().message(), QStringLiteral(u"多线程压缩引擎已开启。"));

    EXPECT_FALSE(defaults.data(SettingsViewModel::kTrayDropUserConfiguredKey));
    model().setTrayDropEnabled(false);
    EXPECT_EQ(defaults.data(SettingsViewModel::kTrayDropUserConfiguredKey), "true");
    EXPECT_EQ(model().message(), QStringLiteral(u"已关闭拖拽自动压缩/解压。"));

    EXPECT_FALSE(model().isContextMenuGuideAcknowledged());
    model().acknowledgeContextMenuGuide();
    EXPECT_TRUE(model().isContextMenuGuideAcknowledged());
}

TEST_F(SettingsViewModelTest, RefreshReadsStartAtLoginThePasswordBookAndTheDefaultHandler) {
    passwordBook.addManualPassword("one", "first", ArchivePasswordBookKind::extraction);
    model();
    passwordBook.addManualPassword("two", "second", ArchivePasswordBookKind::compression);
    loginItems.installed = true;
    integration.status = rowsWith({kVelmora, kVelmora, "ark.desktop", kVelmora});

    model().refresh();
    EXPECT_TRUE(stored().launchAtLogin);
    EXPECT_EQ(model().passwordBookEntries().size(), 2);
    EXPECT_FALSE(stored().setAsDefaultExtractor);
    EXPECT_EQ(model().systemIntegrationMessage(),
              QStringLiteral(u"当前仍有格式未指向 velmora：RAR：ark.desktop。"));
    EXPECT_FALSE(model().message());

    integration.status = kAllVelmora;
    model().refresh();
    EXPECT_TRUE(stored().setAsDefaultExtractor);
    EXPECT_EQ(model().systemIntegrationMessage(), QStringLiteral(u"当前默认打开方式已指向 velmora。"));

    model().removePasswordBookEntry(model().passwordBookEntries().first());
    EXPECT_EQ(model().passwordBookEntries().size(), 1);
    EXPECT_EQ(model().message(), QStringLiteral(u"已删除一条密码本记录。"));
    model().clearPasswordBook();
    EXPECT_TRUE(passwordBook.entries().isEmpty());
    EXPECT_EQ(model().message(), QStringLiteral(u"已清空密码本。"));
}

// A book the system will not let go of is said to be kept, never shown cleared.
TEST_F(SettingsViewModelTest, ABookThatCannotBeRemovedIsNotShownCleared) {
    if (::geteuid() == 0) GTEST_SKIP() << "root removes any file";
    passwordBook.addManualPassword("pw", "Mail", ArchivePasswordBookKind::extraction);
    const QString folder = tree.path("defaults");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    model().clearPasswordBook();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(model().message(), QStringLiteral(u"保存失败：没有写入权限"));
    EXPECT_EQ(passwordBook.entries().size(), 1);
}

// A switch whose save the full disk refuses says so and shows what is still stored.
TEST_F(SettingsViewModelTest, ASaveTheDiskRefusesSpringsBackAndSaysWhy) {
    tree.makeFolder("defaults");
    FullDisk disk(tree.path("defaults"));
    model().setArchivePasswordBookEnabled(false);
    ASSERT_FALSE(stored().archivePasswordBookEnabled);
    const ArchivePasswordBookEntry entry =
        *passwordBook.addManualPassword("pw", "Mail", ArchivePasswordBookKind::extraction).entry;
    model().refresh();

    disk.fill();
    model().setArchivePasswordBookEnabled(true);
    EXPECT_EQ(model().message(), QStringLiteral(u"保存失败：") + disk.reason());
    EXPECT_FALSE(model().settings().archivePasswordBookEnabled);
    model().setExtractToSeparateFolder(false);
    EXPECT_TRUE(model().settings().extractToSeparateFolder);
    model().removePasswordBookEntry(entry);
    EXPECT_EQ(model().message(), QStringLiteral(u"保存失败：") + disk.reason());
    EXPECT_EQ(model().passwordBookEntries().size(), 1);
    disk.free();
    EXPECT_FALSE(stored().archivePasswordBookEnabled);
    EXPECT_TRUE(stored().extractToSeparateFolder);
    EXPECT_EQ(passwordBook.entries().size(), 1);

    // Only the flags' own files refuse (a folder stands where each goes): the settings could be saved.
    tree.makeFolder("defaults/" + SettingsViewModel::kTrayDropUserConfiguredKey + ".json");
    tree.makeFolder("defaults/" + SettingsViewModel::kContextMenuGuideAcknowledgedKey + ".json");
    model().setTrayDropEnabled(true);
    EXPECT_TRUE(model().message()->startsWith(QStringLiteral(u"保存失败：")));
    EXPECT_FALSE(stored().trayDropEnabled);
    model().useCurrentFileLocation();
    model().acknowledgeContextMenuGuide();
    EXPECT_TRUE(model().message()->startsWith(QStringLiteral(u"保存失败：")));
}

}  // namespace
