#pragma once

#include "core/split/SplitCompressionSourceItem.h"

#include <QWidget>

class QLabel;
class QToolButton;

// One source of the split-compress list: icon, name, containing folder, size, type and a remove
// button, in columns that line up with the list's header. Emits removeRequested with its item.
class SplitCompressionSourceRow : public QWidget {
    Q_OBJECT

public:
    explicit SplitCompressionSourceRow(const SplitCompressionSourceItem& item, QWidget* parent = nullptr);

    QLabel* typeLabel() const { return m_type; }
    QToolButton* removeButton() const { return m_remove; }

Q_SIGNALS:
    void removeRequested(const SplitCompressionSourceItem& item);

private:
    SplitCompressionSourceItem m_item;
    QLabel* m_type;
    QToolButton* m_remove;
};
