#include "app/TrayDropView.h"

#include "views/kit/DropIntake.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

using Theme::Colour;

// The panel's translucent body and its hairline outline.
QColor material() { return Theme::color(Colour::windowBackground, 0.97); }
QColor outline() { return Theme::color(Colour::black, 0.08); }

// The connector pointer is 18 wide and 10 high and overlaps the body by this much.
constexpr qreal kPointerHeight = 10;
constexpr qreal kPointerOverlap = 2.5;
constexpr qreal kBodyTop = kPointerHeight - kPointerOverlap;
// The expanded panel's padding and header icon; the close button is centred on that icon's row.
constexpr qreal kExpandedPadding = 20;
constexpr qreal kExpandedIconSize = 32;

QFont panelFont(int pixelSize, QFont::Weight weight) {
    QFont result = Theme::font(Theme::TextStyle::body, weight);
    result.setPixelSize(pixelSize);
    return result;
}

}  // namespace

TrayDropView::TrayDropView(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_closeButton(new QToolButton(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);

    m_closeButton->setIcon(Icons::icon(QStringLiteral("cross"), Theme::color(Colour::secondary)));
    m_closeButton->setIconSize(QSize(15, 15));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setFixedSize(28, 28);
    m_closeButton->hide();
    connect(m_closeButton, &QToolButton::clicked, this, &TrayDropView::closeRequested);
}

void TrayDropView::syncFromModel(const TrayDropModel& model) {
    m_model = model;
    m_closeButton->setVisible(model.isExpanded);
    resizeEvent(nullptr);
    update();
}

void TrayDropView::resizeEvent(QResizeEvent*) {
    const qreal iconMiddle = bodyRect().top() + kExpandedPadding + kExpandedIconSize / 2;
    m_closeButton->move(width() - int(kExpandedPadding) - m_closeButton->width(),
                        qRound(iconMiddle - m_closeButton->height() / 2.0));
}

QStringList TrayDropView::droppedPaths(const QMimeData* data) {
    QStringList paths = DropIntake::localFilePaths(data);
    paths.removeDuplicates();
    return paths;
}

void TrayDropView::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedPaths(event->mimeData()).isEmpty() || !DropIntake::acceptAsCopy(event)) return;
    Q_EMIT targetChanged(true);
}

void TrayDropView::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedPaths(event->mimeData()).isEmpty()) DropIntake::acceptAsCopy(event);
}

void TrayDropView::dragLeaveEvent(QDragLeaveEvent*) { Q_EMIT targetChanged(false); }

void TrayDropView::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty() || !DropIntake::acceptAsCopy(event)) return;
    Q_EMIT filesDropped(paths);
}

void TrayDropView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_model.isExpanded) {
        paintExpanded(painter);
    } else {
        paintCompact(painter);
    }
}

