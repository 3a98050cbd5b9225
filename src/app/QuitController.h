#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// When velmora ends at the user's word. Ctrl+Q quits from every velmora window, and so does the
// tray's "退出", each asking first while work is still running. Where velmora does not keep running
// without windows (no tray seen all session, no login start), nothing would be left to reach it by once
// its windows are gone: closing the last window quits, asking the same way. Windows are watched through an application event filter, so showing and hiding
// them needs nobody's help. The decision is `quitRequested`; whoever runs the event loop ends it.
class QuitController : public QObject {
    Q_OBJECT

public:
    struct Hooks {
        // A tray has been seen (it comes back after a panel restart), or velmora started at login.
        std::function<bool()> keepsRunningWithoutWindows;
        // Work that quitting would stop.
        std::function<bool()> isWorkRunning;
        // The window to ask from when the last one closed while work runs.
        std::function<QWidget*()> revealMainWindow;
    };

    explicit QuitController(Hooks hooks, QObject* parent = nullptr);
    ~QuitController() override;

    // The main window's close button: false when the window is to stay open (a question is asked,
    // or quitting was requested), true when it is only to hide.
    bool mainWindowMayHide(QWidget* mainWindow);

    // Ctrl+Q, the tray's "退出" and the last window closed when nothing keeps velmora: quits at once, or asks over
    // `from` (over the main window, shown again, when `from` is not shown) while work runs.
    void requestQuit(QWidget* from);

    // The open question, while one is asked.
    QMessageBox* confirmation() const { return m_confirmation; }

Q_SIGNALS:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool isCountedWindow(const QWidget* widget);
    static bool anyWindowVisible(const QWidget* except = nullptr);
    void quitUnlessWindowsRemain();

    Hooks m_hooks;
    QPointer<QMessageBox> m_confirmation;
};
