#include "views/kit/SidebarButton.h"

#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int kIconSize = 16;
constexpr int kIconGap = 10;
constexpr int kChevronSize = 10;
}  // namespace

SidebarButton::SidebarButton(const QString& title, const QString& iconName, Variant variant, QWidget* parent)
    : QAbstractButton(parent), m_iconName(iconName), m_variant(variant) {
    setText(title);
    setCursor(Qt::PointingHandCursor);
    setFont(variant == Variant::child ? Theme::font(Theme::TextStyle::subheadline, QFont::DemiBold)
                                      : Theme::font(Theme::TextStyle::headline));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SidebarButton::setSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    update();
}

void SidebarButton::setExpanded(bool expanded) {
    if (expanded == m_expanded) return;
    m_expanded = expanded;
    update();
}

void SidebarButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() & ~Qt::KeypadModifier) return QAbstractButton::keyPressEvent(event);
    click();
}

QMargins SidebarButton::padding() const {
    return m_variant == Variant::child ? QMargins(14, 8, 14, 8) : QMargins(16, 10, 16, 10);
}

QSize SidebarButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const QMargins margins = padding();
    const int content = std::max(metrics.height(), kIconSize);
    return {margins.left() + kIconSize + kIconGap + metrics.horizontalAdvance(text()) + margins.right(),
            margins.top() + content + margins.bottom()};
}

void SidebarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool selected = m_selected;
    if (selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::color(Theme::Colour::accent, 0.12));
        painter.drawRoundedRect(rect(), 8, 8);
    }
    const double restingOpacity = m_variant == Variant::child ? 0.68 : 0.72;
    const QColor ink =
        selected ? Theme::color(Theme::Colour::accent) : Theme::color(Theme::Colour::primary, restingOpacity);
    const QRect content = rect().marginsRemoved(padding());
    painter.drawPixmap(content.left() + (m_variant == Variant::groupHeader ? 2 : 0),
                       content.center().y() - kIconSize / 2 + 1, Icons::pixmap(m_iconName, kIconSize, ink));
    painter.setPen(ink);
    const int textLeft = content.left() + kIconSize + kIconGap + (m_variant == Variant::groupHeader ? 4 : 0);
    painter.drawText(QRect(textLeft, content.top(), content.right() - textLeft, content.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());
    if (m_variant != Variant::groupHeader) return;
    const QString chevron = m_expanded ? QStringLiteral("chevron-down") : QStringLiteral("chevron-right");
    painter.drawPixmap(content.right() - kChevronSize, content.center().y() - kChevronSize / 2 + 1,
                       Icons::pixmap(chevron, kChevronSize, Theme::color(Theme::Colour::secondary)));
}
