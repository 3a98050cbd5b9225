#include "views/main/MainWindow.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("velmora"));
    setFixedSize(1320, 800);
}
