#include "core/state/WorkbenchStore.h"
#include "support/TempTree.h"
#include "support/LocalHttpServer.h"
#include "viewmodels/UpdateChecker.h"

#include <gtest/gtest.h>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString kFailure = QStringLiteral(u"检查更新失败");
const QString kUnavailable = QStringLiteral(u"暂时无法获取更新信息，请稍后重试。");
const QString kLatest = QStringLiteral(u"已是最新版");
const QString kLatestMessage = QStringLiteral(u"当前版本 1.2.0 已是最新版。");

QByteArray feed(const QByteArray& version, const QByteArray& build = "\"12\"",
                const QByteArray& extra = ", \"published_at\": \"2026-01-01\"") {
    return "{\"version\": \"" + version + "\", \"build\": " + build +
           ", \"download_url\": \"https://example.invalid/v.tar.gz\", \"sha256\": \"ab\","
           " \"release_notes\": \"修复若干问题\"" +
           extra + "}";
}

struct VersionCase {
    const char* remoteVersion;
    const char* remoteBuild;
    const char* currentVersion;
    const char* currentBuild;
    bool newer;
};

class VersionComparison : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionComparison, DecidesByDottedNumbersThenBuild) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(
        UpdateChecker::isRemoteVersionNewer(c.remoteVersion, c.remoteBuild, c.currentVersion, c.currentBuild),
        c.newer);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionComparison,
    ::testing::Values(VersionCase{"1.10", "1", "1.9", "1", true},            // numeric, not textual
                      VersionCase{"1.9", "99", "1.10", "1", false},          //
                      VersionCase{"1.2", "13", "1.2.0", "12", true},         // equal versions, build decides
                      VersionCase{"1.2", "12", "1.2.0", "12", false},        //
                      VersionCase{"2", "1", "1.9.9", "50", true},            //
                      VersionCase{"1.2.0-beta", "13", "1.2.0", "12", true},  // "0-beta" counts as 0
                      VersionCase{"1.2.0-beta", "12", "1.2.0", "12", false},
                      VersionCase{"1.2.1-beta", "1", "1.2.0", "12", false},  // 1-beta is 0 too
                      VersionCase{"v1.3", "99", "1.2", "1", false},          // "v1" counts as 0
                      VersionCase{"1.2", "", "1.2", "0", false},             // empty build is 0
                      VersionCase{"1.2", "1", "1.2", "", true},              //
                      VersionCase{"1.2", "1", "1.2", "abc", true},           // non-numeric build is 0
                      VersionCase{"1.2", "+3", "1.2", "2", true},            // a sign is allowed
                      VersionCase{"1.99999999999999999999", "1", "1.2", "1", false},  // overflow is 0
                      VersionCase{"1..3", "1", "1.3", "1", false},    // empty pieces are dropped
                      VersionCase{".5", "1", "4", "1", true},         //
                      VersionCase{"1. 3", "1", "1.2", "1", false}));  // a blank makes a piece 0

TEST(VersionComparisonTest, CompareVersionGivesMinusOneZeroOrOne) {
    EXPECT_EQ(UpdateChecker::compareVersion("1.10", "1.9"), 1);
    EXPECT_EQ(UpdateChecker::compareVersion("1.9", "1.10"), -1);
    EXPECT_EQ(UpdateChecker::compareVersion("1.2", "1.2.0.0"), 0);
    EXPECT_EQ(UpdateChecker::compareVersion("", "0"), 0);
    EXPECT_EQ(UpdateChecker::compareVersion("-1", ""), -1);
}

class UpdateCheckerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Only the test's own server on 127.0.0.1 is reached, whatever proxy the machine sets.
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    UpdateChecker& checker(const QString& address, std::chrono::milliseconds timeout = 10s) {
        m_checker = std::make_unique<UpdateChecker>(
            store, UpdateChecker::Configuration{.feedAddress = address,
                                                .currentVersion = QStringLiteral("1.2.0"),
                                                .currentBuild = QStringLiteral("12"),
                                                .transferTimeout = timeout});
        return *m_checker;
    }

    // Starts one check and waits for its notification.
    void runCheck(UpdateChecker& updateChecker) {
        const qsizetype before = store.notifications().size();
        updateChecker.checkForUpdates();
        ASSERT_TRUE(QTest::qWaitFor([&] { return store.notifications().size() > before; }, 20000));
        EXPECT_FALSE(updateChecker.isCheckingForUpdates());
    }

    QTemporaryDir folder;
    WorkbenchStore store{DefaultsStore(folder.path())};
    LocalHttpServer server;
    std::unique_ptr<UpdateChecker> m_checker;
};

struct FeedCase {
    const char* name;
    QByteArray response;
    QString title;
    QString message;
};

class UpdateFeedAnswers : public UpdateCheckerTest, public ::testing::WithParamInterface<FeedCase> {};

