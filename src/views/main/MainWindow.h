#pragma once

#include <QMainWindow>

class ArchivePasswordBookStore;
class MainViewModel;
class SettingsStore;
class WorkbenchStore;

// The main workbench window: fixed at 1320 x 800.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(MainViewModel& model, WorkbenchStore& workbenchStore, SettingsStore& settingsStore,
               ArchivePasswordBookStore& passwordBookStore, QWidget* parent = nullptr);

private:
    MainViewModel& m_model;
    WorkbenchStore& m_workbenchStore;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
};
