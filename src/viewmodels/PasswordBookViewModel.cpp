#include "viewmodels/PasswordBookViewModel.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "platform/PrivateFile.h"
#include "viewmodels/CompressViewModel.h"
#include "viewmodels/ExtractViewModel.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/Publish.h"
#include "viewmodels/SplitCompressViewModel.h"
#include "viewmodels/WorkbenchContext.h"

namespace Rules = PasswordBookPageRules;
using Kind = ArchivePasswordBookKind;

PasswordBookViewModel::PasswordBookViewModel(WorkbenchContext& context, CompressViewModel& compress,
                                             ExtractViewModel& extract, SplitCompressViewModel& splitCompress,
                                             QObject* parent)
    : QObject(parent),
      m_context(context),
      m_compress(compress),
      m_extract(extract),
      m_splitCompress(splitCompress) {
    reloadEntries();
}

void PasswordBookViewModel::setPasswordBookKind(ArchivePasswordBookKind value) {
    if (value == m_passwordBookKind) return;
    publish(this, m_passwordBookKind, value, &PasswordBookViewModel::passwordBookKindChanged);
    setSelectedPasswordBookEntryID(std::nullopt);
    reloadEntries();
}

void PasswordBookViewModel::setPasswordBookSearch(const QString& value) {
    publish(this, m_passwordBookSearch, value, &PasswordBookViewModel::passwordBookSearchChanged);
}

void PasswordBookViewModel::setSelectedPasswordBookEntryID(const std::optional<QUuid>& value) {
    publish(this, m_selectedPasswordBookEntryID, value,
            &PasswordBookViewModel::selectedPasswordBookEntryIDChanged);
}

void PasswordBookViewModel::setIsAddingPasswordBookEntry(bool value) {
    publish(this, m_isAddingPasswordBookEntry, value,
            &PasswordBookViewModel::isAddingPasswordBookEntryChanged);
}

void PasswordBookViewModel::setNewPasswordBookLabel(const QString& value) {
    publish(this, m_newPasswordBookLabel, value, &PasswordBookViewModel::newPasswordBookFieldsChanged);
}

void PasswordBookViewModel::setNewPasswordBookPassword(const QString& value) {
    publish(this, m_newPasswordBookPassword, value, &PasswordBookViewModel::newPasswordBookFieldsChanged);
}

void PasswordBookViewModel::setRevealPasswordBookPasswords(bool value) {
    publish(this, m_revealPasswordBookPasswords, value,
            &PasswordBookViewModel::revealPasswordBookPasswordsChanged);
}

bool PasswordBookViewModel::canExport() const {
    return Rules::canExport(m_context.passwordBookStore().entries(m_passwordBookKind).size());
}

void PasswordBookViewModel::reloadEntries() {
    ArchivePasswordBookStore& store = m_context.passwordBookStore();
    const ArchivePasswordBookStore::Book book = store.book();
    publish(this, m_passwordBookCondition, Rules::conditionText(book.condition, store.filePath()),
            &PasswordBookViewModel::passwordBookEntriesChanged);
    publish(this, m_passwordBookEntries, book.entries, &PasswordBookViewModel::passwordBookEntriesChanged);
}

// A failure is the newest outcome: the status line about an earlier one ends with it.
void PasswordBookViewModel::showFailure(const QString& text) {
    m_context.setAlertMessage(text);
    m_context.endPageStatus();
}

void PasswordBookViewModel::showSaveFailure(const QString& reason) {
    showFailure(OperationFailure::saveFailed(reason));
}

void PasswordBookViewModel::beginAddingPasswordBookEntry() {
    setNewPasswordBookLabel({});
    setNewPasswordBookPassword({});
    setIsAddingPasswordBookEntry(true);
}

void PasswordBookViewModel::saveNewPasswordBookEntry() {
    const ArchivePasswordBookStore::Addition added = m_context.passwordBookStore().addManualPassword(
        m_newPasswordBookPassword, m_newPasswordBookLabel, m_passwordBookKind);
    if (added.failure) {
        // The sheet stays open with what was typed.
        showSaveFailure(*added.failure);
        return;
    }
    if (!added.entry) {
        showFailure(QStringLiteral(u"请输入密码后再保存。"));
        return;
    }
    reloadEntries();
    setSelectedPasswordBookEntryID(added.entry->id);
    setIsAddingPasswordBookEntry(false);
    m_context.setStatusMessage(QStringLiteral(u"已添加一条") + Rules::bookTitle(m_passwordBookKind) +
                               QStringLiteral(u"。"));
}

