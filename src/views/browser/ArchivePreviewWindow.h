#pragma once

#include "views/browser/PasswordSheet.h"
#include "views/kit/Theme.h"

#include <QPointer>
#include <QWidget>

class ArchiveEntryTableModel;
class ArchivePreviewWindowModel;
class PreviewPane;
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
// logic of its own: it shows the model's state and forwards every action to the model.
class ArchivePreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit ArchivePreviewWindow(ArchivePreviewWindowModel& model, QWidget* parent = nullptr);

    QTreeView* table() const { return m_table; }
    ArchiveEntryTableModel* tableModel() const { return m_tableModel; }
    PreviewPane* previewPane() const { return m_previewPane; }
    QLineEdit* passwordField() const { return m_passwordField; }
    PasswordSheet* passwordSheet() const { return m_sheet; }
    QToolButton* commandButton(const QString& title) const;

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
    QToolButton* addCommand(QWidget* parent, const QString& title, const QString& symbol,
                            Theme::Colour colour, void (ArchivePreviewWindowModel::*action)());

    void syncFromModel();
    void syncOutline();
    void syncSelection();
    void syncPasswordPrompt();
    void tableSelectionChanged();

    ArchivePreviewWindowModel& m_model;
    ArchiveEntryTableModel* m_tableModel = nullptr;
    QLabel* m_title = nullptr;
    QList<QToolButton*> m_commands;
    QMenu* m_passwordBookMenu = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_readButton = nullptr;
    QComboBox* m_filter = nullptr;
    QToolButton* m_goUp = nullptr;
    QLabel* m_folderPath = nullptr;
    QStackedWidget* m_tableArea = nullptr;
    QTreeView* m_table = nullptr;
    PreviewPane* m_previewPane = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_counts = nullptr;
    QPointer<PasswordSheet> m_sheet;
};
