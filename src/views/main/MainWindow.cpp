#include "views/main/MainWindow.h"

MainWindow::MainWindow(MainViewModel& model, WorkbenchStore& workbenchStore, SettingsStore& settingsStore,
                       ArchivePasswordBookStore& passwordBookStore, QWidget* parent)
    : QMainWindow(parent),
      m_model(model),
      m_workbenchStore(workbenchStore),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore) {
    setWindowTitle(QStringLiteral("velmora"));
    setFixedSize(1320, 800);
}
