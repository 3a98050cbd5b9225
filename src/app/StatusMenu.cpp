#include "app/StatusMenu.h"

#include "views/kit/Icons.h"

#include <QFontMetrics>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

// Wide enough for a short outcome whole; a long one (many names, deep paths) keeps the menu narrow.
constexpr int kStatusLineWidth = 360;

}  // namespace

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
    // The elided line's whole text.
    m_menu->setToolTipsVisible(true);
    m_menu->addSeparator();
    addItem(QStringLiteral(u"退出"), &StatusMenu::quitRequested, QStringLiteral("Ctrl+Q"));
    connect(m_menu, &QMenu::aboutToShow, this, &StatusMenu::refreshStatusLine);
    refreshStatusLine();

    m_trayIcon->setToolTip(QStringLiteral("velmora"));
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) Q_EMIT showMainWindowRequested();
    });
}

StatusMenu::~StatusMenu() { delete m_menu; }

// Qt puts an icon into the tray there is when it is shown, and registers it with the StatusNotifierItem
// watcher there is then; hiding it first makes it start anew with the tray of now.
void StatusMenu::showIcon() {
    m_trayIcon->hide();
    m_trayIcon->show();
}

// One line whatever the outcome says, with the whole text as its tool tip; "&" is shown, not taken for
// a shortcut mark.
void StatusMenu::refreshStatusLine() {
    QString text = m_statusText();
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString shown = m_menu->fontMetrics().elidedText(text, Qt::ElideRight, kStatusLineWidth);
    m_statusLine->setText(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")));
    m_statusLine->setToolTip(text);
}

QAction* StatusMenu::addItem(const QString& title, void (StatusMenu::*signal)(), const QString& shortcut) {
    QAction* action = m_menu->addAction(title);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    connect(action, &QAction::triggered, this, signal);
    return action;
}
