#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "platform/SystemIntegrationError.h"
#include "support/TempTree.h"
#include "viewmodels/FakeSettingsServices.h"
#include "viewmodels/FakeWorkbenchPlatform.h"
#include "viewmodels/SettingsViewModel.h"
#include "views/kit/Card.h"
#include "views/settings/SettingsView.h"
#include "views/settings/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

class SettingsViewTest : public ::testing::Test {
protected:
    SettingsView& view() {
        if (!m_view) {
            auto* model = new SettingsViewModel(
                settingsStore, passwordBook, platform,
                {integration, loginItems, defaults, QStringLiteral("/usr/local/bin/velmora")});
            m_view = std::make_unique<SettingsView>(model);
            m_view->resize(840, 680);
            m_view->show();
        }
        return *m_view;
    }
    ToggleSwitch* toggle(const QString& title) {
        for (auto* candidate : view().findChildren<ToggleSwitch*>()) {
            if (candidate->accessibleName() == title) return candidate;
        }
        ADD_FAILURE() << "no switch " << title.toStdString();
        return nullptr;
    }
    QPushButton* button(const QString& text, QWidget* within = nullptr) {
        for (auto* candidate : (within ? within : &view())->findChildren<QPushButton*>()) {
            if (candidate->text() == text && candidate->isVisibleTo(&view())) return candidate;
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    QString status() { return view().findChild<QLabel*>(QStringLiteral("status"))->text(); }

    TempTree tree;
    DefaultsStore defaults{tree.path(QStringLiteral("defaults"))};
    SettingsStore settingsStore{defaults, {}};
    ArchivePasswordBookStore passwordBook{defaults};
    std::shared_ptr<FakeSystemIntegrationService> integration =
        std::make_shared<FakeSystemIntegrationService>();
    std::shared_ptr<FakeLoginItemService> loginItems = std::make_shared<FakeLoginItemService>();
    FakeWorkbenchPlatform platform;
    std::unique_ptr<SettingsView> m_view;
};

TEST_F(SettingsViewTest, SwitchesShowWhatTheModelKept) {
    integration->menuAnswer = [](bool) {
        throw SystemIntegrationError(SystemIntegrationError::Kind::finderSyncConfigurationFailed, "x");
    };
    QTest::mouseClick(toggle(QStringLiteral(u"右键菜单管理")), Qt::LeftButton);
    EXPECT_FALSE(toggle(QStringLiteral(u"右键菜单管理"))->isChecked());
    EXPECT_EQ(status(), QStringLiteral(u"文件管理器右键菜单配置失败：x"));
    // Read beside the switch that sprang back, not a screen below it.
    auto* line = view().findChild<QLabel*>(QStringLiteral("status"));
    QCoreApplication::processEvents();
    ASSERT_TRUE(line->isVisible());
    EXPECT_TRUE(view().rect().contains(QRect(line->mapTo(&view(), QPoint()), line->size())));

    ToggleSwitch* multiThread = toggle(QStringLiteral(u"多线程压缩引擎"));
    EXPECT_TRUE(multiThread->isChecked());
    QTest::mouseClick(multiThread, Qt::LeftButton);
    EXPECT_TRUE(multiThread->isChecked());
    EXPECT_EQ(status(), QStringLiteral(u"多线程压缩引擎已开启。"));

    QTest::mouseClick(toggle(QStringLiteral(u"解压到单独文件夹")), Qt::LeftButton);
    EXPECT_FALSE(settingsStore.load().extractToSeparateFolder);
}

TEST_F(SettingsViewTest, AMessageMovesNoSwitch) {
    const auto place = [&](QWidget* widget) {
        QCoreApplication::processEvents();
        return widget->mapTo(&view(), QPoint());
    };
    // Each click changes a text above the context-menu switch, or the status line.
    const struct {
        const char* clicked;
        const char16_t* title;
    } clicks[] = {
        {"password book off", u"启用密码本自动填充"},
        {"default extractor on", u"默认解压工具"},
        {"default extractor off", u"默认解压工具"},
    };
    // Narrow enough that the notes above the switch wrap.
    view().resize(460, 680);
    ToggleSwitch* contextMenu = toggle(QStringLiteral(u"右键菜单管理"));
    const QPoint before = place(contextMenu);
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.clicked);
        const bool was = toggle(QString::fromUtf16(click.title))->isChecked();
        const QString said = status();
        QTest::mouseClick(toggle(QString::fromUtf16(click.title)), Qt::LeftButton);
        // The system's answer comes later: its message (shorter when switched off) is the one shown.
        ASSERT_TRUE(QTest::qWaitFor([&] { return status() != said; }, 10000));
        EXPECT_NE(toggle(QString::fromUtf16(click.title))->isChecked(), was);
        EXPECT_EQ(place(contextMenu), before);
    }
}

TEST_F(SettingsViewTest, PasswordBookRowsHaveDividersOnlyBetweenThem) {
    for (const char* label : {"one", "two", "three"}) {
        passwordBook.addManualPassword(QStringLiteral("secret-") + label, label,
                                       ArchivePasswordBookKind::extraction);
    }
    auto* list = view().findChild<Card*>(QStringLiteral("passwordBookList"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->findChildren<QFrame*>(QStringLiteral("divider")).size(), 2);
    EXPECT_EQ(list->findChildren<QPushButton*>().size(), 3);
    for (auto* label : view().findChildren<QLabel*>()) EXPECT_FALSE(label->text().contains("secret-"));

    QTest::mouseClick(button(QStringLiteral(u"移除"), list), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(list->findChildren<QFrame*>(QStringLiteral("divider")).size(), 1);

    QTest::mouseClick(button(QStringLiteral(u"清空密码本")), Qt::LeftButton);
    EXPECT_TRUE(passwordBook.entries().isEmpty());
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(button(QStringLiteral(u"清空密码本"))->isEnabled());
    EXPECT_EQ(status(), QStringLiteral(u"已清空密码本。"));
}

TEST_F(SettingsViewTest, GuidesFollowTheirState) {
    auto* guide = view().findChild<QWidget*>(QStringLiteral("contextMenuGuide"));
    EXPECT_TRUE(guide->isVisible());
    QTest::mouseClick(button(QStringLiteral(u"知道了")), Qt::LeftButton);
    EXPECT_FALSE(guide->isVisible());

    loginItems->fails = true;
    QTest::mouseClick(button(QStringLiteral(u"立即开启")), Qt::LeftButton);
    EXPECT_TRUE(button(QStringLiteral(u"立即开启"))->isVisible());
    EXPECT_EQ(status(), QStringLiteral(u"开机后台自启动设置失败：Permission denied"));
    loginItems->fails = false;
    QTest::mouseClick(button(QStringLiteral(u"立即开启")), Qt::LeftButton);
    EXPECT_TRUE(toggle(QStringLiteral(u"开机后台自启动"))->isChecked());
}

}  // namespace
