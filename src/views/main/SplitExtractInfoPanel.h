#pragma once

#include "core/split/SplitArchiveDescriptor.h"
#include "views/kit/Card.h"

#include <QList>
#include <optional>

class SplitExtractViewModel;
class SplitArchivePartRow;
class SplitExtractMetric;

// The info card of the split-extract page: the scanned set's name, format badge, primary volume and
// folder, five figures, the verdict's message and every volume found or missing; a placeholder while
// nothing is scanned. Pressing a found volume shows it in the file manager.
class SplitExtractInfoPanel : public Card {
    Q_OBJECT

public:
    explicit SplitExtractInfoPanel(SplitExtractViewModel& model, QWidget* parent = nullptr);

    // Empty while no set is shown.
    const QList<SplitArchivePartRow*>& partRows() const { return m_partRows; }
    const QList<SplitExtractMetric*>& metrics() const { return m_metrics; }
    QString badgeText() const;
    // The placeholder's text; empty while a set is shown.
    QString emptyText() const;

private:
    void syncFromModel();
    void rebuild();
    QWidget* makeSetView(const SplitArchiveDescriptor& descriptor);
    QWidget* makeHeader(const SplitArchiveDescriptor& descriptor);
    QWidget* makePartGrid(const SplitArchiveDescriptor& descriptor);

    SplitExtractViewModel& m_model;
    QWidget* m_content = nullptr;
    std::optional<SplitArchiveDescriptor> m_shownDescriptor;
    QString m_shownEmptyText;
    QString m_badgeText;
    QList<SplitArchivePartRow*> m_partRows;
    QList<SplitExtractMetric*> m_metrics;
};
