#include "views/browser/PasswordBookMenu.h"

#include "viewmodels/DateFormattingHelper.h"

#include <QMenu>

namespace PasswordBookMenu {

QString rowLabel(const ArchivePasswordBookEntry& entry) {
    const QString name = entry.label.isEmpty() ? QStringLiteral(u"未命名密码") : entry.label;
    return name + QStringLiteral("    ") + DateFormattingHelper::dateTime(entry.lastUsedAt);
}

void fill(QMenu& menu, const QList<ArchivePasswordBookEntry>& entries,
          const std::function<void(const ArchivePasswordBookEntry&)>& chosen) {
    menu.clear();
    if (entries.isEmpty()) {
        menu.addAction(QStringLiteral(u"密码本为空"))->setEnabled(false);
        return;
    }
    for (const ArchivePasswordBookEntry& entry : entries) {
        QObject::connect(menu.addAction(rowLabel(entry)), &QAction::triggered, &menu,
                         [chosen, entry] { chosen(entry); });
    }
}

}  // namespace PasswordBookMenu
