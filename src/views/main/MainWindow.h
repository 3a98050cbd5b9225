#pragma once

#include "core/state/WorkbenchSection.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <map>

class ArchivePasswordBookStore;
class ContentViewState;
class QStackedWidget;
class SettingsStore;
class Sidebar;
class TopBar;
class WorkbenchModels;
class WorkbenchStore;

// The main workbench window, fixed at 1320 x 800 where the screen holds it: the sidebar beside a column of the top bar and the
// page of the selected section, each page bound to its own model. It shows the alert of the shared
// context and the compress page's encrypted-7Z question, and owns the view state the pages share.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // How the window frames a page.
    enum class PageFrame {
        // In a vertical scroll area whose indicator floats over the page's right margin.
        scroll,
        // As it is: the page lays itself out and scrolls what it needs to.
        plain,
    };

    MainWindow(WorkbenchModels& models, WorkbenchStore& workbenchStore, SettingsStore& settingsStore,
               ArchivePasswordBookStore& passwordBookStore, QWidget* parent = nullptr);

    static constexpr QSize kSize{1320, 800};

    // Fits the window to the free area of the screen it opens on: where that cannot hold its own size,
    // the window takes the area and can be resized up to its own size, and its pages scroll.
    void fitTo(const QRect& available);

    ContentViewState& viewState() const { return *m_viewState; }
    Sidebar* sidebar() const { return m_sidebar; }
    TopBar* topBar() const { return m_topBar; }
    // The page shown for a section (inside its frame).
    QWidget* page(WorkbenchSection section) const { return m_pages.at(section); }
    QWidget* currentPage() const;
    // The open alert, if any: the general one or the encrypted-7Z question.
    QMessageBox* alert() const { return m_alert; }
    QMessageBox* encryptedSevenZipAlert() const { return m_encryptedSevenZipAlert; }

public Q_SLOTS:
    // The application's request to show the settings page.
    void showSettingsPage();

private:
    void buildPages();
    void addPage(WorkbenchSection section, QWidget* page, PageFrame frame);
    void showSelectedPage();
    void syncAlert();
    void syncEncryptedSevenZipAlert();

    WorkbenchModels& m_models;
    WorkbenchStore& m_workbenchStore;
    SettingsStore& m_settingsStore;
    ArchivePasswordBookStore& m_passwordBookStore;
    ContentViewState* m_viewState;
    Sidebar* m_sidebar;
    TopBar* m_topBar;
    QStackedWidget* m_stack;
    std::map<WorkbenchSection, QWidget*> m_pages;
    QPointer<QMessageBox> m_alert;
    QPointer<QMessageBox> m_encryptedSevenZipAlert;
};
