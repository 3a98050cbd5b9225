#pragma once

#include <QStyledItemDelegate>

// Draws the history table's cells: the kind tile's icon before the file name, the kind and status
// words in their colours, the secondary columns in the secondary colour, and the "dots-horizontal" button of
// the last column, whose click asks to open the record's path.
class HistoryTableDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the button sits in an actions cell.
    static QRect openButtonRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

Q_SIGNALS:
    void openRequested(const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};
