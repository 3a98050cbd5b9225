#include "viewmodels/BackgroundRunner.h"

BackgroundRunner::BackgroundRunner(QObject* context, QThreadPool* pool)
    : m_context(context), m_pool(pool ? pool : &m_ownPool) {
    // Long tool runs must not keep a quick folder scan or size walk waiting for a free thread.
    m_ownPool.setMaxThreadCount(16);
    m_ownPool.setObjectName(QStringLiteral("velmoraWorkbench"));
}

BackgroundRunner::~BackgroundRunner() { m_pool->waitForDone(); }

void BackgroundRunner::post(std::function<void()> call) const {
    QMetaObject::invokeMethod(m_context, std::move(call), Qt::QueuedConnection);
}

void BackgroundRunner::waitForDone() { m_pool->waitForDone(); }
