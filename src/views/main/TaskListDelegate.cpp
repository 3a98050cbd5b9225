#include "views/main/TaskListDelegate.h"

#include "viewmodels/TaskListModel.h"
#include "views/kit/FocusRing.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

using TaskPageRules::TaskAction;

namespace {

QRect cardRect(const QRect& row) { return row.adjusted(0, 0, 0, -TaskListDelegate::kRowGap); }

ArchiveTask taskAt(const QModelIndex& index) {
    return index.data(TaskListModel::TaskRole).value<ArchiveTask>();
}

}  // namespace

TaskListDelegate::TaskListDelegate(QListView* view) : QStyledItemDelegate(view), m_view(view) {
    m_card.setAttribute(Qt::WA_DontShowOnScreen);
    m_card.ensurePolished();
    // A new card's task runs, so its buttons count; no text wraps at this width.
    m_cardHeight = m_card.layout()->totalHeightForWidth(1000);
    if (m_cardHeight <= 0) m_cardHeight = m_card.sizeHint().height();
    view->setItemDelegate(this);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { m_chosen = 0; });
}

const TaskCard& TaskListDelegate::cardFor(const QModelIndex& index, const QRect& rect) const {
    m_card.setTask(taskAt(index));
    m_card.fitInto(cardRect(rect).size());
    return m_card;
}

std::optional<TaskAction> TaskListDelegate::chosenAction() const {
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) return std::nullopt;
    const QList<TaskAction> offered = TaskPageRules::actions(taskAt(current).status);
    if (offered.isEmpty()) return std::nullopt;
    return offered.at(std::clamp(m_chosen, 0, int(offered.size()) - 1));
}

bool TaskListDelegate::showsKeyboardFocus() const { return m_keyboardFocus && m_view->hasFocus(); }

QSize TaskListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    // The width is the view's: a row never asks for more.
    return {0, m_cardHeight + kRowGap};
}

void TaskListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    cardFor(index, option.rect);
    m_card.showPointer(actionOf(m_hovered, index), actionOf(m_pressed, index));
    // Rendered through a picture of its own: a widget rendered straight onto the painter of a view
    // being painted lands offset by where the view stands in its window.
    const qreal ratio = painter->device()->devicePixelRatioF();
    QPixmap picture(m_card.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    m_card.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect card = cardRect(option.rect);
    painter->drawPixmap(card.topLeft(), picture);
    if (!showsKeyboardFocus() || index != m_view->currentIndex()) return;
    if (const std::optional<TaskAction> chosen = chosenAction()) {
        FocusRing::paint(*painter,
                         FocusRing::ringGeometry(m_card.actionRect(*chosen).translated(card.topLeft())));
    } else {
        FocusRing::paint(*painter, card);
    }
}

bool TaskListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
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

bool TaskListDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view->viewport()) return pointerEvent(event);
    if (watched == m_view) return keyEvent(event);
    return false;
}

bool TaskListDelegate::pointerEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
            setHovered(targetAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
            return false;
        case QEvent::Leave:
            setHovered(std::nullopt);
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            m_keyboardFocus = false;
            if (mouse->button() != Qt::LeftButton) return false;
            const std::optional<Target> target = targetAt(mouse->position().toPoint());
            if (!target) return false;
            m_view->setCurrentIndex(target->row);
            m_chosen = int(TaskPageRules::actions(taskAt(target->row).status).indexOf(target->action));
            setPressed(target);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !m_pressed) return false;
            const Target pressed = *m_pressed;
            setPressed(std::nullopt);
            // Like a button: only a release over the button that was pressed counts.
            if (targetAt(mouse->position().toPoint()) == pressed) request(pressed.row, pressed.action);
            return true;
        }
        default:
            return false;
    }
}

bool TaskListDelegate::keyEvent(QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (event->type() == QEvent::FocusIn)
            m_keyboardFocus = FocusRing::showsFor(static_cast<QFocusEvent*>(event)->reason());
        updateRow(m_view->currentIndex());
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    m_keyboardFocus = true;
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) return false;
    const auto offered = int(TaskPageRules::actions(taskAt(current).status).size());
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (offered > 0) {
                const int step = key->key() == Qt::Key_Left ? -1 : 1;
                m_chosen = std::clamp(std::clamp(m_chosen, 0, offered - 1) + step, 0, offered - 1);
            }
            updateRow(current);
            return true;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (const std::optional<TaskAction> chosen = chosenAction()) request(current, *chosen);
            return true;
        default:
            updateRow(current);
            return false;
    }
}

std::optional<TaskListDelegate::Target> TaskListDelegate::targetAt(const QPoint& position) const {
    const QModelIndex index = m_view->indexAt(position);
    if (!index.isValid()) return std::nullopt;
    const QRect row = m_view->visualRect(index);
    const std::optional<TaskAction> action = cardFor(index, row).actionAt(position - cardRect(row).topLeft());
    if (!action) return std::nullopt;
    return Target{QPersistentModelIndex(index), *action};
}

void TaskListDelegate::setHovered(const std::optional<Target>& target) {
    if (target == m_hovered) return;
    if (m_hovered) updateRow(m_hovered->row);
    m_hovered = target;
    if (m_hovered) updateRow(m_hovered->row);
}

void TaskListDelegate::setPressed(const std::optional<Target>& target) {
    if (m_pressed) updateRow(m_pressed->row);
    m_pressed = target;
    if (m_pressed) updateRow(m_pressed->row);
}

void TaskListDelegate::updateRow(const QModelIndex& index) const {
    if (index.isValid()) m_view->viewport()->update(m_view->visualRect(index));
}

void TaskListDelegate::request(const QModelIndex& index, TaskAction action) {
    Q_EMIT actionRequested(taskAt(index).id, action);
}

std::optional<TaskAction> TaskListDelegate::actionOf(const std::optional<Target>& target,
                                                     const QModelIndex& index) {
    if (!target || target->row != index) return std::nullopt;
    return target->action;
}
