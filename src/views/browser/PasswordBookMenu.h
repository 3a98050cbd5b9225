#pragma once

#include "core/state/ArchivePasswordBookEntry.h"

#include <QList>
#include <functional>

class QMenu;

// Fills a password book menu: one item per entry, labelled by its name (or "未命名密码") and its
// last use, never by the password; "密码本为空" when there is none.
namespace PasswordBookMenu {

void fill(QMenu& menu, const QList<ArchivePasswordBookEntry>& entries,
          const std::function<void(const ArchivePasswordBookEntry&)>& chosen);
QString rowLabel(const ArchivePasswordBookEntry& entry);

}  // namespace PasswordBookMenu
