#pragma once

#include "views/browser/PasswordSheet.h"

#include <QPointer>
#include <QWidget>

class ArchiveBrowserCommands;
class ArchiveEntryTableModel;
class ArchivePreviewWindowModel;
class PreviewPane;
class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QTreeView;

// The archive browser's root widget: a tinted toolbar with the archive's path and the commands, the
// entry table beside the preview pane, and a footer with the status line and counts. It holds no
// logic of its own: it shows the model's state and forwards every action to the model, its commands
// through the actions of ArchiveBrowserCommands.
class ArchivePreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit ArchivePreviewWindow(ArchivePreviewWindowModel& model, QWidget* parent = nullptr);

    QTreeView* table() const { return m_table; }
    ArchiveEntryTableModel* tableModel() const { return m_tableModel; }
    PreviewPane* previewPane() const { return m_previewPane; }
    QLineEdit* passwordField() const { return m_passwordField; }
    PasswordSheet* passwordSheet() const { return m_sheet; }
    ArchiveBrowserCommands& commands() const { return *m_commands; }

Q_SIGNALS:
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildToolbar();
    QWidget* buildCommandRow(QWidget* parent);
    void addPasswordControls(QWidget* row, QHBoxLayout& layout);
    void addFilterControls(QWidget* row, QHBoxLayout& layout);
    QWidget* buildContent();
    QWidget* buildNavigationBar(QWidget* parent);
    QWidget* buildTable(QWidget* parent);
    QWidget* buildFooter();
    QToolButton* commandButton(QWidget* parent, QAction* action);

    void syncFromModel();
    void syncOutline();
    void syncSelection();
    void syncPasswordPrompt();
    void tableSelectionChanged();

    ArchivePreviewWindowModel& m_model;
    ArchiveEntryTableModel* m_tableModel = nullptr;
    QLabel* m_title = nullptr;
    ArchiveBrowserCommands* m_commands = nullptr;
    QMenu* m_passwordBookMenu = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_readButton = nullptr;
    QComboBox* m_filter = nullptr;
    QLabel* m_folderPath = nullptr;
    QStackedWidget* m_tableArea = nullptr;
    QTreeView* m_table = nullptr;
    PreviewPane* m_previewPane = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_counts = nullptr;
    QPointer<PasswordSheet> m_sheet;
};
