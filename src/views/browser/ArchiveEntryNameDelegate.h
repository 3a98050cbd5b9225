#pragma once

#include <QStyledItemDelegate>

// The name cell: 18 px of indent per level, the disclosure arrow (invisible but keeping its place
// on rows that cannot open), the entry's icon and its name elided in the middle. A click on the
// arrow asks for the row to open or close.
class ArchiveEntryNameDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int kIndentPerLevel = 18;
    static constexpr int kDisclosureWidth = 18;
    static constexpr int kChevronSize = 12;
    static constexpr int kIconSize = 18;
    static constexpr int kSpacing = 6;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

Q_SIGNALS:
    void disclosureClicked(const QModelIndex& index);

private:
    static QRect disclosureRect(const QStyleOptionViewItem& option, const QModelIndex& index);
};
