#pragma once

#include <QMainWindow>

// The main workbench window: fixed at 1320 x 800.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
};
