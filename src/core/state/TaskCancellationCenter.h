#pragma once

#include "core/base/CancellationToken.h"

#include <QHash>
#include <QUuid>

// The process-wide registry from a workbench task's id to the token of the work that carries it out,
// so the tasks page can stop that work. One token may stand under several ids (an extraction batch).
// Used on the GUI thread only; the work may observe a cancellation on any thread.
class TaskCancellationCenter {
public:
    static TaskCancellationCenter& shared();

    // Stores the handle under the id, replacing (without cancelling) any handle already there.
    // (`register` is a C++ keyword.)
    void registerHandle(const CancellationToken& handle, const QUuid& taskID);

    // Cancels the handle registered under the id, if any, and removes the entry.
    void cancel(const QUuid& taskID);
    void cancelAll(const QList<QUuid>& taskIDs);

    // Removes the entry without cancelling; the work's final step calls it.
    void remove(const QUuid& taskID);

    bool isRegistered(const QUuid& taskID) const { return m_tasks.contains(taskID); }

private:
    QHash<QUuid, CancellationToken> m_tasks;
};
