#pragma once

#include "viewmodels/ArchiveBrowserPlatform.h"

#include <QPointer>
#include <QWidget>

// The desktop side of a browser window: its dialogs open on the window (with open(), never exec())
// and are skipped once the window is gone; reveal goes to the function the application hands in.
class ArchiveBrowserWindowPlatform : public ArchiveBrowserPlatform {
public:
    using Reveal = std::function<void(const QStringList& paths)>;

    explicit ArchiveBrowserWindowPlatform(Reveal reveal) : m_reveal(std::move(reveal)) {}

    // The window its dialogs belong to; held guarded.
    void setWindow(QWidget* window) { m_window = window; }

    void chooseItemsToAdd(const QString& archiveURL, std::function<void(const QStringList&)> chosen) override;
    void confirmDeletion(const QString& message, const QString& informativeText,
                         std::function<void(bool)> answered) override;
    void confirmReplacement(const QString& message, std::function<void(bool)> answered) override;
    void confirmClosing(const QString& message, std::function<void(bool)> answered) override;
    void revealInFileManager(const QStringList& paths) override { m_reveal(paths); }
    int activeProcessorCount() const override;

private:
    // A warning with one button that confirms and "取消"; `answered` gets true for the first.
    void confirm(const QString& message, const QString& informativeText, const QString& confirmTitle,
                 std::function<void(bool)> answered);

    Reveal m_reveal;
    QPointer<QWidget> m_window;
};