TEST_P(UpdateFeedAnswers, EndInOneNotification) {
    server.setResponse(GetParam().response);
    UpdateChecker& updateChecker = checker(server.address());
    QSignalSpy flag(&updateChecker, &UpdateChecker::isCheckingForUpdatesChanged);
    runCheck(updateChecker);
    EXPECT_EQ(flag.count(), 2);
    ASSERT_EQ(store.notifications().size(), 1);
    EXPECT_EQ(store.notifications().first().title, GetParam().title);
    EXPECT_EQ(store.notifications().first().message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateFeedAnswers,
    ::testing::Values(
        FeedCase{"Newer", LocalHttpServer::response(200, "OK", feed("1.3.0")),
                 QStringLiteral(u"发现新版本 v1.3.0"), QStringLiteral(u"修复若干问题")},
        FeedCase{"Equal", LocalHttpServer::response(200, "OK", feed("1.2.0")), kLatest, kLatestMessage},
        FeedCase{"Older", LocalHttpServer::response(200, "OK", feed("1.1.9", "\"99\"")), kLatest,
                 kLatestMessage},
        FeedCase{"AnySuccessStatus", LocalHttpServer::response(203, "Non-Authoritative", feed("1.3")),
                 QStringLiteral(u"发现新版本 v1.3"), QStringLiteral(u"修复若干问题")},
        FeedCase{"NotFound", LocalHttpServer::response(404, "Not Found", feed("9.0")), kFailure,
                 kUnavailable},
        FeedCase{"NotModified", LocalHttpServer::response(304, "Not Modified", ""), kFailure, kUnavailable},
        FeedCase{"NotJson", LocalHttpServer::response(200, "OK", "<html>velmora</html>"), kFailure,
                 kUnavailable},
        FeedCase{"NumericBuild", LocalHttpServer::response(200, "OK", feed("9.0", "13")), kFailure,
                 kUnavailable},
        FeedCase{"MissingKey", LocalHttpServer::response(200, "OK", feed("9.0", "\"13\"", "")), kFailure,
                 kUnavailable},
        FeedCase{"NullValue",
                 LocalHttpServer::response(200, "OK", feed("9.0", "\"13\"", ", \"published_at\": null")),
                 kFailure, kUnavailable},
        FeedCase{"TopLevelArray", LocalHttpServer::response(200, "OK", "[" + feed("9.0") + "]"), kFailure,
                 kUnavailable}),
    [](const ::testing::TestParamInfo<FeedCase>& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckerTest, RefusedPortFails) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    runCheck(checker(QStringLiteral("http://127.0.0.1:%1/appcast.json").arg(port)));
    EXPECT_EQ(store.notifications().first().title, kFailure);
    EXPECT_EQ(store.notifications().first().message, kUnavailable);
}

TEST_F(UpdateCheckerTest, ServerThatNeverAnswersEndsAtTheTransferTimeout) {
    runCheck(checker(server.address(), 200ms));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(store.notifications().first().title, kFailure);
    EXPECT_EQ(store.notifications().first().message, kUnavailable);
}

TEST_F(UpdateCheckerTest, SecondCheckWhileOneRunsIsRefused) {
    UpdateChecker& updateChecker = checker(server.address(), 500ms);
    updateChecker.checkForUpdates();
    EXPECT_TRUE(updateChecker.isCheckingForUpdates());
    runCheck(updateChecker);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(store.notifications().size(), 1);
}

TEST_F(UpdateCheckerTest, AddressThatIsNoURLFailsAtOnce) {
    for (const QString& address : {QString(), QStringLiteral("appcast.json"), QStringLiteral("https://")}) {
        UpdateChecker& updateChecker = checker(address);
        updateChecker.checkForUpdates();
        EXPECT_FALSE(updateChecker.isCheckingForUpdates()) << address.toStdString();
        EXPECT_EQ(store.notifications().first().message, QStringLiteral(u"更新地址配置无效。"));
    }
    EXPECT_EQ(store.notifications().size(), 3);
}

TEST_F(UpdateCheckerTest, ReportTrimsTheFeedAndFallsBackForEmptyNotes) {
    const auto appcast = [](const QString& version, const QString& build, const QString& notes) {
        AppcastInfo info;
        info.version = version;
        info.build = build;
        info.releaseNotes = notes;
        return info;
    };
    struct Case {
        AppcastInfo appcast;
        QString currentVersion;
        QString title;
        QString message;
    };
    const QList<Case> cases{
        {appcast(" 1.3.0\n", "1", "新功能"), "1.2.0", QStringLiteral(u"发现新版本 v1.3.0"),
         QStringLiteral(u"新功能")},
        {appcast("1.2.0", " 13 ", ""), "1.2.0", QStringLiteral(u"发现新版本 v1.2.0"),
         QStringLiteral(u"请点击“访问官网”下载最新版。")},
        {appcast("  ", "13", "x"), "1.2.0", kLatest, kLatestMessage},
        {appcast("  ", "13", "x"), "", QStringLiteral(u"发现新版本 新版"), "x"},
    };
    UpdateChecker& updateChecker = checker(server.address());
    for (const Case& c : cases) {
        updateChecker.notifyUpdateStatus(c.appcast, c.currentVersion, QStringLiteral("12"));
        EXPECT_EQ(store.notifications().first().title, c.title);
        EXPECT_EQ(store.notifications().first().message, c.message);
    }
}

TEST(UpdateCheckerReleaseTest, RunningReleaseComesFromTheBuild) {
    const UpdateChecker::Configuration release = UpdateChecker::releaseConfiguration();
    EXPECT_TRUE(release.feedAddress.startsWith(QStringLiteral("https://")));
    EXPECT_FALSE(release.currentVersion.isEmpty());
    bool numeric = false;
    release.currentBuild.toInt(&numeric);
    EXPECT_TRUE(numeric);
}

}  // namespace
