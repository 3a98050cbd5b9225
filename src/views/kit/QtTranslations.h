#pragma once

class QCoreApplication;

// Qt's own texts (file dialogs, standard buttons, context menus) in Simplified Chinese, the
// interface's only language, whatever the system's locale.
namespace QtTranslations {

// Loads Qt's Simplified Chinese catalogue once; false when it is not installed, and Qt speaks English.
bool install(QCoreApplication& application);

}  // namespace QtTranslations
