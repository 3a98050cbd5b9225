#pragma once

#include <QStyledItemDelegate>

// Draws the password book table's cells: the row number of the shown row, the "使用" and trash
// buttons of the actions column, and edits the password in a masked field unless the page reveals
// passwords. An edit is handed to the model once, when it finishes (Return or the focus leaving the
// cell); Escape drops it.
class PasswordBookTableDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setRevealPasswords(bool reveal) { m_revealPasswords = reveal; }

    // Where the two buttons sit in an actions cell.
    static QRect useButtonRect(const QRect& cell);
    static QRect deleteButtonRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

Q_SIGNALS:
    void useRequested(const QModelIndex& index);
    void deleteRequested(const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    static void paintMask(QPainter* painter, const QStyleOptionViewItem& cell);
    static void paintButton(QPainter* painter, const QRect& rect, const QFont& font, const QString& text,
                            const QPixmap& icon);

    bool m_revealPasswords = false;
};
