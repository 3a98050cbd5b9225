#pragma once

#include "core/split/SplitArchiveDescriptor.h"
#include "viewmodels/BackgroundRunner.h"
#include "viewmodels/Publish.h"
#include "viewmodels/SplitArchivePageState.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class ExtractViewModel;
class WorkbenchContext;

// The split-extract page: scans the folder of a chosen volume for its set, shows the outcome, and
// extracts a complete set through the extract page's extraction.
class SplitExtractViewModel : public QObject {
    Q_OBJECT

public:
    SplitExtractViewModel(WorkbenchContext& context, ExtractViewModel& extract, QObject* parent = nullptr);

    WorkbenchContext& context() const { return m_context; }

    const SplitArchivePageState& splitArchiveState() const { return m_splitArchiveState; }
    void setSplitArchiveState(const SplitArchivePageState& value);
    const std::optional<SplitArchiveDescriptor>& splitArchiveDescriptor() const {
        return m_splitArchiveDescriptor;
    }
    void setSplitArchiveDescriptor(const std::optional<SplitArchiveDescriptor>& value);
    // The page's options, kept while the window lives; changed() reports them.
    bool shouldVerifySplitArchiveBeforeExtract() const { return m_shouldVerifySplitArchiveBeforeExtract; }
    void setShouldVerifySplitArchiveBeforeExtract(bool value) {
        publish(this, m_shouldVerifySplitArchiveBeforeExtract, value);
    }
    bool shouldNotifyAfterSplitArchiveExtract() const { return m_shouldNotifyAfterSplitArchiveExtract; }
    void setShouldNotifyAfterSplitArchiveExtract(bool value) {
        publish(this, m_shouldNotifyAfterSplitArchiveExtract, value);
    }
    bool shouldOpenSplitArchiveDestinationAfterExtract() const {
        return m_shouldOpenSplitArchiveDestinationAfterExtract;
    }
    void setShouldOpenSplitArchiveDestinationAfterExtract(bool value) {
        publish(this, m_shouldOpenSplitArchiveDestinationAfterExtract, value);
    }

    void selectSplitArchiveForExtraction();
    // Takes the path by value: callers pass the scanned descriptor's own path, which the scan clears.
    void selectSplitArchiveForExtraction(QString url);
    // A drop takes exactly one volume and alerts on more.
    void takeDroppedVolumes(const QStringList& urls);
    void resetSplitArchiveState(bool quiet);
    // Asks for the destination; a loaded set is scanned again once the answer is in, so its verdict
    // (a folder that cannot be written to) is about the folder now chosen.
    void selectDestination();
    // Clears the selection the set was extracted from, and with it the set.
    void clearSelection();
    bool splitArchiveStartButtonEnabled() const;
    void extractSelectedSplitArchive(bool openAfterCompletion, bool notifyAfterCompletion);
    void goToRegularExtractFromSplitArchive();
    QString splitArchiveDefaultDestinationDescription() const;
    // Shows one volume of the scanned set in the file manager.
    void revealSplitArchivePart(const SplitArchivePart& part);

Q_SIGNALS:
    void changed();
    void splitArchiveStateChanged();
    void splitArchiveDescriptorChanged();

private:
    void splitArchiveScanFinished(quint64 generation, const QString& url,
                                  Outcome<SplitArchiveDescriptor>& outcome);
    void showScanFailure(const QString& message);

    WorkbenchContext& m_context;
    ExtractViewModel& m_extract;
    SplitArchivePageState m_splitArchiveState;
    std::optional<SplitArchiveDescriptor> m_splitArchiveDescriptor;
    bool m_shouldVerifySplitArchiveBeforeExtract = true;
    bool m_shouldNotifyAfterSplitArchiveExtract = true;
    bool m_shouldOpenSplitArchiveDestinationAfterExtract = true;
    // Only the newest scan may apply its outcome.
    quint64 m_splitArchiveScanGeneration = 0;
};
