#include "views/main/TaskListDelegate.h"

#include "viewmodels/TaskListModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

QRect cardRect(const QRect& row) { return row.adjusted(0, 0, 0, -TaskListDelegate::kRowGap); }

}  // namespace

TaskListDelegate::TaskListDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    m_card.setAttribute(Qt::WA_DontShowOnScreen);
    m_card.ensurePolished();
    // Every text has a fixed number of lines, so the width does not change the height.
    m_cardHeight = m_card.layout()->totalHeightForWidth(1000);
    if (m_cardHeight <= 0) m_cardHeight = m_card.sizeHint().height();
}

const TaskCard& TaskListDelegate::cardFor(const QModelIndex& index, const QRect& rect) const {
    m_card.setTask(index.data(TaskListModel::TaskRole).value<ArchiveTask>());
    const QRect card = cardRect(rect);
    if (m_card.size() != card.size()) m_card.resize(card.size());
    m_card.layout()->activate();
    return m_card;
}

QSize TaskListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    // The width is the view's: a row never asks for more.
    return {0, m_cardHeight + kRowGap};
}

void TaskListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    cardFor(index, option.rect);
    painter->save();
    m_card.render(painter, cardRect(option.rect).topLeft(), QRegion(), QWidget::DrawChildren);
    painter->restore();
}

bool TaskListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const TaskCard& card = cardFor(index, option.rect);
        const QPoint inCard = mouse->position().toPoint() - cardRect(option.rect).topLeft();
        if (mouse->button() == Qt::LeftButton) {
            if (const std::optional<TaskPageRules::TaskAction> action = card.actionAt(inCard)) {
                Q_EMIT actionRequested(card.task().id, *action);
                return true;
            }
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TaskListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip) return QStyledItemDelegate::helpEvent(event, view, option, index);
    const TaskCard& card = cardFor(index, option.rect);
    const QString text = card.cutTextAt(event->pos() - cardRect(option.rect).topLeft());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPos(), text, view->viewport());
    }
    return true;
}
