#pragma once

#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "core/state/TaskCancellationCenter.h"
#include "core/state/WorkbenchStore.h"
#include "platform/DefaultsStore.h"
#include "support/TempTree.h"
#include "viewmodels/FakeWorkbenchEngine.h"
#include "viewmodels/FakeWorkbenchPlatform.h"
#include "viewmodels/WorkbenchModels.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <memory>

// Incompressible bytes, the same for the same seed.
inline QByteArray randomBytes(int size, quint32 seed) {
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char& byte : data) byte = char(generator.bounded(256));
    return data;
}

// The main window's page models over stores in a temporary folder, the scripted engine and the
// scripted desktop. They are made on first use, so a test can store settings before they load them.
class WorkbenchFixture : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_models) {
            EXPECT_TRUE(waitUntilIdle());
            EXPECT_TRUE(registryIsEmpty());
        }
    }

    // The engine the model is given; the scripted one unless a test wires the real one in.
    virtual WorkbenchEngine& modelEngine() { return engine; }

    WorkbenchModels& models() {
        if (!m_models) {
            m_models = std::make_unique<WorkbenchModels>(modelEngine(), settingsStore, passwordBook,
                                                         workbench, platform, &workers);
        }
        return *m_models;
    }
    WorkbenchContext& context() { return models().context(); }
    HomeViewModel& home() { return models().home(); }
    CompressViewModel& compress() { return models().compress(); }
    ExtractViewModel& extract() { return models().extract(); }
    SplitCompressViewModel& splitCompress() { return models().splitCompress(); }
    SplitExtractViewModel& splitExtract() { return models().splitExtract(); }

    void storeSettings(const std::function<void(AppSettings&)>& change) { settingsStore.update(change); }

    // Waits, with a deadline, until no operation of the models is running.
    bool waitUntilIdle() {
        return QTest::qWaitFor([this] { return !context().isWorking(); }, 20000);
    }

    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }

    // Lets every piece of background work that does not wait for a cancellation end and deliver its
    // outcome, including work that a delivery starts.
    void settle() {
        for (int round = 0; round < 4; ++round) {
            workers.waitForDone();
            QCoreApplication::sendPostedEvents();
        }
    }

    // No record of this test's store is left in the process-wide cancellation registry.
    bool registryIsEmpty() const {
        return std::none_of(workbench.tasks().begin(), workbench.tasks().end(), [](const ArchiveTask& task) {
            return TaskCancellationCenter::shared().isRegistered(task.id);
        });
    }

    QString status() { return context().statusMessage().value_or(QString()); }
    QString alert() { return context().alertMessage().value_or(QString()); }

    TempTree files;
    QTemporaryDir defaultsFolder;
    SettingsStore settingsStore{DefaultsStore(defaultsFolder.path()), {}};
    ArchivePasswordBookStore passwordBook{DefaultsStore(defaultsFolder.path())};
    WorkbenchStore workbench{DefaultsStore(defaultsFolder.path())};
    FakeWorkbenchEngine engine;
    FakeWorkbenchPlatform platform;
    QThreadPool workers;

private:
    std::unique_ptr<WorkbenchModels> m_models;
};
