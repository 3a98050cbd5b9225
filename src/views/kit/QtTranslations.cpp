#include "views/kit/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace QtTranslations {

bool install(QCoreApplication& application) {
    static QTranslator* installed = nullptr;
    if (installed) return true;
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    // Qt's own widgets write sizes, dates and file kinds in the default locale, and the file kinds
    // come from the MIME database in that locale's language.
    QLocale::setDefault(chinese);
    auto* translator = new QTranslator(&application);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace QtTranslations
