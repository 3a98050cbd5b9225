#include "FinderSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

// Exit status: 0 the URL was handed to xdg-open, 1 nothing was opened (empty selection, the extract
// rule failed, or xdg-open could not be started), 2 a wrong command line.
int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString action = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (action != QLatin1String("extract") && action != QLatin1String("compress")) {
        QTextStream(stderr) << "usage: velmoraFinderSync extract|compress [PATH...]\n";
        return 2;
    }
    const QStringList selection = FinderSync::currentSelection(
        arguments, QProcessEnvironment::systemEnvironment(), QDir::currentPath());
    return FinderSync::openVelmora(action, selection) ? 0 : 1;
}
