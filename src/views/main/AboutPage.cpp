#include "views/main/AboutPage.h"

#include "viewmodels/ReleaseInfo.h"
#include "views/kit/Card.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPushButton* link(const QString& title, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 0; }")
                              .arg(Theme::color(Theme::Colour::accent).name()));
    return button;
}

}  // namespace

QString AboutPage::defaultWebsite() { return ReleaseInfo::websiteAddress(); }

AboutPage::AboutPage(WorkbenchStore& store, UpdateChecker::Configuration update, QString website,
                     QWidget* parent)
    : QWidget(parent), m_checker(store, update, this), m_websiteAddress(std::move(website)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(72, 0, 72, 34);
    column->addWidget(buildCard(update.currentVersion));
    column->addStretch();

    connect(m_check, &QPushButton::clicked, &m_checker, &UpdateChecker::checkForUpdates);
    connect(m_website, &QPushButton::clicked, this, [this] { openSite({}); });
    connect(m_terms, &QPushButton::clicked, this, [this] { openSite(QStringLiteral("/terms")); });
    connect(m_privacy, &QPushButton::clicked, this, [this] { openSite(QStringLiteral("/privacy")); });
    connect(&m_checker, &UpdateChecker::isCheckingForUpdatesChanged, this, &AboutPage::syncChecking);
    syncChecking();
}

QWidget* AboutPage::buildCard(const QString& version) {
    auto* card = new Card(this);
    auto* content = new QVBoxLayout;
    content->setContentsMargins(0, 20, 0, 20);
    content->setSpacing(24);
    auto* icon = new QLabel(card);
    icon->setPixmap(Icons::applicationIcon().pixmap(150, 150));
    icon->setFixedSize(150, 150);
    content->addWidget(icon, 0, Qt::AlignHCenter);
    QLabel* name = Labels::make(QStringLiteral("velmora"), Theme::TextStyle::title, QFont::Bold,
                                Theme::Colour::primary, card);
    QFont nameFont = name->font();
    nameFont.setPixelSize(40);
    name->setFont(nameFont);
    content->addWidget(name, 0, Qt::AlignHCenter);
    content->addWidget(
        Labels::make(QStringLiteral(u"版本 ") + (version.isEmpty() ? QStringLiteral("1.0.0") : version),
                     Theme::TextStyle::title3, Theme::Colour::secondary, card),
        0, Qt::AlignHCenter);
    content->addWidget(Labels::make(QStringLiteral(u"专业、简洁、高效的解压缩工具"), Theme::TextStyle::title3,
                                    Theme::Colour::secondary, card),
                       0, Qt::AlignHCenter);
    content->addWidget(Labels::divider(Qt::Horizontal, card));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(28);
    buttons->addStretch();
    m_check = Labels::prominentButton(QStringLiteral(u"检查更新"), QStringLiteral("check-circle"), card);
    m_check->setIcon({});
    m_website = Labels::button(QStringLiteral(u"访问官网"), QStringLiteral("external-link"), card);
    buttons->addWidget(m_check);
    buttons->addWidget(m_website);
    buttons->addStretch();
    content->addLayout(buttons);
    content->addWidget(Labels::divider(Qt::Horizontal, card));

    auto* links = new QHBoxLayout;
    links->setSpacing(26);
    links->addStretch();
    m_terms = link(QStringLiteral(u"用户协议"), card);
    m_privacy = link(QStringLiteral(u"隐私政策"), card);
    links->addWidget(m_terms);
    links->addWidget(
        Labels::make(QStringLiteral("|"), Theme::TextStyle::body, Theme::Colour::secondary, card));
    links->addWidget(m_privacy);
    links->addStretch();
    content->addLayout(links);
    card->contentLayout()->addLayout(content);
    return card;
}

void AboutPage::syncChecking() {
    const bool checking = m_checker.isCheckingForUpdates();
    m_check->setEnabled(!checking);
    m_check->setText(checking ? QStringLiteral(u"检查中...") : QStringLiteral(u"检查更新"));
}

void AboutPage::openSite(const QString& path) const {
    QUrl url(m_websiteAddress + path, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) return;
    QDesktopServices::openUrl(url);
}
