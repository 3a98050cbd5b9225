#include "views/kit/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace QtTranslations {

bool install(QCoreApplication& application) {
    static QTranslator* installed = nullptr;
    if (installed) return true;
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China),
                          QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace QtTranslations
