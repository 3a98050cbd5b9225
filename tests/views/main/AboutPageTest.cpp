#include "core/state/WorkbenchStore.h"
#include "support/LocalHttpServer.h"
#include "views/main/AboutPage.h"
#include "views/main/UrlRecorder.h"

#include <gtest/gtest.h>
#include <QNetworkProxy>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

class AboutPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QNetworkProxyFactory::setUseSystemConfiguration(false);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    AboutPage& page(const QString& website = QStringLiteral("https://velmora.test")) {
        m_page = std::make_unique<AboutPage>(store,
                                             UpdateChecker::Configuration{.feedAddress = server.address(),
                                                                          .currentVersion = "1.2.0",
                                                                          .currentBuild = "12",
                                                                          .transferTimeout = 300ms},
                                             website);
        return *m_page;
    }

    QTemporaryDir folder;
    WorkbenchStore store{DefaultsStore(folder.path())};
    LocalHttpServer server;
    std::unique_ptr<AboutPage> m_page;
};

// The button is disabled and says so while a check runs; the outcome comes as a notification.
TEST_F(AboutPageTest, CheckButtonWaitsForTheCheck) {
    QPushButton* check = page().checkButton();
    EXPECT_EQ(check->text(), QStringLiteral(u"检查更新"));
    check->click();
    EXPECT_FALSE(check->isEnabled());
    EXPECT_EQ(check->text(), QStringLiteral(u"检查中..."));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !store.notifications().isEmpty(); }, 20000));
    EXPECT_TRUE(check->isEnabled());
    EXPECT_EQ(check->text(), QStringLiteral(u"检查更新"));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(store.notifications().first().title, QStringLiteral(u"检查更新失败"));
}

TEST_F(AboutPageTest, SiteButtonsOpenTheVendorsPages) {
    UrlRecorder browser(QStringLiteral("https"));
    AboutPage& about = page();
    about.websiteButton()->click();
    about.termsLink()->click();
    about.privacyLink()->click();
    EXPECT_EQ(browser.opened, QList<QUrl>({QUrl("https://velmora.test"), QUrl("https://velmora.test/terms"),
                                           QUrl("https://velmora.test/privacy")}));

    page(QStringLiteral("not a site")).websiteButton()->click();
    EXPECT_EQ(browser.opened.size(), 3);
}

}  // namespace
