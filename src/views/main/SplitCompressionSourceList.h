#pragma once

#include "core/split/SplitCompressionSourceItem.h"

#include <QList>
#include <QWidget>

class EmptyState;
class SplitCompressViewModel;
class QStackedLayout;
class QVBoxLayout;

// The box of the split-compress page's sources: a column header, then one row per source, or while
// the list is empty the placeholder (or the sizing indicator while sources are being sized). It is the
// page's only drop target.
class SplitCompressionSourceList : public QWidget {
    Q_OBJECT

public:
    explicit SplitCompressionSourceList(SplitCompressViewModel& model, QWidget* parent = nullptr);

    // What the body shows now.
    enum class Body { empty, sizing, rows };
    Body body() const;
    int rowCount() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void syncFromModel();
    void rebuildRows();

    SplitCompressViewModel& m_model;
    QStackedLayout* m_body;
    QWidget* m_empty;
    QWidget* m_sizing;
    QWidget* m_rowsPanel;
    QVBoxLayout* m_rows;
    QList<SplitCompressionSourceItem> m_shownItems;
};
