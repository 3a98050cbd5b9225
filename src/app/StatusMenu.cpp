#include "app/StatusMenu.h"

#include "views/kit/Icons.h"

#include <QMenu>
#include <QSystemTrayIcon>

StatusMenu::StatusMenu(StatusText statusText, QObject* parent)
    : QObject(parent),
      m_statusText(std::move(statusText)),
      m_menu(new QMenu),
      m_trayIcon(new QSystemTrayIcon(Icons::applicationIcon(), this)) {
    addItem(QStringLiteral(u"打开设置"), &StatusMenu::openSettingsRequested, QStringLiteral("Ctrl+,"));
    addItem(QStringLiteral(u"选择压缩包预览..."), &StatusMenu::chooseArchivesRequested);
    addItem(QStringLiteral(u"选择文件压缩为 ZIP..."), &StatusMenu::chooseFilesRequested);
    m_menu->addSeparator();
    m_statusLine = m_menu->addAction(QString());
    m_statusLine->setEnabled(false);
    m_menu->addSeparator();
    addItem(QStringLiteral(u"退出"), &StatusMenu::quitRequested, QStringLiteral("Ctrl+Q"));
    connect(m_menu, &QMenu::aboutToShow, this, &StatusMenu::refreshStatusLine);
    refreshStatusLine();

    m_trayIcon->setToolTip(QStringLiteral("velmora"));
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) Q_EMIT showMainWindowRequested();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) m_trayIcon->show();
}

StatusMenu::~StatusMenu() { delete m_menu; }

void StatusMenu::refreshStatusLine() { m_statusLine->setText(m_statusText()); }

QAction* StatusMenu::addItem(const QString& title, void (StatusMenu::*signal)(), const QString& shortcut) {
    QAction* action = m_menu->addAction(title);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    connect(action, &QAction::triggered, this, signal);
    return action;
}
