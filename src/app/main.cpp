#include "views/main/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    QApplication::setOrganizationDomain(QStringLiteral("velmora.com"));

    MainWindow window;
    window.show();
    return QApplication::exec();
}
