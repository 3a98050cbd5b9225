#include "app/MenuBarDropMonitor.h"
#include "app/MenuBarDropView.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// Drags as a test tells them: each drag() is one owner change of the drag selection.
class FakeDragWatcher : public DragWatcher {
public:
    bool start() override {
        ++startCount;
        return true;
    }
    qint64 changeCount() const override { return m_changeCount; }
    bool isDraggingFiles() const override { return m_files; }

    void drag(bool files) {
        ++m_changeCount;
        m_files = files;
        Q_EMIT mouseDragged();
    }
    void moveOn() { Q_EMIT mouseDragged(); }
    void release() { Q_EMIT mouseReleased(); }

    int startCount = 0;

private:
    qint64 m_changeCount = 7;
    bool m_files = false;
};

// Holds delayed work until the test runs it.
struct ManualDelay {
    void runAll() {
        const auto due = std::exchange(pending, {});
        for (const auto& [milliseconds, action] : due) action();
    }
    QList<std::pair<int, std::function<void()>>> pending;
};

class MenuBarDropMonitorTest : public testing::Test {
protected:
    MenuBarDropMonitorTest() {
        auto watcher = std::make_unique<FakeDragWatcher>();
        m_watcher = watcher.get();
        m_monitor = std::make_unique<MenuBarDropMonitor>(
            m_settingsStore, m_defaults, std::move(watcher), [] { return std::optional<QRect>(); },
            [this](const QStringList& paths) { m_incoming << paths; },
            [this](int milliseconds, std::function<void()> action) {
                m_delay.pending.append({milliseconds, std::move(action)});
            });
    }

    void setEnabled(bool enabled) {
        AppSettings settings = m_settingsStore.load();
        settings.menuBarDropEnabled = enabled;
        m_settingsStore.save(settings);
    }

    void drop(const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        QWidget* view = m_monitor->windowController()->view();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drop);
    }

    bool panelShown() const {
        return m_monitor->windowController() && m_monitor->windowController()->isShown();
    }

    TempTree m_home;
    DefaultsStore m_defaults{m_home.path("defaults")};
    SettingsStore m_settingsStore{m_defaults, {}};
    FakeDragWatcher* m_watcher = nullptr;
    ManualDelay m_delay;
    QList<QStringList> m_incoming;
    std::unique_ptr<MenuBarDropMonitor> m_monitor;
};

TEST_F(MenuBarDropMonitorTest, FirstLaunchSwitchesTheOptionOnAndStartsOneWatcher) {
    m_monitor->startMenuBarDropMonitor();
    m_monitor->startMenuBarDropMonitor();
    EXPECT_TRUE(m_settingsStore.load().menuBarDropEnabled);
    EXPECT_EQ(m_watcher->startCount, 1);
}

TEST_F(MenuBarDropMonitorTest, AChoiceOfTheUserIsLeftAlone) {
    m_defaults.setData("menuBarDropUserConfigured", "true");
    m_monitor->startMenuBarDropMonitor();
    EXPECT_FALSE(m_settingsStore.load().menuBarDropEnabled);
    m_watcher->drag(true);
    EXPECT_FALSE(panelShown());
}

TEST_F(MenuBarDropMonitorTest, AFileDragShowsThePanelAndMouseUpHidesItAfterTheDelay) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    ASSERT_TRUE(panelShown());
    EXPECT_FALSE(m_monitor->windowController()->model().isExpanded);

    m_watcher->release();
    ASSERT_EQ(m_delay.pending.size(), 1);
    EXPECT_EQ(m_delay.pending.first().first, 650);
    EXPECT_TRUE(panelShown());
    m_delay.runAll();
    EXPECT_FALSE(panelShown());
}

TEST_F(MenuBarDropMonitorTest, ANewFileDragBeforeTheDelayKeepsThePanel) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    m_watcher->release();
    m_watcher->drag(true);
    m_delay.runAll();
    EXPECT_TRUE(panelShown());
}

TEST_F(MenuBarDropMonitorTest, ATextDragHidesThePanelForAsLongAsItLasts) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    ASSERT_TRUE(panelShown());
    m_watcher->drag(false);
    EXPECT_FALSE(panelShown());
    m_watcher->moveOn();
    EXPECT_FALSE(panelShown());
}

TEST_F(MenuBarDropMonitorTest, TheSameFileDragIsNotExaminedAgainAfterMouseUp) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    m_watcher->release();
    m_delay.runAll();
    m_watcher->moveOn();
    EXPECT_FALSE(panelShown());
}

TEST_F(MenuBarDropMonitorTest, DropsReachTheHandlerOnceEachInDropOrderWhileTheOptionIsOn) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    const QString a = m_home.writeFile("b.txt", "b");
    const QString b = m_home.writeFile("a.zip", "a");
    drop({QUrl::fromLocalFile(a), QUrl("https://example.com/x"), QUrl::fromLocalFile(b),
          QUrl::fromLocalFile(a)});
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(m_incoming, QList<QStringList>({{a, b}}));

    setEnabled(false);
    drop({QUrl::fromLocalFile(a)});
    EXPECT_EQ(m_incoming.size(), 1);
}

TEST_F(MenuBarDropMonitorTest, TheDropAreaExpandsAndCollapsesThePanel) {
    m_monitor->startMenuBarDropMonitor();
    m_watcher->drag(true);
    MenuBarDropWindowController* controller = m_monitor->windowController();
    Q_EMIT controller->view()->targetChanged(true);
    EXPECT_TRUE(controller->model().isExpanded);
    EXPECT_EQ(controller->view()->size(), QSize(420, 360));
    m_watcher->moveOn();  // a continuing drag leaves it expanded
    EXPECT_EQ(controller->view()->size(), QSize(420, 360));
    Q_EMIT controller->view()->targetChanged(false);
    EXPECT_EQ(controller->view()->size(), QSize(380, 56));
    EXPECT_FALSE(controller->model().isTargeted);
}

}  // namespace
