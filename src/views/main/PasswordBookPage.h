#pragma once

#include "core/state/AppSettings.h"
#include "core/state/ArchivePasswordBookEntry.h"
#include "views/main/PasswordBookAddSheet.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class ArchivePasswordBookStore;
class ContentViewState;
class EmptyState;
class PasswordBookFilePanels;
class PasswordBookFilterProxy;
class PasswordBookTableDelegate;
class PasswordBookTableModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class SettingsStore;
class WorkbenchModels;
class WorkbenchStore;
enum class PasswordBookEditableField;

// The password book page: one of the two books as a searchable table whose names and passwords are
// edited in place, the add sheet, delete, import and export, applying a password to the operation
// pages, and the two password book switches. The book shown, the search, the selected entry (kept by
// id, so it survives a search that hides it) and the reveal switch live in the window's view state.
class PasswordBookPage : public QWidget {
    Q_OBJECT

public:
    PasswordBookPage(WorkbenchModels& models, WorkbenchStore& workbenchStore, SettingsStore& settingsStore,
                     ArchivePasswordBookStore& passwordBookStore, ContentViewState& state,
                     QWidget* parent = nullptr);
    ~PasswordBookPage() override;

    // Tests answer the file panels; the page keeps the given panels.
    void setFilePanels(std::unique_ptr<PasswordBookFilePanels> panels);

    QTableView* table() const { return m_table; }
    PasswordBookTableDelegate* delegate() const { return m_delegate; }
    QLabel* countLabel() const { return m_count; }
    // What the page says about a book that could not be read whole; hidden for a sound book.
    QLabel* conditionLabel() const { return m_condition; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* importButton() const { return m_import; }
    QPushButton* revealButton() const { return m_reveal; }
    QLineEdit* searchField() const { return m_search; }
    // The open add sheet, if any.
    PasswordBookAddSheet* addSheet() const { return m_sheet; }
    // Whether the table's empty state is shown instead of the rows.
    bool showsEmptyState() const;

    void removeSelectedPasswordBookEntry();
    void importPasswordBook(ArchivePasswordBookKind kind);
    void exportPasswordBook(ArchivePasswordBookKind kind);
    void applyPasswordBookEntry(const ArchivePasswordBookEntry& entry);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPickerCard();
    QWidget* buildBookCard();
    QWidget* buildTable();
    void connectTable();
    QWidget* buildSwitches();
    void connectState();

    void reloadEntries();
    void syncEntries();
    void syncKind();
    void syncSearch();
    void syncReveal();
    void syncSelection();
    void syncSheet();
    void syncSettings();
    void syncCounts();

    void updatePasswordBookEntry(const QUuid& entryID, PasswordBookEditableField field, const QString& value);
    void saveNewPasswordBookEntry();
    void showSaveFailure(const QString& reason);
    void setSwitch(bool AppSettings::*field, bool on, const QString& onText, const QString& offText);
    QUuid entryIDAt(const QModelIndex& index) const;

    WorkbenchModels& m_models;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_store;
    ContentViewState& m_state;
    std::unique_ptr<PasswordBookFilePanels> m_panels;
    PasswordBookTableModel* m_tableModel;
    PasswordBookFilterProxy* m_proxy;
    PasswordBookTableDelegate* m_delegate;
    QPushButton* m_extractionBook = nullptr;
    QPushButton* m_compressionBook = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_reveal = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_condition = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_import = nullptr;
    QPushButton* m_export = nullptr;
    QStackedWidget* m_tableStack = nullptr;
    QTableView* m_table = nullptr;
    EmptyState* m_empty = nullptr;
    QCheckBox* m_autoSave = nullptr;
    QCheckBox* m_autoTry = nullptr;
    QPointer<PasswordBookAddSheet> m_sheet;
};
