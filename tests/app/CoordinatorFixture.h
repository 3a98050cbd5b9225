#pragma once

#include "app/AppCoordinator.h"
#include "app/ExternalOperationProgressWindowController.h"
#include "app/FakeScheduler.h"
#include "app/OutsideRun.h"
#include "support/TempTree.h"
#include "viewmodels/FakeWorkbenchPlatform.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QThreadPool>
#include <QWidget>

// Records the browser windows the coordinator asks for; their work runs while the test says so.
class FakePreviewWindowOpener : public PreviewWindowOpener {
public:
    struct Call {
        QStringList archives;
        std::optional<QList<ArchivePreviewEntry>> preloaded;
        bool activatesApp;
    };
    QList<Call>& calls;
    const bool& workRunning;

    FakePreviewWindowOpener(QList<Call>& log, const bool& running) : calls(log), workRunning(running) {}
    void openPreviewWindow(const QStringList& archives,
                           const std::optional<QList<ArchivePreviewEntry>>& preloaded,
                           bool activatesApp) override {
        calls.append({archives, preloaded, activatesApp});
    }
    bool isWorkRunning() const override { return workRunning; }
};

// A coordinator over temporary stores, a fake clock, scripted panels and recorded browser windows.
class CoordinatorFixture : public testing::Test {
protected:
    TempTree files;
    TempTree config;
    FakeScheduler scheduler;
    FakeWorkbenchPlatform platform;
    QThreadPool pool;
    QList<FakePreviewWindowOpener::Call> previewCalls;
    bool browserWorkRunning = false;
    // The application's own browser windows instead of recorded ones.
    bool realBrowserWindows = false;
    std::unique_ptr<AppCoordinator> coordinator;
    QWidget mainWindow;
    bool trayAvailable = true;

    void SetUp() override { makeCoordinator(false); }

    void makeCoordinator(bool backgroundLogin) {
        coordinator.reset();
        coordinator = std::make_unique<AppCoordinator>(AppCoordinator::Environment{
            .scheduler = scheduler,
            .platform = platform,
            .defaults = DefaultsStore(config.path("defaults")),
            .isBackgroundLoginLaunch = backgroundLogin,
            .makePreviewWindowOpener =
                [this](const PreviewWindowServices& services) -> std::unique_ptr<PreviewWindowOpener> {
                if (realBrowserWindows) return makeDesktopPreviewWindowOpener(services);
                return std::make_unique<FakePreviewWindowOpener>(previewCalls, browserWorkRunning);
            },
            .workerPool = &pool,
            .isSystemTrayAvailable = [this] { return trayAvailable; },
        });
    }

    void changeSettings(const std::function<void(AppSettings&)>& change) {
        coordinator->settingsStore().update(change);
    }

    // Waits for the next outside operation to end.
    void waitForOperations(int count = 1) {
        QSignalSpy finished(coordinator.get(), &AppCoordinator::externalOperationFinished);
        while (finished.size() < count) ASSERT_TRUE(finished.wait(120000));
    }

    // The newest outside run and its window's state.
    OutsideRun& lastRun() { return *coordinator->outsideRuns().back(); }
    ExternalOperationProgressModel& progress() { return lastRun().window().model(); }
};
