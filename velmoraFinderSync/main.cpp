#include "FinderSync.h"
#include "platform/ToolText.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

// Exit status: 0 the URL was handed on, 1 nothing was opened (empty selection, the extract rule failed,
// or nothing could be started; the reason goes to standard error), 2 a wrong command line.
int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    // From the bytes, not QCoreApplication::arguments(): a name that is not UTF-8 keeps its bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(ToolText::escapedName(argv[i]));
    const QString action = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (action != QLatin1String("extract") && action != QLatin1String("compress")) {
        QTextStream(stderr) << "usage: velmoraFinderSync extract|compress [PATH...]\n";
        return 2;
    }
    const QStringList selection = FinderSync::currentSelection(
        arguments, QProcessEnvironment::systemEnvironment(), QDir::currentPath());
    const std::optional<QString> failure = FinderSync::openVelmora(
        action, selection, QCoreApplication::applicationDirPath() + QStringLiteral("/velmora"));
    if (!failure) return 0;
    QTextStream(stderr) << *failure << '\n';
    return 1;
}
