#include "app/MenuBarDropView.h"

#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QToolButton>

namespace {

// Until the panel shares the main window's theme, its few colours live here.
const QColor kMaterial(246, 246, 246, 245);
const QColor kOutline(0, 0, 0, 20);
const QColor kPrimaryText(28, 28, 30);
const QColor kSecondaryText(0, 0, 0, 140);
const QColor kAccent(10, 132, 255);

QFont panelFont(int pixelSize, QFont::Weight weight) {
    QFont result;
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(alpha);
    return color;
}

bool hasLocalFiles(const QMimeData* mime) {
    return mime->hasUrls() && !MenuBarDropView::droppedPaths(mime->urls()).isEmpty();
}

}  // namespace

MenuBarDropView::MenuBarDropView(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_closeButton(new QToolButton(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);

    m_closeButton->setText(QStringLiteral(u"✕"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setFont(panelFont(15, QFont::Normal));
    m_closeButton->setFixedSize(28, 28);
    m_closeButton->hide();
    connect(m_closeButton, &QToolButton::clicked, this, &MenuBarDropView::closeRequested);
}

void MenuBarDropView::syncFromModel(const MenuBarDropModel& model) {
    m_model = model;
    m_closeButton->setVisible(model.isExpanded);
    update();
}

void MenuBarDropView::resizeEvent(QResizeEvent*) {
    m_closeButton->move(width() - 20 - m_closeButton->width(), 24);
}

QStringList MenuBarDropView::droppedPaths(const QList<QUrl>& urls) {
    QStringList paths;
    QSet<QString> seen;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (!seen.contains(path)) {
            seen.insert(path);
            paths << path;
        }
    }
    return paths;
}

void MenuBarDropView::dragEnterEvent(QDragEnterEvent* event) {
    if (!hasLocalFiles(event->mimeData())) return;
    event->acceptProposedAction();
    Q_EMIT targetChanged(true);
}

void MenuBarDropView::dragLeaveEvent(QDragLeaveEvent*) { Q_EMIT targetChanged(false); }

void MenuBarDropView::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedPaths(event->mimeData()->urls());
    event->acceptProposedAction();
    if (!paths.isEmpty()) Q_EMIT filesDropped(paths);
}

void MenuBarDropView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_model.isExpanded) {
        paintExpanded(painter);
    } else {
        paintCompact(painter);
    }
}

// The pointer overlaps the body's top edge, so the body starts a little below the window's top.
void MenuBarDropView::paintConnectorPointer(QPainter& painter, int top) const {
    const qreal middle = width() + m_model.pointerOffsetX;
    QPainterPath triangle;
    triangle.moveTo(middle, top);
    triangle.lineTo(middle + 9, top + 10);
    triangle.lineTo(middle - 9, top + 10);
    triangle.closeSubpath();
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(kMaterial);
    painter.drawPath(triangle);
}

void MenuBarDropView::paintBody(QPainter& painter, const QRectF& rect, qreal radius) const {
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(kMaterial);
    painter.drawRoundedRect(rect, radius, radius);
}

void MenuBarDropView::paintAppIcon(QPainter& painter, const QRectF& rect) const {
    const QIcon icon = QGuiApplication::windowIcon();
    const QRectF inner =
        rect.adjusted(rect.width() * 0.08, rect.height() * 0.08, -rect.width() * 0.08, -rect.height() * 0.08);
    if (!icon.isNull()) {
        icon.paint(&painter, inner.toRect());
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAccent);
    painter.drawRoundedRect(inner, inner.width() * 0.22, inner.height() * 0.22);
    painter.setPen(Qt::white);
    painter.setFont(panelFont(int(inner.height() * 0.6), QFont::Bold));
    painter.drawText(inner, Qt::AlignCenter, QStringLiteral("v"));
}

