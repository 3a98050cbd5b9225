#include "core/base/CancellationError.h"
#include "viewmodels/BackgroundRunner.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <memory>

namespace {

TEST(BackgroundRunnerTest, workRunsOnAWorkerAndTheOutcomeOnTheContextThread) {
    QObject context;
    QThreadPool pool;
    BackgroundRunner runner(&context, &pool);
    QThread* workThread = nullptr;
    QThread* deliveryThread = nullptr;
    int value = 0;
    runner.run(
        [&workThread] {
            workThread = QThread::currentThread();
            return 42;
        },
        [&](Outcome<int>& outcome) {
            deliveryThread = QThread::currentThread();
            value = outcome.value();
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return value != 0; }, 10000));
    EXPECT_EQ(value, 42);
    EXPECT_NE(workThread, QThread::currentThread());
    EXPECT_EQ(deliveryThread, QThread::currentThread());
}

TEST(BackgroundRunnerTest, thrownErrorIsRethrownWhereTheOutcomeIsRead) {
    QObject context;
    QThreadPool pool;
    BackgroundRunner runner(&context, &pool);
    bool delivered = false;
    bool cancelled = false;
    runner.run([] { throw CancellationError(); },
               [&](Outcome<Done>& outcome) {
                   delivered = true;
                   try {
                       outcome.value();
                   } catch (const CancellationError&) {
                       cancelled = true;
                   }
               });
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered; }, 10000));
    EXPECT_TRUE(cancelled);
}

TEST(BackgroundRunnerTest, outcomeForAGoneContextIsDropped) {
    QThreadPool pool;
    bool delivered = false;
    {
        QObject context;
        BackgroundRunner runner(&context, &pool);
        runner.run([] { return 1; }, [&](Outcome<int>&) { delivered = true; });
        runner.waitForDone();
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(delivered);
}

}  // namespace
