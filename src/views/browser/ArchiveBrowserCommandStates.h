#pragma once

#include <QString>

class ArchivePreviewWindowModel;

// Which of the browser's commands can run now; the model checks the same conditions again.
struct ArchiveBrowserCommandStates {
    bool add = false;
    bool extractSelected = false;
    bool extractAll = false;
    bool deleteSelected = false;
    bool clean = false;
    bool expandCollapseAll = true;
    bool read = false;
    bool goUp = false;
    // Why a command the archive or the selection rules out is greyed, in its operation's words; empty
    // while it can run or waits only for the work under way.
    QString addReason;
    QString extractSelectedReason;
    QString deleteReason;

    static ArchiveBrowserCommandStates of(const ArchivePreviewWindowModel& model);
    bool operator==(const ArchiveBrowserCommandStates&) const = default;
};
