#include "views/main/HistoryTableDelegate.h"

#include "viewmodels/HistoryTableModel.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kButtonSize = 26;

void setTextColour(QStyleOptionViewItem* option, Theme::Colour colour) {
    option->palette.setColor(QPalette::Text, Theme::color(colour));
    option->palette.setColor(QPalette::HighlightedText, Theme::color(colour));
}

}  // namespace

QRect HistoryTableDelegate::openButtonRect(const QRect& cell) {
    return QRect(cell.center().x() - kButtonSize / 2 + 1, cell.center().y() - kButtonSize / 2 + 1,
                 kButtonSize, kButtonSize);
}

void HistoryTableDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const auto kind = ArchiveActivityKind(index.data(HistoryTableModel::KindRole).toInt());
    const auto status = ArchiveActivityStatus(index.data(HistoryTableModel::StatusRole).toInt());
    switch (index.column()) {
        case HistoryTableModel::fileNameColumn:
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = Icons::icon(FileIcon::iconName(kind), Theme::color(Theme::kindColour(kind)));
            option->decorationSize = QSize(18, 18);
            option->font = Theme::font(Theme::TextStyle::headline);
            break;
        case HistoryTableModel::pathColumn:
            option->textElideMode = Qt::ElideMiddle;
            setTextColour(option, Theme::Colour::secondary);
            break;
        case HistoryTableModel::kindColumn:
            setTextColour(option, Theme::kindColour(kind));
            break;
        case HistoryTableModel::statusColumn:
            setTextColour(option, Theme::statusColour(status));
            break;
        default:
            setTextColour(option, Theme::Colour::secondary);
            break;
    }
}

void HistoryTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != HistoryTableModel::actionsColumn) return;
    const QRect button = openButtonRect(option.rect);
    painter->drawPixmap(button.adjusted(5, 5, -5, -5),
                        Icons::pixmap(QStringLiteral("dots-horizontal"), kButtonSize - 10,
                                      Theme::color(Theme::Colour::secondary)));
}

bool HistoryTableDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                       const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (index.column() == HistoryTableModel::actionsColumn && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            openButtonRect(option.rect).contains(mouse->position().toPoint())) {
            Q_EMIT openRequested(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
