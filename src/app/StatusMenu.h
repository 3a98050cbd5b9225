#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

// The tray icon and its menu. The menu exists even where the desktop shows no tray (the icon is
// shown by the coordinator whenever a tray appears, see TrayPresence), and its
// status line is read afresh each time the menu opens, so the outcome of the latest outside request
// is always the one shown, on one line of bounded width. The menu only reports what was chosen; the
// coordinator acts.
class StatusMenu : public QObject {
    Q_OBJECT

public:
    using StatusText = std::function<QString()>;

    explicit StatusMenu(StatusText statusText, QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return m_menu; }
    // The drop window hangs below the icon.
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }

    // Puts the icon into the tray that is there now, also after the tray restarted.
    void showIcon();

    // Re-reads the status line; done by the menu itself before it opens.
    void refreshStatusLine();

Q_SIGNALS:
    void openSettingsRequested();
    void chooseArchivesRequested();
    void chooseFilesRequested();
    void quitRequested();
    // A left click on the tray icon.
    void showMainWindowRequested();

private:
    QAction* addItem(const QString& title, void (StatusMenu::*signal)(), const QString& shortcut = {});

    StatusText m_statusText;
    QMenu* m_menu;
    QAction* m_statusLine = nullptr;
    QSystemTrayIcon* m_trayIcon;
};
