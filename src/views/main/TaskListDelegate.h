#pragma once

#include "viewmodels/TaskPageRules.h"
#include "views/main/TaskCard.h"

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QUuid>
#include <optional>

class QListView;

// Draws each task row of a list view in sight as its card, with one TaskCard laid out for the row
// and rendered, so tens of thousands of tasks cost no widget each. Every row has the card's height
// and a gap below it. The drawn buttons act as buttons: lit under the pointer, held down while
// pressed, and a release over the button pressed asks for its action on the row's task. From the
// keyboard, Left and Right choose a button of the current row and Space or Return presses it; the
// chosen one is ringed while the keyboard moves in the list. The tip over a cut name, folder or
// message is its whole text.
class TaskListDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kRowGap = 16;

    // Draws the rows of `view`, whose model must be set, and answers its pointer and keys.
    explicit TaskListDelegate(QListView* view);

    // The card laid out for the row at `index` in `rect` (the row's), as it is drawn.
    const TaskCard& cardFor(const QModelIndex& index, const QRect& rect) const;
    // The button the keyboard has chosen on the current row; none when it offers none.
    std::optional<TaskPageRules::TaskAction> chosenAction() const;
    // Whether the current row shows the keyboard's ring (the list has the focus from the keyboard).
    bool showsKeyboardFocus() const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

Q_SIGNALS:
    void actionRequested(const QUuid& taskId, TaskPageRules::TaskAction action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Target {
        QPersistentModelIndex row;
        TaskPageRules::TaskAction action;
        bool operator==(const Target&) const = default;
    };

    std::optional<Target> targetAt(const QPoint& position) const;
    bool pointerEvent(QEvent* event);
    bool keyEvent(QEvent* event);
    void setHovered(const std::optional<Target>& target);
    void setPressed(const std::optional<Target>& target);
    void updateRow(const QModelIndex& index) const;
    void request(const QModelIndex& index, TaskPageRules::TaskAction action);
    static std::optional<TaskPageRules::TaskAction> actionOf(const std::optional<Target>& target,
                                                             const QModelIndex& index);

    QListView* m_view;
    mutable TaskCard m_card;
    int m_cardHeight;
    std::optional<Target> m_hovered;
    std::optional<Target> m_pressed;
    int m_chosen = 0;  // of the current row's offered actions
    bool m_keyboardFocus = false;
};
