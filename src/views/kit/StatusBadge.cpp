#include "views/kit/StatusBadge.h"

#include "views/kit/Theme.h"

#include <QPainter>

namespace {
constexpr int kHorizontalPadding = 9;
constexpr int kVerticalPadding = 4;
}  // namespace

StatusBadge::StatusBadge(ArchiveActivityStatus status, QWidget* parent) : QWidget(parent), m_status(status) {
    setFont(Theme::font(Theme::TextStyle::caption, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusBadge::setStatus(ArchiveActivityStatus status) {
    if (status == m_status) return;
    m_status = status;
    updateGeometry();
    update();
}

QString StatusBadge::text() const { return ArchiveActivityStatuses::title(m_status); }

QSize StatusBadge::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * kHorizontalPadding,
            metrics.height() + 2 * kVerticalPadding};
}

void StatusBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Theme::Colour colour = Theme::statusColour(m_status);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::color(colour, 0.12));
    const qreal radius = height() / 2.0;
    painter.drawRoundedRect(rect(), radius, radius);
    painter.setPen(Theme::color(colour));
    painter.drawText(rect(), Qt::AlignCenter, text());
}
