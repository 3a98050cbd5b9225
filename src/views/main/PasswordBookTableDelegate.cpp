#include "views/main/PasswordBookTableDelegate.h"

#include "viewmodels/PasswordBookTableModel.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kButtonHeight = 26;
constexpr int kUseWidth = 56;
constexpr int kDeleteWidth = 34;
constexpr int kButtonGap = 8;
constexpr int kDotSize = 7;
constexpr int kDotGap = 4;

QRect buttonRect(const QRect& cell, int left, int width) {
    return QRect(cell.left() + left, cell.center().y() - kButtonHeight / 2 + 1, width, kButtonHeight);
}

}  // namespace

QRect PasswordBookTableDelegate::useButtonRect(const QRect& cell) { return buttonRect(cell, 0, kUseWidth); }

QRect PasswordBookTableDelegate::deleteButtonRect(const QRect& cell) {
    return buttonRect(cell, kUseWidth + kButtonGap, kDeleteWidth);
}

void PasswordBookTableDelegate::initStyleOption(QStyleOptionViewItem* option,
                                                const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    switch (index.column()) {
        case PasswordBookTableModel::indexColumn:
            // The shown row's number: it restarts at 1 whenever the search or the book changes.
            option->text = QString::number(index.row() + 1);
            option->palette.setColor(QPalette::Text, Theme::color(Theme::Colour::secondary));
            break;
        case PasswordBookTableModel::lastUsedColumn:
            option->font = Theme::font(Theme::TextStyle::callout);
            option->palette.setColor(QPalette::Text, Theme::color(Theme::Colour::secondary));
            break;
        default:
            break;
    }
}

void PasswordBookTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    const bool masked = index.column() == PasswordBookTableModel::passwordColumn && !m_revealPasswords;
    if (index.column() != PasswordBookTableModel::actionsColumn && !masked) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (masked) {
        paintMask(painter, cell);
    } else {
        paintButton(painter, useButtonRect(option.rect), option.font, QStringLiteral(u"使用"), {});
        paintButton(painter, deleteButtonRect(option.rect), option.font, {},
                    Icons::pixmap(QStringLiteral("trash"), 15, Theme::color(Theme::Colour::red)));
    }
    painter->restore();
}

// One dot per character, drawn rather than typed: the bullet of the CJK font is as wide as a
// character of Chinese text.
void PasswordBookTableDelegate::paintMask(QPainter* painter, const QStyleOptionViewItem& cell) {
    const QRect area =
        cell.widget ? cell.widget->style()->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget)
                    : cell.rect;
    painter->setPen(Qt::NoPen);
    painter->setBrush(Theme::color(Theme::Colour::primary));
    const int top = area.center().y() - kDotSize / 2;
    for (qsizetype i = 0; i < cell.text.size(); ++i) {
        const int left = area.left() + 2 + int(i) * (kDotSize + kDotGap);
        if (left + kDotSize > area.right()) break;
        painter->drawEllipse(QRect(left, top, kDotSize, kDotSize));
    }
}

void PasswordBookTableDelegate::paintButton(QPainter* painter, const QRect& rect, const QFont& font,
                                            const QString& text, const QPixmap& icon) {
    painter->setPen(QPen(Theme::color(Theme::Colour::black, 0.16), 1));
    painter->setBrush(Theme::color(Theme::Colour::controlBackground));
    painter->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    if (!icon.isNull()) {
        const QSize size = icon.deviceIndependentSize().toSize();
        painter->drawPixmap(
            QRect(QPoint(0, 0), size).translated(rect.center() - QPoint(size.width() / 2, size.height() / 2)),
            icon);
        return;
    }
    painter->setFont(font);
    painter->setPen(Theme::color(Theme::Colour::primary));
    painter->drawText(rect, Qt::AlignCenter, text);
}

QWidget* PasswordBookTableDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* field = qobject_cast<QLineEdit*>(editor);
    if (field && index.column() == PasswordBookTableModel::passwordColumn && !m_revealPasswords) {
        field->setEchoMode(QLineEdit::Password);
    }
    return editor;
}

bool PasswordBookTableDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                            const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (index.column() != PasswordBookTableModel::actionsColumn ||
        event->type() != QEvent::MouseButtonRelease) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    const QPoint position = mouse->position().toPoint();
    if (useButtonRect(option.rect).contains(position)) {
        Q_EMIT useRequested(index);
        return true;
    }
    if (deleteButtonRect(option.rect).contains(position)) {
        Q_EMIT deleteRequested(index);
        return true;
    }
    return false;
}
