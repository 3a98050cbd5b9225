#include "views/browser/ArchiveBrowserWindowPlatform.h"

#include "views/kit/FileDialogs.h"

#include <QMessageBox>
#include <QPushButton>
#include <QThread>

void ArchiveBrowserWindowPlatform::chooseItemsToAdd(std::function<void(const QStringList&)> chosen) {
    if (!m_window) return;
    FileDialogs::openFileDialog({.choosesFiles = true,
                                 .choosesFolders = true,
                                 .multipleSelection = true,
                                 .title = QStringLiteral(u"选择要添加到压缩包的文件"),
                                 .purpose = QStringLiteral("sources")},
                                m_window, std::move(chosen));
}

void ArchiveBrowserWindowPlatform::confirmDeletion(const QString& message, const QString& informativeText,
                                                   std::function<void(bool)> answered) {
    if (!m_window) return;
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::NoButton, m_window);
    alert->setInformativeText(informativeText);
    QPushButton* remove = alert->addButton(QStringLiteral(u"删除"), QMessageBox::DestructiveRole);
    alert->addButton(QStringLiteral(u"取消"), QMessageBox::RejectRole);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(alert, &QMessageBox::finished, alert,
                     [alert, remove, answered] { answered(alert->clickedButton() == remove); });
    alert->open();
}

int ArchiveBrowserWindowPlatform::activeProcessorCount() const {
    return std::max(1, QThread::idealThreadCount());
}
