#include "platform/DesktopFileValidate.h"
#include "platform/LoginItemService.h"
#include "platform/LoginItemServiceError.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

namespace {

TEST(LoginItemService, AutostartEntryStartsVelmoraHiddenWhateverItsPath) {
    XdgEnvironment xdg;
    struct Case {
        QString appPath;
        QString exec;
    };
    const QList<Case> cases{
        {"/usr/bin/velmora", "/usr/bin/velmora --background-login"},
        {QStringLiteral(u"/opt/压缩 工具/it's \"$5\" 100% a\\b/velmora"),
         QStringLiteral(
             u"\"/opt/压缩 工具/it's \\\\\"\\\\$5\\\\\" 100%% a\\\\\\\\b/velmora\" --background-login")},
    };
    for (const Case& c : cases) {
        LoginItemService service(c.appPath);
        service.installAutostartEntry();
        const QString path =
            xdg.configHome() + QStringLiteral("/autostart/com.velmora.pro.background-login.desktop");
        EXPECT_EQ(service.autostartEntryPath(), path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral(u"[Desktop Entry]\n"
                                                                    u"Type=Application\n"
                                                                    u"Name=velmora\n"
                                                                    u"Comment=登录时在后台启动 velmora\n"
                                                                    u"Exec=") +
                                                         c.exec +
                                                         QStringLiteral(u"\n"
                                                                        u"Terminal=false\n"
                                                                        u"NoDisplay=true\n"
                                                                        u"X-GNOME-Autostart-enabled=true\n"));
        EXPECT_EQ(desktopFileValidateOutput(path), QString());
    }
}

TEST(LoginItemService, InstallingTwiceAndRemovingWhenAbsentSucceed) {
    XdgEnvironment xdg;
    LoginItemService service(QStringLiteral("/usr/bin/velmora"));
    EXPECT_FALSE(service.isAutostartEntryInstalled());
    service.removeAutostartEntry();
    service.installAutostartEntry();
    service.installAutostartEntry();
    EXPECT_TRUE(service.isAutostartEntryInstalled());
    service.removeAutostartEntry();
    service.removeAutostartEntry();
    EXPECT_FALSE(service.isAutostartEntryInstalled());
}

TEST(LoginItemService, SwitchingOffRemovesTheFoldersSwitchingOnMade) {
    XdgEnvironment xdg;
    const QString autostart = xdg.configHome() + QStringLiteral("/autostart");
    LoginItemService service(QStringLiteral("/usr/bin/velmora"));
    service.installAutostartEntry();
    ASSERT_TRUE(QFileInfo(autostart).isDir());
    service.removeAutostartEntry();
    EXPECT_FALSE(QFileInfo::exists(autostart));

    // A folder the user had, or one that holds more than velmora's entry, stays.
    xdg.tree().writeFile(QStringLiteral("config/autostart/other.desktop"), "[Desktop Entry]\n");
    service.installAutostartEntry();
    service.removeAutostartEntry();
    EXPECT_TRUE(QFileInfo::exists(autostart + QStringLiteral("/other.desktop")));
}

TEST(LoginItemService, FailuresCarryTheirTexts) {
    XdgEnvironment xdg;
    xdg.tree().writeFile(QStringLiteral("config/autostart"), "a file where the folder belongs");
    try {
        LoginItemService(QStringLiteral("/usr/bin/velmora")).installAutostartEntry();
        ADD_FAILURE() << "no failure";
    } catch (const LoginItemServiceError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral(u"开机后台自启动设置失败：")));
        EXPECT_GT(error.message().size(), QStringLiteral(u"开机后台自启动设置失败：").size());
    }
    try {
        LoginItemService(QString()).installAutostartEntry();
        ADD_FAILURE() << "no failure";
    } catch (const LoginItemServiceError& error) {
        EXPECT_EQ(error.message(), QStringLiteral(u"无法读取当前 App 路径。"));
    }
}

}  // namespace