void MenuBarDropView::paintTitles(QPainter& painter, const QRectF& rect, const QString& headline,
                                  int headlineSize) const {
    const int captionHeight = 15;
    const int headlineHeight = headlineSize + 6;
    const qreal top = rect.center().y() - (captionHeight + 1 + headlineHeight) / 2.0;
    painter.setFont(panelFont(12, QFont::Bold));
    painter.setPen(kSecondaryText);
    painter.drawText(QRectF(rect.left(), top, rect.width(), captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("velmora"));
    painter.setFont(panelFont(headlineSize, QFont::Bold));
    painter.setPen(kPrimaryText);
    painter.drawText(QRectF(rect.left(), top + captionHeight + 1, rect.width(), headlineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, headline);
}

void MenuBarDropView::paintCompact(QPainter& painter) const {
    const QRectF body = QRectF(rect()).adjusted(0.5, 3.5, -0.5, -0.5);
    paintBody(painter, body, 16);
    paintConnectorPointer(painter, 0);
    const QRectF icon(body.left() + 18, body.center().y() - 15, 30, 30);
    paintAppIcon(painter, icon);
    paintTitles(painter,
                QRectF(icon.right() + 12, body.top(), body.right() - icon.right() - 30, body.height()),
                QStringLiteral(u"拖到这自动压缩/解压"), 16);
}

void MenuBarDropView::paintExpanded(QPainter& painter) const {
    const QRectF body = QRectF(rect()).adjusted(0.5, 2.5, -0.5, -0.5);
    paintBody(painter, body, 20);
    paintConnectorPointer(painter, 0);
    const QRectF content = body.adjusted(20, 20, -20, -20);
    const QRectF icon(content.left(), content.top(), 32, 32);
    paintAppIcon(painter, icon);
    paintTitles(painter, QRectF(icon.right() + 10, content.top() - 8, content.width() - 90, 48),
                QStringLiteral(u"轻松添加文件"), 21);
    paintDropZone(painter, content.adjusted(0, 32 + 14, 0, 0));
}

void MenuBarDropView::paintDropZone(QPainter& painter, const QRectF& zone) const {
    QPen dashed(kAccent, 2);
    dashed.setDashPattern({3.5, 2.5});  // 7 on, 5 off at a width of 2
    painter.setPen(dashed);
    painter.setBrush(withAlpha(kAccent, m_model.isTargeted ? 0.18 : 0.10));
    painter.drawRoundedRect(zone.adjusted(1, 1, -1, -1), 16, 16);

    // A folder with a plus, 58 px tall, above the two lines of text.
    const qreal blockHeight = 58 + 14 + 30 + 6 + 20;
    const qreal top = zone.center().y() - blockHeight / 2;
    const QRectF folder(zone.center().x() - 36, top + 6, 72, 50);
    QPainterPath shape;
    shape.moveTo(folder.left(), folder.top() + 8);
    shape.lineTo(folder.left() + 26, folder.top() + 8);
    shape.lineTo(folder.left() + 32, folder.top());
    shape.lineTo(folder.left() + 6, folder.top());
    shape.closeSubpath();
    shape.addRoundedRect(folder.adjusted(0, 8, 0, 0), 6, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(kAccent, 0.75));
    painter.drawPath(shape.simplified());
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre = folder.center() + QPointF(0, 4);
    painter.drawLine(centre - QPointF(10, 0), centre + QPointF(10, 0));
    painter.drawLine(centre - QPointF(0, 10), centre + QPointF(0, 10));

    painter.setFont(panelFont(24, QFont::Bold));
    painter.setPen(kPrimaryText);
    painter.drawText(QRectF(zone.left(), top + 58 + 14, zone.width(), 30), Qt::AlignCenter,
                     QStringLiteral(u"文件拖到这"));
    painter.setFont(panelFont(15, QFont::DemiBold));
    painter.setPen(kSecondaryText);
    painter.drawText(QRectF(zone.left(), top + 58 + 14 + 30 + 6, zone.width(), 20), Qt::AlignCenter,
                     QStringLiteral(u"压缩包自动解压，普通文件自动压缩"));
}
