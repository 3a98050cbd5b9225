#include "views/kit/BellButton.h"

#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QPainter>

namespace {
// The title2 size.
constexpr int kBellSize = 20;
constexpr int kDotSize = 9;
}  // namespace

BellButton::BellButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void BellButton::setShowsDot(bool shows) {
    if (shows == m_showsDot) return;
    m_showsDot = shows;
    update();
}

void BellButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect bell((width() - kBellSize) / 2, (height() - kBellSize) / 2, kBellSize, kBellSize);
    painter.drawPixmap(bell.topLeft(),
                       Icons::pixmap(QStringLiteral("bell"), kBellSize,
                                     Theme::color(Theme::Colour::primary, isDown() ? 0.5 : 0.8)));
    if (!m_showsDot) return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::color(Theme::Colour::red));
    // Offset 3 px right and up from the bell's top-right corner.
    painter.drawEllipse(QRect(bell.right() - kDotSize + 3 + 1, bell.top() - 3 + 1, kDotSize, kDotSize));
}
