#pragma once

#include "core/state/AppSettings.h"
#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/ArchivePasswordBookKind.h"
#include "viewmodels/PasswordBookTableModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

class CompressViewModel;
class ExtractViewModel;
class SplitCompressViewModel;
class WorkbenchContext;

// The password book page: the book shown, a copy of both books as the store last gave them, the
// search, the selected entry (kept by id, so it survives a search that hides it), the add sheet's
// fields and the reveal switch; editing, adding, deleting, importing and exporting through the store,
// and applying a password to the operation pages' password fields. Outcomes are the context's status
// line, failures its alert, which ends the status line of an earlier outcome.
class PasswordBookViewModel : public QObject {
    Q_OBJECT

public:
    PasswordBookViewModel(WorkbenchContext& context, CompressViewModel& compress, ExtractViewModel& extract,
                          SplitCompressViewModel& splitCompress, QObject* parent = nullptr);

    WorkbenchContext& context() const { return m_context; }

    // Another book drops the selection and reads the books afresh.
    ArchivePasswordBookKind passwordBookKind() const { return m_passwordBookKind; }
    void setPasswordBookKind(ArchivePasswordBookKind value);
    // Every entry of both books in display order; the page filters it.
    const QList<ArchivePasswordBookEntry>& passwordBookEntries() const { return m_passwordBookEntries; }
    // What the page says about a stored book that could not be read whole; empty for a sound one.
    const QString& passwordBookCondition() const { return m_passwordBookCondition; }
    const QString& passwordBookSearch() const { return m_passwordBookSearch; }
    void setPasswordBookSearch(const QString& value);
    const std::optional<QUuid>& selectedPasswordBookEntryID() const { return m_selectedPasswordBookEntryID; }
    void setSelectedPasswordBookEntryID(const std::optional<QUuid>& value);
    // While true the add-password sheet is shown.
    bool isAddingPasswordBookEntry() const { return m_isAddingPasswordBookEntry; }
    void setIsAddingPasswordBookEntry(bool value);
    const QString& newPasswordBookLabel() const { return m_newPasswordBookLabel; }
    void setNewPasswordBookLabel(const QString& value);
    const QString& newPasswordBookPassword() const { return m_newPasswordBookPassword; }
    void setNewPasswordBookPassword(const QString& value);
    bool revealPasswordBookPasswords() const { return m_revealPasswordBookPasswords; }
    void setRevealPasswordBookPasswords(bool value);
    // "批量导出" needs a stored entry in the shown book.
    bool canExport() const;

    // Reads both books and the book's condition from the store.
    void reloadEntries();
    // Opens the add sheet with empty fields.
    void beginAddingPasswordBookEntry();
    void saveNewPasswordBookEntry();
    // The store keeps what it accepts (trimmed, a blank password refused, duplicates merged); the
    // caller reloads once its editor has closed.
    void updatePasswordBookEntry(const QUuid& entryID, PasswordBookEditableField field, const QString& value);
    void removeSelectedPasswordBookEntry();
    void importPasswordBook(ArchivePasswordBookKind kind, const QString& path);
    void exportPasswordBook(ArchivePasswordBookKind kind, const QString& path);
    void applyPasswordBookEntry(const QUuid& entryID);
    void setAutoSaveEnabled(bool on);
    void setAutoTryEnabled(bool on);

Q_SIGNALS:
    void changed();
    void passwordBookKindChanged();
    void passwordBookEntriesChanged();
    void passwordBookSearchChanged();
    void selectedPasswordBookEntryIDChanged();
    void isAddingPasswordBookEntryChanged();
    void newPasswordBookFieldsChanged();
    void revealPasswordBookPasswordsChanged();

private:
    void showFailure(const QString& text);
    void showSaveFailure(const QString& reason);
    void setSwitch(bool AppSettings::*field, bool on, const QString& onText, const QString& offText);

    WorkbenchContext& m_context;
    CompressViewModel& m_compress;
    ExtractViewModel& m_extract;
    SplitCompressViewModel& m_splitCompress;

    ArchivePasswordBookKind m_passwordBookKind = ArchivePasswordBookKind::extraction;
    QList<ArchivePasswordBookEntry> m_passwordBookEntries;
    QString m_passwordBookCondition;
    QString m_passwordBookSearch;
    std::optional<QUuid> m_selectedPasswordBookEntryID;
    bool m_isAddingPasswordBookEntry = false;
    QString m_newPasswordBookLabel;
    QString m_newPasswordBookPassword;
    bool m_revealPasswordBookPasswords = false;
};
