#include "views/browser/ArchiveEntryNameDelegate.h"

#include "views/browser/ArchiveEntryTableModel.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

QRect ArchiveEntryNameDelegate::disclosureRect(const QStyleOptionViewItem& option, const QModelIndex& index) {
    const int depth = index.data(ArchiveEntryTableModel::DepthRole).toInt();
    const int left = option.rect.left() + 4 + depth * kIndentPerLevel;
    return QRect(left, option.rect.top(), kDisclosureWidth, option.rect.height());
}

void ArchiveEntryNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    const QRect arrow = disclosureRect(option, index);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
    if (index.data(ArchiveEntryTableModel::ExpandableRole).toBool()) {
        const bool expanded = index.data(ArchiveEntryTableModel::ExpandedRole).toBool();
        const QColor ink = selected ? option.palette.color(textRole) : Theme::color(Theme::Colour::secondary);
        const QPixmap chevron = Icons::pixmap(
            expanded ? QStringLiteral("chevron-down") : QStringLiteral("chevron-right"), kChevronSize, ink);
        QRect chevronRect(0, 0, kChevronSize, kChevronSize);
        chevronRect.moveCenter(arrow.center());
        painter->drawPixmap(chevronRect, chevron);
    }
    const QRect iconRect(arrow.right() + 1 + kSpacing, option.rect.center().y() - kIconSize / 2, kIconSize,
                         kIconSize);
    index.data(Qt::DecorationRole).value<QIcon>().paint(painter, iconRect);
    const QRect textRect(iconRect.right() + 1 + kSpacing, option.rect.top(),
                         option.rect.right() - iconRect.right() - kSpacing, option.rect.height());
    const QString name =
        option.fontMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, textRect.width());
    painter->save();
    painter->setPen(option.palette.color(textRole));
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, name);
    painter->restore();
}

QSize ArchiveEntryNameDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize hint = QStyledItemDelegate::sizeHint(option, index);
    hint.setHeight(std::max(hint.height(), 26));
    return hint;
}

bool ArchiveEntryNameDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                           const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease &&
        index.data(ArchiveEntryTableModel::ExpandableRole).toBool()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (disclosureRect(option, index).contains(mouse->position().toPoint())) {
            Q_EMIT disclosureClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
