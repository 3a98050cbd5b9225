#pragma once

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

    static ArchiveBrowserCommandStates of(const ArchivePreviewWindowModel& model);
    bool operator==(const ArchiveBrowserCommandStates&) const = default;
};
