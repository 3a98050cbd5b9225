#include "views/main/TopBar.h"

#include "viewmodels/NotificationsViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/BellButton.h"
#include "views/kit/Labels.h"
#include "views/main/ContentViewState.h"
#include "views/main/NotificationCenterPanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr QSize kPanelSize(380, 460);
}

TopBar::TopBar(WorkbenchContext& model, NotificationsViewModel& notifications, ContentViewState& viewState,
               QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_notifications(notifications),
      m_viewState(viewState),
      m_title(Labels::make({}, Theme::TextStyle::largeTitle, QFont::Bold, Theme::Colour::primary, this)),
      m_bell(new BellButton(this)),
      m_popover(new QWidget(this, Qt::Popup)),
      m_panel(new NotificationCenterPanel(notifications, m_popover)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(34, 28, 34, 18);
    row->addWidget(m_title);
    row->addStretch();
    row->addWidget(m_bell);

    // A click on the bell while the panel is open only closes it.
    m_popover->setAttribute(Qt::WA_NoMouseReplay);
    m_popover->setFixedSize(kPanelSize);
    auto* popoverLayout = new QVBoxLayout(m_popover);
    popoverLayout->setContentsMargins(0, 0, 0, 0);
    popoverLayout->addWidget(m_panel);
    m_popover->installEventFilter(this);

    connect(m_bell, &BellButton::clicked, this,
            [this] { m_viewState.setIsShowingNotifications(!m_viewState.isShowingNotifications()); });
    connect(&m_model, &WorkbenchContext::selectedSectionChanged, this, &TopBar::syncFromModel);
    connect(&m_notifications, &NotificationsViewModel::notificationsChanged, this, &TopBar::syncFromModel);
    connect(&m_viewState, &ContentViewState::isShowingNotificationsChanged, this, &TopBar::syncPopover);
    syncFromModel();
}

QString TopBar::title() const { return m_title->text(); }

void TopBar::syncFromModel() {
    m_title->setText(WorkbenchSections::title(m_model.selectedSection()));
    m_bell->setShowsDot(m_notifications.unreadCount() > 0);
}

void TopBar::syncPopover() {
    if (!m_viewState.isShowingNotifications()) {
        m_popover->hide();
        return;
    }
    // Below the bell, its right edge under the bell's.
    const QPoint anchor = m_bell->mapToGlobal(QPoint(m_bell->width(), m_bell->height() + 6));
    m_popover->move(anchor.x() - kPanelSize.width() + 12, anchor.y());
    m_popover->show();
}

bool TopBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_popover && event->type() == QEvent::Hide) m_viewState.setIsShowingNotifications(false);
    return QWidget::eventFilter(watched, event);
}
