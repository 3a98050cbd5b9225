#include "core/state/TaskCancellationCenter.h"

TaskCancellationCenter& TaskCancellationCenter::shared() {
    static TaskCancellationCenter center;
    return center;
}

void TaskCancellationCenter::registerHandle(const CancellationToken& handle, const QUuid& taskID) {
    m_tasks.insert(taskID, handle);
}

void TaskCancellationCenter::cancel(const QUuid& taskID) {
    if (!m_tasks.contains(taskID)) return;
    // Out of the map first: a cancel callback may run code that uses the registry.
    m_tasks.take(taskID).cancel();
}

void TaskCancellationCenter::cancelAll(const QList<QUuid>& taskIDs) {
    for (const QUuid& taskID : taskIDs) cancel(taskID);
}

void TaskCancellationCenter::remove(const QUuid& taskID) { m_tasks.remove(taskID); }
