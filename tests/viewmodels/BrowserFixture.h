#pragma once

#include "core/engine/ArchiveError.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "platform/DefaultsStore.h"
#include "support/TempTree.h"
#include "viewmodels/ArchivePreviewWindowModel.h"
#include "viewmodels/FakeBrowserServices.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

inline ArchivePreviewEntry row(const QString& path, const QString& modified = {}) {
    ArchivePreviewEntry entry;
    entry.path = path;
    entry.modifiedDescription = modified;
    return entry;
}

inline std::exception_ptr wrongPassword() { return std::make_exception_ptr(ArchiveError::wrongPassword()); }

// An archive browser model over stores in a temporary folder, scripted archive work and a scripted
// desktop. Work runs on the fixture's pool, so a test can let it finish before the model hears of it.
class BrowserFixture : public ::testing::Test {
protected:
    void TearDown() override {
        m_model.reset();
        services.cancelAll();
        workers.waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ArchivePreviewWindowModel& open(
        const QStringList& archives,
        const std::optional<QList<ArchivePreviewEntry>>& preloaded = std::nullopt) {
        m_model = ArchivePreviewWindowModel::create(archives, services, settingsStore, passwordBook, platform,
                                                    preloaded, &workers);
        return *m_model;
    }
    ArchivePreviewWindowModel& openListed(const QList<ArchivePreviewEntry>& entries) {
        return open({files.path(QStringLiteral("a.zip"))}, entries);
    }
    ArchivePreviewWindowModel& model() { return *m_model; }
    std::shared_ptr<ArchivePreviewWindowModel>& sharedModel() { return m_model; }

    void storeSettings(const std::function<void(AppSettings&)>& change) { settingsStore.update(change); }

    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }
    bool waitForCall(int count) {
        return waitFor([&] { return services.callCount() >= count; });
    }
    // The worker has ended and its outcome has reached the model.
    void deliver() {
        workers.waitForDone();
        QCoreApplication::sendPostedEvents();
    }

    TempTree files;
    QTemporaryDir defaultsFolder;
    SettingsStore settingsStore{DefaultsStore(defaultsFolder.path()), {}};
    ArchivePasswordBookStore passwordBook{DefaultsStore(defaultsFolder.path())};
    FakeBrowserServices services;
    std::shared_ptr<FakeBrowserPlatform> platform = std::make_shared<FakeBrowserPlatform>();
    QThreadPool workers;

private:
    std::shared_ptr<ArchivePreviewWindowModel> m_model;
};
