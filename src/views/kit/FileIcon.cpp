#include "views/kit/FileIcon.h"

#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QPainter>

namespace {
constexpr qreal kRadius = 8;
// The title2 size the icon is drawn in.
constexpr int kIconSize = 19;
}  // namespace

FileIcon::FileIcon(ArchiveActivityKind kind, int size, QWidget* parent) : QWidget(parent), m_kind(kind) {
    setFixedSize(size, size);
}

void FileIcon::setKind(ArchiveActivityKind kind) {
    if (kind == m_kind) return;
    m_kind = kind;
    update();
}

QString FileIcon::iconName(ArchiveActivityKind kind) {
    switch (kind) {
        case ArchiveActivityKind::extract:
            return QStringLiteral("document-zip");
        case ArchiveActivityKind::compress:
            return QStringLiteral("archive-box-filled");
        case ArchiveActivityKind::splitExtraction:
            return QStringLiteral("layers-down-right-filled");
        case ArchiveActivityKind::splitCompression:
            return QStringLiteral("layers-up-filled");
    }
    return {};
}

void FileIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Theme::Colour colour = Theme::kindColour(m_kind);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::color(colour, 0.12));
    painter.drawRoundedRect(rect(), kRadius, kRadius);
    const QPixmap icon = Icons::pixmap(iconName(m_kind), kIconSize, Theme::color(colour));
    painter.drawPixmap((width() - kIconSize) / 2, (height() - kIconSize) / 2, icon);
}
