#include "views/kit/WindowKeys.h"

#include <QKeySequence>
#include <QShortcut>

namespace WindowKeys {

namespace {

std::function<void()>& settingsOpener() {
    static std::function<void()> opener;
    return opener;
}

}  // namespace

void install(QWidget* window, std::function<void()> openSettings) {
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        QObject::connect(new QShortcut(key, window), &QShortcut::activated, window, &QWidget::close);
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), window), &QShortcut::activated,
                     window, [openSettings = std::move(openSettings)] {
                         if (openSettings) return openSettings();
                         if (settingsOpener()) settingsOpener()();
                     });
}

void setSettingsOpener(std::function<void()> opener) { settingsOpener() = std::move(opener); }

}  // namespace WindowKeys
