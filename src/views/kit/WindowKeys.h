#pragma once

#include <QWidget>
#include <functional>

// The keys every velmora window answers while it is the active window: Escape and Ctrl+W close it
// (through its own close handler, which asks, as the window manager's close does, while work runs),
// and Ctrl+, opens the settings page, as the tray menu shows.
namespace WindowKeys {

// `openSettings` is what Ctrl+, does in this window; without one, the application's opener.
void install(QWidget* window, std::function<void()> openSettings = {});

// Set once by the application: shows the main window on its settings page.
void setSettingsOpener(std::function<void()> opener);

}  // namespace WindowKeys
