#pragma once

#include "viewmodels/CompressViewModel.h"
#include "viewmodels/ExtractViewModel.h"
#include "viewmodels/HistoryViewModel.h"
#include "viewmodels/HomeViewModel.h"
#include "viewmodels/NotificationsViewModel.h"
#include "viewmodels/PasswordBookViewModel.h"
#include "viewmodels/SplitCompressViewModel.h"
#include "viewmodels/SplitExtractViewModel.h"
#include "viewmodels/TasksViewModel.h"
#include "viewmodels/WorkbenchContext.h"

// The models of the main window's pages and of its notifications over their shared context, made
// together in the order they depend on one another.
class WorkbenchModels {
public:
    WorkbenchModels(WorkbenchEngine& engine, SettingsStore& settingsStore,
                    ArchivePasswordBookStore& passwordBookStore, WorkbenchStore& workbenchStore,
                    WorkbenchPlatform& platform, QThreadPool* workerPool = nullptr)
        : m_context(engine, settingsStore, passwordBookStore, workbenchStore, platform, workerPool),
          m_compress(m_context),
          m_extract(m_context),
          m_home(m_context, m_compress, m_extract),
          m_splitCompress(m_context),
          m_splitExtract(m_context, m_extract),
          m_passwordBook(m_context, m_compress, m_extract, m_splitCompress),
          m_tasks(m_context),
          m_history(m_context),
          m_notifications(m_context) {}
    // The runs and walks end before the page models they report to; a cancelled walk ends soon.
    ~WorkbenchModels() {
        m_splitCompress.stopSizing();
        m_context.stopWork();
    }

    WorkbenchModels(const WorkbenchModels&) = delete;
    WorkbenchModels& operator=(const WorkbenchModels&) = delete;

    WorkbenchContext& context() { return m_context; }
    HomeViewModel& home() { return m_home; }
    CompressViewModel& compress() { return m_compress; }
    ExtractViewModel& extract() { return m_extract; }
    SplitCompressViewModel& splitCompress() { return m_splitCompress; }
    SplitExtractViewModel& splitExtract() { return m_splitExtract; }
    PasswordBookViewModel& passwordBook() { return m_passwordBook; }
    TasksViewModel& tasks() { return m_tasks; }
    HistoryViewModel& history() { return m_history; }
    NotificationsViewModel& notifications() { return m_notifications; }

private:
    WorkbenchContext m_context;
    CompressViewModel m_compress;
    ExtractViewModel m_extract;
    HomeViewModel m_home;
    SplitCompressViewModel m_splitCompress;
    SplitExtractViewModel m_splitExtract;
    PasswordBookViewModel m_passwordBook;
    TasksViewModel m_tasks;
    HistoryViewModel m_history;
    NotificationsViewModel m_notifications;
};
