#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// What an archive browser window's model asks of the desktop. The dialogs answer later (they are
// opened, never run modally); the window supplies them, tests script them.
class ArchiveBrowserPlatform {
public:
    virtual ~ArchiveBrowserPlatform() = default;

    // Files and folders to add to the archive, chosen starting in its folder; `chosen` gets none when
    // the user cancels.
    virtual void chooseItemsToAdd(const QString& archiveURL,
                                  std::function<void(const QStringList& chosen)> chosen) = 0;
    // A warning with the buttons "删除" and "取消"; `answered` gets true for "删除".
    virtual void confirmDeletion(const QString& message, const QString& informativeText,
                                 std::function<void(bool confirmed)> answered) = 0;
    // A warning with the buttons "替换" and "取消"; `answered` gets true for "替换".
    virtual void confirmReplacement(const QString& message, std::function<void(bool confirmed)> answered) = 0;
    // A warning with the buttons "关闭" and "取消"; `answered` gets true for "关闭".
    virtual void confirmClosing(const QString& message, std::function<void(bool confirmed)> answered) = 0;
    virtual void revealInFileManager(const QStringList& paths) = 0;
    virtual int activeProcessorCount() const = 0;
};
