#include "views/browser/ArchiveBrowserWindowPlatform.h"

#include "views/kit/ConfirmationAlert.h"
#include "views/kit/FileDialogs.h"

#include <QThread>

void ArchiveBrowserWindowPlatform::chooseItemsToAdd(const QString& archiveURL,
                                                    std::function<void(const QStringList&)> chosen) {
    if (!m_window) return;
    FileDialogs::openFileDialog({.choosesFiles = true,
                                 .choosesFolders = true,
                                 .multipleSelection = true,
                                 .title = QStringLiteral(u"选择要添加到压缩包的文件"),
                                 .purpose = QStringLiteral("sources"),
                                 .currentItem = archiveURL},
                                m_window, std::move(chosen));
}

void ArchiveBrowserWindowPlatform::confirmDeletion(const QString& message, const QString& informativeText,
                                                   std::function<void(bool)> answered) {
    confirm(message, informativeText, QStringLiteral(u"删除"), std::move(answered));
}

void ArchiveBrowserWindowPlatform::confirmReplacement(const QString& message,
                                                      std::function<void(bool)> answered) {
    confirm(message, QString(), QStringLiteral(u"替换"), std::move(answered));
}

void ArchiveBrowserWindowPlatform::confirmClosing(const QString& message,
                                                  std::function<void(bool)> answered) {
    confirm(message, QString(), QStringLiteral(u"关闭"), std::move(answered));
}

void ArchiveBrowserWindowPlatform::confirm(const QString& message, const QString& informativeText,
                                           const QString& confirmTitle, std::function<void(bool)> answered) {
    if (!m_window) return;
    ConfirmationAlert::open(m_window, message, informativeText, confirmTitle, std::move(answered));
}

int ArchiveBrowserWindowPlatform::activeProcessorCount() const {
    return std::max(1, QThread::idealThreadCount());
}