// The pointer stands on the body's top edge, which starts that far below the window's top (or hangs
// from its bottom edge, when it points down). Painted after the body, its fill covers the body's
// outline beneath it and only its two slanted sides are outlined, so body and pointer read as one shape.
void TrayDropView::paintConnectorPointer(QPainter& painter, const QRectF& body) const {
    const qreal middle = width() + m_model.pointerOffsetX;
    const qreal direction = m_model.pointsDown ? 1 : -1;
    const qreal base = (m_model.pointsDown ? body.bottom() : body.top()) - direction * kPointerOverlap;
    QPainterPath sides;
    sides.moveTo(middle - 9, base);
    sides.lineTo(middle, base + direction * kPointerHeight);
    sides.lineTo(middle + 9, base);
    painter.setPen(Qt::NoPen);
    painter.setBrush(material());
    painter.drawPath(sides);
    painter.setPen(QPen(outline(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(sides);
}

void TrayDropView::paintBody(QPainter& painter, const QRectF& rect, qreal radius) const {
    painter.setPen(QPen(outline(), 1));
    painter.setBrush(material());
    painter.drawRoundedRect(rect, radius, radius);
}

// The icon keeps a little padding inside its frame.
void TrayDropView::paintAppIcon(QPainter& painter, const QRectF& rect) const {
    const qreal padding = rect.width() * 0.08;
    Icons::applicationIcon().paint(&painter, rect.adjusted(padding, padding, -padding, -padding).toRect());
}

void TrayDropView::paintTitles(QPainter& painter, const QRectF& rect, const QString& headline,
                               int headlineSize) const {
    const int captionHeight = 15;
    const int headlineHeight = headlineSize + 6;
    const qreal top = rect.center().y() - (captionHeight + 1 + headlineHeight) / 2.0;
    painter.setFont(panelFont(12, QFont::Bold));
    painter.setPen(Theme::color(Colour::secondary));
    painter.drawText(QRectF(rect.left(), top, rect.width(), captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("velmora"));
    painter.setFont(panelFont(headlineSize, QFont::Bold));
    painter.setPen(Theme::color(Colour::primary));
    painter.drawText(QRectF(rect.left(), top + captionHeight + 1, rect.width(), headlineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, headline);
}

// The window less the pointer's room, at the top or at the bottom.
QRectF TrayDropView::bodyRect() const {
    if (m_model.pointsDown) return QRectF(rect()).adjusted(0.5, 0.5, -0.5, -kBodyTop);
    return QRectF(rect()).adjusted(0.5, kBodyTop, -0.5, -0.5);
}

void TrayDropView::paintCompact(QPainter& painter) const {
    const QRectF body = bodyRect();
    paintBody(painter, body, 16);
    paintConnectorPointer(painter, body);
    const QRectF icon(body.left() + 18, body.center().y() - 15, 30, 30);
    paintAppIcon(painter, icon);
    paintTitles(painter,
                QRectF(icon.right() + 12, body.top(), body.right() - icon.right() - 30, body.height()),
                QStringLiteral(u"拖到这自动压缩/解压"), 16);
}

void TrayDropView::paintExpanded(QPainter& painter) const {
    const QRectF body = bodyRect();
    paintBody(painter, body, 20);
    paintConnectorPointer(painter, body);
    const QRectF content =
        body.adjusted(kExpandedPadding, kExpandedPadding, -kExpandedPadding, -kExpandedPadding);
    const QRectF icon(content.left(), content.top(), kExpandedIconSize, kExpandedIconSize);
    paintAppIcon(painter, icon);
    paintTitles(painter, QRectF(icon.right() + 10, content.top() - 8, content.width() - 90, 48),
                QStringLiteral(u"轻松添加文件"), 21);
    paintDropZone(painter, content.adjusted(0, kExpandedIconSize + 14, 0, 0));
}

void TrayDropView::paintDropZone(QPainter& painter, const QRectF& zone) const {
    QPen dashed(Theme::color(Colour::accent), 2);
    dashed.setDashPattern({3.5, 2.5});  // 7 on, 5 off at a width of 2
    painter.setPen(dashed);
    painter.setBrush(Theme::color(Colour::accent, m_model.isTargeted ? 0.18 : 0.10));
    painter.drawRoundedRect(zone.adjusted(1, 1, -1, -1), 16, 16);

    // The symbol above two lines of text, centred as one block.
    const qreal symbolSize = 58;
    const qreal titleHeight = 30;
    const qreal subtitleHeight = 20;
    const qreal top = zone.center().y() - (symbolSize + 14 + titleHeight + 6 + subtitleHeight) / 2;
    painter.drawPixmap(
        QPointF(zone.center().x() - symbolSize / 2, top),
        Icons::pixmap(QStringLiteral("folder-plus"), int(symbolSize), Theme::color(Colour::accent, 0.75)));
    const qreal titleTop = top + symbolSize + 14;
    painter.setFont(panelFont(24, QFont::Bold));
    painter.setPen(Theme::color(Colour::primary));
    painter.drawText(QRectF(zone.left(), titleTop, zone.width(), titleHeight), Qt::AlignCenter,
                     QStringLiteral(u"文件拖到这"));
    painter.setFont(panelFont(15, QFont::DemiBold));
    painter.setPen(Theme::color(Colour::secondary));
    painter.drawText(QRectF(zone.left(), titleTop + titleHeight + 6, zone.width(), subtitleHeight),
                     Qt::AlignCenter, QStringLiteral(u"压缩包自动解压，普通文件自动压缩"));
}