void PasswordBookViewModel::updatePasswordBookEntry(const QUuid& entryID, PasswordBookEditableField field,
                                                    const QString& value) {
    for (ArchivePasswordBookEntry entry : m_passwordBookEntries) {
        if (entry.id != entryID) continue;
        (field == PasswordBookEditableField::label ? entry.label : entry.password) = value;
        if (const std::optional<QString> failure =
                m_context.passwordBookStore().update(entryID, entry.label, entry.password)) {
            showSaveFailure(*failure);
        }
        return;
    }
}

void PasswordBookViewModel::removeSelectedPasswordBookEntry() {
    const std::optional<QUuid> selected = m_selectedPasswordBookEntryID;
    if (!selected) return;
    if (const std::optional<QString> failure = m_context.passwordBookStore().removeEntry(*selected)) {
        showSaveFailure(*failure);
        return;
    }
    setSelectedPasswordBookEntryID(std::nullopt);
    reloadEntries();
    m_context.setStatusMessage(QStringLiteral(u"已删除选中的密码。"));
}

void PasswordBookViewModel::importPasswordBook(ArchivePasswordBookKind kind, const QString& path) {
    ArchivePasswordBookStore::Import imported;
    try {
        imported = m_context.passwordBookStore().importPasswords(path, kind);
    } catch (const VelmoraError& error) {
        showFailure(QStringLiteral(u"导入失败：") + error.message());
        return;
    }
    if (imported.failure) {
        showSaveFailure(*imported.failure);
        return;
    }
    setPasswordBookKind(kind);
    reloadEntries();
    m_context.setStatusMessage(QStringLiteral(u"已导入 ") + QString::number(imported.count) +
                               QStringLiteral(u" 条") + Rules::bookTitle(kind) + QStringLiteral(u"。"));
}

void PasswordBookViewModel::exportPasswordBook(ArchivePasswordBookKind kind, const QString& path) {
    // The file holds clear-text passwords: written whole or not at all, for the owner only.
    if (const std::optional<QString> error =
            PrivateFile::write(path, m_context.passwordBookStore().exportData(kind))) {
        showFailure(QStringLiteral(u"导出失败：") +
                    FileSystemError(FileSystemError::Kind::writeFailed, path, *error).message() +
                    QStringLiteral(u"。"));
        return;
    }
    m_context.setStatusMessage(QStringLiteral(u"已导出") + Rules::bookTitle(kind) + QStringLiteral(u"：") +
                               FileNameHelper::lastPathComponent(path));
}

void PasswordBookViewModel::applyPasswordBookEntry(const QUuid& entryID) {
    const auto entry =
        std::find_if(m_passwordBookEntries.cbegin(), m_passwordBookEntries.cend(),
                     [&entryID](const ArchivePasswordBookEntry& e) { return e.id == entryID; });
    if (entry == m_passwordBookEntries.cend()) return;
    if (m_passwordBookKind != Kind::compression) {
        m_extract.setExtractionPassword(entry->password);
        m_context.setStatusMessage(QStringLiteral(u"已将该密码应用到解压密码输入框。"));
        return;
    }
    m_compress.setCompressionPassword(entry->password);
    m_splitCompress.setSplitCompressionPasswordEnabled(true);
    m_splitCompress.setSplitCompressionPassword(entry->password);
    m_splitCompress.setSplitCompressionPasswordConfirmation(entry->password);
    m_context.setStatusMessage(QStringLiteral(u"已将该密码应用到压缩密码输入框。"));
}

void PasswordBookViewModel::setAutoSaveEnabled(bool on) {
    setSwitch(&AppSettings::archivePasswordBookAutoSaveEnabled, on,
              QStringLiteral(u"已开启自动保存正确密码。"), QStringLiteral(u"已关闭自动保存正确密码。"));
}

void PasswordBookViewModel::setAutoTryEnabled(bool on) {
    setSwitch(&AppSettings::archivePasswordBookEnabled, on, QStringLiteral(u"已开启密码本自动尝试。"),
              QStringLiteral(u"已关闭密码本自动尝试。"));
}

// A failed save leaves the context's settings as they were, so the page puts the switch back.
void PasswordBookViewModel::setSwitch(bool AppSettings::*field, bool on, const QString& onText,
                                      const QString& offText) {
    if (!m_context.updateSettings([&](AppSettings& settings) { settings.*field = on; })) {
        m_context.endPageStatus();
        return;
    }
    m_context.setStatusMessage(on ? onText : offText);
}
