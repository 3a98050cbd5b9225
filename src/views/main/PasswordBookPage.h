#pragma once

#include "core/state/ArchivePasswordBookKind.h"
#include "views/main/PasswordBookAddSheet.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>
#include <memory>

class EmptyState;
class PasswordBookFilePanels;
class PasswordBookFilterProxy;
class PasswordBookTableDelegate;
class PasswordBookTableModel;
class PasswordBookViewModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class TasksViewModel;

// The password book page: one of the two books as a searchable table whose names and passwords are
// edited in place, the add sheet, delete, import and export, applying a password to the operation
// pages, and the two password book switches, all over its PasswordBookViewModel. The page itself
// only asks the file panels which file to import or export.
class PasswordBookPage : public QWidget {
    Q_OBJECT

public:
    PasswordBookPage(PasswordBookViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);
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

    void importPasswordBook(ArchivePasswordBookKind kind);
    void exportPasswordBook(ArchivePasswordBookKind kind);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPickerCard();
    QWidget* buildBookCard();
    QWidget* buildTable();
    void connectTable();
    QWidget* buildSwitches();
    void connectModel();

    void syncEntries();
    void syncKind();
    void syncSearch();
    void syncReveal();
    void syncSelection();
    void syncSheet();
    void syncSettings();
    void syncCounts();

    QUuid entryIDAt(const QModelIndex& index) const;

    PasswordBookViewModel& m_model;
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
