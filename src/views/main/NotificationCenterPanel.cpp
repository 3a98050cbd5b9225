#include "views/main/NotificationCenterPanel.h"

#include "viewmodels/DateFormattingHelper.h"
#include "viewmodels/NotificationsViewModel.h"
#include "views/kit/Card.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/Labels.h"
#include "views/kit/ScrollingList.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kShownLimit = 40;
const QString kRowName = QStringLiteral("notificationRow");

// The unread mark; a read item keeps its space so the titles line up.
class UnreadDot : public QWidget {
public:
    UnreadDot(bool unread, QWidget* parent) : QWidget(parent), m_unread(unread) { setFixedSize(8, 8); }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_unread) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::color(Theme::Colour::red));
        painter.drawEllipse(rect());
    }

private:
    bool m_unread;
};

QWidget* emptyPlaceholder(QWidget* parent) {
    auto* placeholder = new QWidget(parent);
    placeholder->setMinimumHeight(240);
    auto* layout = new QVBoxLayout(placeholder);
    layout->setSpacing(10);
    layout->addStretch();
    layout->addWidget(Labels::icon(QStringLiteral("bell"), 30, Theme::color(Theme::Colour::secondary)), 0,
                      Qt::AlignHCenter);
    layout->addWidget(
        Labels::make(QStringLiteral(u"暂无通知"), Theme::TextStyle::body, Theme::Colour::secondary), 0,
        Qt::AlignHCenter);
    layout->addStretch();
    return placeholder;
}

}  // namespace

NotificationCenterPanel::NotificationCenterPanel(NotificationsViewModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_markAllRead(new QPushButton(QStringLiteral(u"全部已读"), this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(14);
    auto* header = new QHBoxLayout;
    header->addWidget(Labels::make(QStringLiteral(u"通知中心"), Theme::TextStyle::title2, QFont::Bold));
    header->addStretch();
    header->addWidget(m_markAllRead);
    column->addLayout(header);
    column->addWidget(Labels::divider(Qt::Horizontal, this));

    const ScrollingList::Parts list = ScrollingList::make(this);
    m_rows = list.rows;
    m_rows->setSpacing(12);
    column->addWidget(list.area, 1);

    connect(m_markAllRead, &QPushButton::clicked, &m_model, &NotificationsViewModel::markAllRead);
    connect(&m_model, &NotificationsViewModel::notificationsChanged, this, &NotificationCenterPanel::rebuild);
    rebuild();
}

int NotificationCenterPanel::rowCount() const { return int(findChildren<QWidget*>(kRowName).size()); }

void NotificationCenterPanel::rebuild() {
    QWidget* list = m_rows->parentWidget();
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<AppNotificationItem>& items = m_model.notifications();
    if (items.isEmpty()) {
        m_rows->addWidget(emptyPlaceholder(list));
    }
    for (qsizetype index = 0; index < std::min(items.size(), kShownLimit); ++index) {
        m_rows->addWidget(notificationRow(items.at(index)));
    }
    m_rows->addStretch();
}

QWidget* NotificationCenterPanel::notificationRow(const AppNotificationItem& item) {
    auto* row = new Card(m_rows->parentWidget());
    row->setObjectName(kRowName);
    row->setContentMargin(12);
    row->setSpacing(6);
    auto* first = new QHBoxLayout;
    first->setSpacing(8);
    first->addWidget(new UnreadDot(!item.isRead, row));
    auto* title = new ElidedLabel(item.title, row);
    title->setFont(Theme::font(Theme::TextStyle::headline));
    first->addWidget(title, 1);
    first->addWidget(Labels::make(DateFormattingHelper::dateTime(item.createdAt), Theme::TextStyle::caption,
                                  Theme::Colour::secondary, row));
    row->contentLayout()->addLayout(first);
    auto* message = new ElidedLabel(item.message, row);
    message->setFont(Theme::font(Theme::TextStyle::callout));
    message->setColor(Theme::color(Theme::Colour::secondary));
    message->setMaximumLines(3);
    message->setElideMode(Qt::ElideRight);
    row->contentLayout()->addWidget(message);
    return row;
}
