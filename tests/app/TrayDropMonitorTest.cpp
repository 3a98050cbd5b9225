#include "app/CoordinatorFixture.h"
#include "app/FakeScheduler.h"
#include "app/TrayDropMonitor.h"
#include "app/TrayDropView.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
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

// A drag that enters the panel and drops there.
void dropOnPanel(const TrayDropMonitor& monitor, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QWidget* view = monitor.windowController()->view();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
}

class TrayDropMonitorTest : public testing::Test {
protected:
    TrayDropMonitorTest() {
        auto watcher = std::make_unique<FakeDragWatcher>();
        m_watcher = watcher.get();
        m_monitor = std::make_unique<TrayDropMonitor>(
            m_settingsStore, m_defaults, std::move(watcher), [] { return std::optional<QRect>(); },
            [this](const QStringList& paths) { m_incoming << paths; }, m_scheduler);
    }

    void setEnabled(bool enabled) {
        m_settingsStore.update([enabled](AppSettings& settings) { settings.trayDropEnabled = enabled; });
    }

    void drop(const QList<QUrl>& urls) { dropOnPanel(*m_monitor, urls); }

    bool panelShown() const {
        return m_monitor->windowController() && m_monitor->windowController()->isShown();
    }

    TempTree m_home;
    DefaultsStore m_defaults{m_home.path("defaults")};
    SettingsStore m_settingsStore{m_defaults, {}};
    FakeDragWatcher* m_watcher = nullptr;
    FakeScheduler m_scheduler;
    QList<QStringList> m_incoming;
    std::unique_ptr<TrayDropMonitor> m_monitor;
};

TEST_F(TrayDropMonitorTest, FirstLaunchSwitchesTheOptionOnAndStartsOneWatcher) {
    m_monitor->startTrayDropMonitor();
    m_monitor->startTrayDropMonitor();
    EXPECT_TRUE(m_settingsStore.load().trayDropEnabled);
    EXPECT_EQ(m_watcher->startCount, 1);
}

TEST_F(TrayDropMonitorTest, AChoiceOfTheUserIsLeftAlone) {
    m_defaults.setData("menuBarDropUserConfigured", "true");
    m_monitor->startTrayDropMonitor();
    EXPECT_FALSE(m_settingsStore.load().trayDropEnabled);
    m_watcher->drag(true);
    EXPECT_FALSE(panelShown());
}

TEST_F(TrayDropMonitorTest, AFileDragShowsThePanelAndMouseUpHidesItAfterTheDelay) {
    m_monitor->startTrayDropMonitor();
    m_watcher->drag(true);
    ASSERT_TRUE(panelShown());
    EXPECT_FALSE(m_monitor->windowController()->model().isExpanded);

    m_watcher->release();
    m_scheduler.advance(649);
    EXPECT_TRUE(panelShown());
    m_scheduler.advance(1);
    EXPECT_FALSE(panelShown());
}

TEST_F(TrayDropMonitorTest, ANewFileDragBeforeTheDelayKeepsThePanel) {
    m_monitor->startTrayDropMonitor();
    m_watcher->drag(true);
    m_watcher->release();
    m_scheduler.advance(300);
    m_watcher->drag(true);
    m_scheduler.advance(1000);
    EXPECT_TRUE(panelShown());
}

TEST_F(TrayDropMonitorTest, ATextDragHidesThePanelForAsLongAsItLasts) {
    m_monitor->startTrayDropMonitor();
    m_watcher->drag(true);
    ASSERT_TRUE(panelShown());
    m_watcher->drag(false);
    EXPECT_FALSE(panelShown());
    m_watcher->moveOn();
    EXPECT_FALSE(panelShown());
}

TEST_F(TrayDropMonitorTest, TheSameFileDragIsNotExaminedAgainAfterMouseUp) {
    m_monitor->startTrayDropMonitor();
    m_watcher->drag(true);
    m_watcher->release();
    m_scheduler.advance(650);
    m_watcher->moveOn();
    EXPECT_FALSE(panelShown());
}

TEST_F(TrayDropMonitorTest, DropsReachTheHandlerOnceEachInDropOrderWhileTheOptionIsOn) {
    m_monitor->startTrayDropMonitor();
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

TEST_F(TrayDropMonitorTest, TheDropAreaExpandsAndCollapsesThePanel) {
    m_monitor->startTrayDropMonitor();
    m_watcher->drag(true);
    TrayDropWindowController* controller = m_monitor->windowController();
    Q_EMIT controller->view()->targetChanged(true);
    EXPECT_TRUE(controller->model().isExpanded);
    EXPECT_EQ(controller->view()->size(), QSize(420, 360));
    m_watcher->moveOn();  // a continuing drag leaves it expanded
    EXPECT_EQ(controller->view()->size(), QSize(420, 360));
    Q_EMIT controller->view()->targetChanged(false);
    EXPECT_EQ(controller->view()->size(), QSize(380, 56));
    EXPECT_FALSE(controller->model().isTargeted);
}

using TrayDropCoordinatorTest = CoordinatorFixture;

TEST_F(TrayDropCoordinatorTest, FilesDroppedOnThePanelAreCompressedByTheCoordinator) {
    auto watcher = std::make_unique<FakeDragWatcher>();
    FakeDragWatcher& drags = *watcher;
    const auto monitor = TrayDropMonitor::forCoordinator(*coordinator, DefaultsStore(config.path("defaults")),
                                                         std::move(watcher));
    monitor->startTrayDropMonitor();
    drags.drag(true);
    const QString report = files.writeFile("report.txt", "numbers");
    dropOnPanel(*monitor, {QUrl::fromLocalFile(report)});
    waitForOperations();
    EXPECT_TRUE(QFileInfo::exists(files.path("report.zip")));
}

}  // namespace
