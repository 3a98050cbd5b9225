#pragma once

#include "core/state/ArchiveActivityKind.h"
#include "core/state/ArchiveActivityStatus.h"
#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/ArchivePasswordBookKind.h"

#include "viewmodels/Publish.h"
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

// The main window's own view state, shared by its pages: filters, searches, page options and open
// panels. It lives as long as the window and is never saved, so switching pages keeps it. Every
// property has a getter, a setter that emits only on a change, and a change signal; every change
// also emits changed().
class ContentViewState : public QObject {
    Q_OBJECT

public:
    explicit ContentViewState(QObject* parent = nullptr);

    // Whether the notification panel of the top bar is open.
    bool isShowingNotifications() const { return m_isShowingNotifications; }
    void setIsShowingNotifications(bool value) {
        publish(this, m_isShowingNotifications, value, &ContentViewState::isShowingNotificationsChanged);
    }
    // History page: the kind shown; nothing shows all kinds.
    const std::optional<ArchiveActivityKind>& historyFilter() const { return m_historyFilter; }
    void setHistoryFilter(const std::optional<ArchiveActivityKind>& value) {
        publish(this, m_historyFilter, value, &ContentViewState::historyFilterChanged);
    }
    const QString& historySearch() const { return m_historySearch; }
    void setHistorySearch(const QString& value) {
        publish(this, m_historySearch, value, &ContentViewState::historySearchChanged);
    }
    // Tasks page: the status shown; nothing shows all.
    const std::optional<ArchiveActivityStatus>& taskFilter() const { return m_taskFilter; }
    void setTaskFilter(const std::optional<ArchiveActivityStatus>& value) {
        publish(this, m_taskFilter, value, &ContentViewState::taskFilterChanged);
    }
    // Whether the sidebar shows the two split-archive pages.
    bool isSplitArchiveGroupExpanded() const { return m_isSplitArchiveGroupExpanded; }
    void setIsSplitArchiveGroupExpanded(bool value) {
        publish(this, m_isSplitArchiveGroupExpanded, value, &ContentViewState::isSplitArchiveGroupExpandedChanged);
    }
    // Split-extract page options.
    bool shouldVerifySplitArchiveBeforeExtract() const { return m_shouldVerifySplitArchiveBeforeExtract; }
    void setShouldVerifySplitArchiveBeforeExtract(bool value) {
        publish(this, m_shouldVerifySplitArchiveBeforeExtract, value,
                &ContentViewState::shouldVerifySplitArchiveBeforeExtractChanged);
    }
    bool shouldNotifyAfterSplitArchiveExtract() const { return m_shouldNotifyAfterSplitArchiveExtract; }
    void setShouldNotifyAfterSplitArchiveExtract(bool value) {
        publish(this, m_shouldNotifyAfterSplitArchiveExtract, value,
                &ContentViewState::shouldNotifyAfterSplitArchiveExtractChanged);
    }
    bool shouldOpenSplitArchiveDestinationAfterExtract() const {
        return m_shouldOpenSplitArchiveDestinationAfterExtract;
    }
    void setShouldOpenSplitArchiveDestinationAfterExtract(bool value) {
        publish(this, m_shouldOpenSplitArchiveDestinationAfterExtract, value,
                &ContentViewState::shouldOpenSplitArchiveDestinationAfterExtractChanged);
    }
    // Split-compress settings card: the password shown in clear.
    bool showSplitCompressionPassword() const { return m_showSplitCompressionPassword; }
    void setShowSplitCompressionPassword(bool value) {
        publish(this, m_showSplitCompressionPassword, value,
                &ContentViewState::showSplitCompressionPasswordChanged);
    }
    // Password book page.
    ArchivePasswordBookKind passwordBookKind() const { return m_passwordBookKind; }
    void setPasswordBookKind(ArchivePasswordBookKind value) {
        publish(this, m_passwordBookKind, value, &ContentViewState::passwordBookKindChanged);
    }
    // Every entry of both books in display order; the page filters it.
    const QList<ArchivePasswordBookEntry>& passwordBookEntries() const { return m_passwordBookEntries; }
    void setPasswordBookEntries(const QList<ArchivePasswordBookEntry>& value) {
        publish(this, m_passwordBookEntries, value, &ContentViewState::passwordBookEntriesChanged);
    }
    const QString& passwordBookSearch() const { return m_passwordBookSearch; }
    void setPasswordBookSearch(const QString& value) {
        publish(this, m_passwordBookSearch, value, &ContentViewState::passwordBookSearchChanged);
    }
    const std::optional<QUuid>& selectedPasswordBookEntryID() const { return m_selectedPasswordBookEntryID; }
    void setSelectedPasswordBookEntryID(const std::optional<QUuid>& value) {
        publish(this, m_selectedPasswordBookEntryID, value, &ContentViewState::selectedPasswordBookEntryIDChanged);
    }
    // While true the add-password sheet is shown.
    bool isAddingPasswordBookEntry() const { return m_isAddingPasswordBookEntry; }
    void setIsAddingPasswordBookEntry(bool value) {
        publish(this, m_isAddingPasswordBookEntry, value, &ContentViewState::isAddingPasswordBookEntryChanged);
    }
    const QString& newPasswordBookLabel() const { return m_newPasswordBookLabel; }
    void setNewPasswordBookLabel(const QString& value) {
        publish(this, m_newPasswordBookLabel, value, &ContentViewState::newPasswordBookLabelChanged);
    }
    const QString& newPasswordBookPassword() const { return m_newPasswordBookPassword; }
    void setNewPasswordBookPassword(const QString& value) {
        publish(this, m_newPasswordBookPassword, value, &ContentViewState::newPasswordBookPasswordChanged);
    }
    bool revealPasswordBookPasswords() const { return m_revealPasswordBookPasswords; }
    void setRevealPasswordBookPasswords(bool value) {
        publish(this, m_revealPasswordBookPasswords, value, &ContentViewState::revealPasswordBookPasswordsChanged);
    }
    // About page.
    bool isCheckingForUpdates() const { return m_isCheckingForUpdates; }
    void setIsCheckingForUpdates(bool value) {
        publish(this, m_isCheckingForUpdates, value, &ContentViewState::isCheckingForUpdatesChanged);
    }

Q_SIGNALS:
    void changed();
    void isShowingNotificationsChanged();
    void historyFilterChanged();
    void historySearchChanged();
    void taskFilterChanged();
    void isSplitArchiveGroupExpandedChanged();
    void shouldVerifySplitArchiveBeforeExtractChanged();
    void shouldNotifyAfterSplitArchiveExtractChanged();
    void shouldOpenSplitArchiveDestinationAfterExtractChanged();
    void showSplitCompressionPasswordChanged();
    void passwordBookKindChanged();
    void passwordBookEntriesChanged();
    void passwordBookSearchChanged();
    void selectedPasswordBookEntryIDChanged();
    void isAddingPasswordBookEntryChanged();
    void newPasswordBookLabelChanged();
    void newPasswordBookPasswordChanged();
    void revealPasswordBookPasswordsChanged();
    void isCheckingForUpdatesChanged();

private:

    bool m_isShowingNotifications = false;
    std::optional<ArchiveActivityKind> m_historyFilter = std::nullopt;
    QString m_historySearch;
    std::optional<ArchiveActivityStatus> m_taskFilter = std::nullopt;
    bool m_isSplitArchiveGroupExpanded = false;
    bool m_shouldVerifySplitArchiveBeforeExtract = true;
    bool m_shouldNotifyAfterSplitArchiveExtract = true;
    bool m_shouldOpenSplitArchiveDestinationAfterExtract = true;
    bool m_showSplitCompressionPassword = false;
    ArchivePasswordBookKind m_passwordBookKind = ArchivePasswordBookKind::extraction;
    QList<ArchivePasswordBookEntry> m_passwordBookEntries;
    QString m_passwordBookSearch;
    std::optional<QUuid> m_selectedPasswordBookEntryID = std::nullopt;
    bool m_isAddingPasswordBookEntry = false;
    QString m_newPasswordBookLabel;
    QString m_newPasswordBookPassword;
    bool m_revealPasswordBookPasswords = false;
    bool m_isCheckingForUpdates = false;
};
