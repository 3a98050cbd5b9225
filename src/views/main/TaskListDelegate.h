#pragma once

#include "viewmodels/TaskPageRules.h"
#include "views/main/TaskCard.h"

#include <QStyledItemDelegate>
#include <QUuid>

// Draws each task row of the tasks page in sight as its card, with one TaskCard laid out for the row
// and rendered, so tens of thousands of tasks cost no widget each. Every row has the card's height
// and a gap below it. A click on a drawn button asks for that button's action on the row's task; the
// tip over a cut name, folder or message is its whole text.
class TaskListDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kRowGap = 16;

    explicit TaskListDelegate(QObject* parent = nullptr);

    // The card laid out for the row at `index` in `rect` (the row's), as it is drawn.
    const TaskCard& cardFor(const QModelIndex& index, const QRect& rect) const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

Q_SIGNALS:
    void actionRequested(const QUuid& taskId, TaskPageRules::TaskAction action);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    mutable TaskCard m_card;
    int m_cardHeight;
};
