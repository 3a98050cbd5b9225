#pragma once

#include "core/state/ArchiveHistoryRecord.h"

#include <QList>
#include <QObject>
#include <QStringList>

class CompressViewModel;
class ExtractViewModel;
class WorkbenchContext;

// The home page: a drop or a choice of items is extracted when every item is an archive and
// compressed otherwise, and the quick actions extract chosen archives. The work itself is the
// compress and extract pages' own. It also lists the newest history records, following the store.
class HomeViewModel : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kRecentHistoryCount = 5;

    HomeViewModel(WorkbenchContext& context, CompressViewModel& compress, ExtractViewModel& extract,
                  QObject* parent = nullptr);

    WorkbenchContext& context() const { return m_context; }

    void handleDropped(const QStringList& urls);
    void selectItemsForHomeAction();
    void selectArchiveAndExtract();
    // Into the archives' own folders: the chosen destination is dropped first.
    void selectArchiveAndExtractInPlace();
    void selectArchiveAndExtractToDestination();

    // The newest history records, at most kRecentHistoryCount.
    QList<ArchiveHistoryRecord> recentHistory() const;

Q_SIGNALS:
    void recentHistoryChanged();

private:
    // The archives of a panel choice, or nothing (and an alert) when something else was chosen.
    bool acceptArchives(const QStringList& urls);

    WorkbenchContext& m_context;
    CompressViewModel& m_compress;
    ExtractViewModel& m_extract;
};
