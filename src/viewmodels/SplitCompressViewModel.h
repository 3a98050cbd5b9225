#pragma once

#include "core/base/CancellationToken.h"
#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/SplitCompressionResult.h"
#include "core/split/SplitCompressionConflictStrategy.h"
#include "core/split/SplitCompressionPreset.h"
#include "core/split/SplitCompressionPreview.h"
#include "core/split/SplitCompressionSourceItem.h"
#include "core/split/SplitCompressionUnit.h"
#include "viewmodels/WorkbenchContext.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// The split-compress page: its sources with their sizes (worked out off the GUI thread), the volume
// size, format, password, naming and output folder, the texts derived from them, and the run that
// writes the volumes as one workbench task.
class SplitCompressViewModel : public QObject {
    Q_OBJECT

public:
    explicit SplitCompressViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    WorkbenchContext& context() const { return m_context; }

    const QList<SplitCompressionSourceItem>& splitCompressionItems() const { return m_splitCompressionItems; }
    void setSplitCompressionItems(const QList<SplitCompressionSourceItem>& value);
    bool isCalculatingSplitCompressionItems() const { return m_isCalculatingSplitCompressionItems; }
    void setIsCalculatingSplitCompressionItems(bool value);
    bool splitCompressionEnabled() const { return m_splitCompressionEnabled; }
    void setSplitCompressionEnabled(bool value);
    const QString& splitCompressionVolumeValue() const { return m_splitCompressionVolumeValue; }
    void setSplitCompressionVolumeValue(const QString& value);
    SplitCompressionUnit splitCompressionVolumeUnit() const { return m_splitCompressionVolumeUnit; }
    void setSplitCompressionVolumeUnit(SplitCompressionUnit value);
    const QString& splitCompressionSelectedPresetTitle() const {
        return m_splitCompressionSelectedPresetTitle;
    }
    void setSplitCompressionSelectedPresetTitle(const QString& value);
    CompressionFormat splitCompressionFormat() const { return m_splitCompressionFormat; }
    void setSplitCompressionFormat(CompressionFormat value);
    CompressionLevel splitCompressionLevel() const { return m_splitCompressionLevel; }
    void setSplitCompressionLevel(CompressionLevel value);
    const std::optional<QString>& splitCompressionOutputDirectoryURL() const {
        return m_splitCompressionOutputDirectoryURL;
    }
    void setSplitCompressionOutputDirectoryURL(const std::optional<QString>& value);
    const QString& splitCompressionBaseName() const { return m_splitCompressionBaseName; }
    void setSplitCompressionBaseName(const QString& value);
    SplitCompressionConflictStrategy splitCompressionConflictStrategy() const {
        return m_splitCompressionConflictStrategy;
    }
    void setSplitCompressionConflictStrategy(SplitCompressionConflictStrategy value);
    bool splitCompressionPasswordEnabled() const { return m_splitCompressionPasswordEnabled; }
    void setSplitCompressionPasswordEnabled(bool value);
    const QString& splitCompressionPassword() const { return m_splitCompressionPassword; }
    void setSplitCompressionPassword(const QString& value);
    const QString& splitCompressionPasswordConfirmation() const {
        return m_splitCompressionPasswordConfirmation;
    }
    void setSplitCompressionPasswordConfirmation(const QString& value);
    // The password and its confirmation shown in clear.
    bool showSplitCompressionPassword() const { return m_showSplitCompressionPassword; }
    void setShowSplitCompressionPassword(bool value);
    bool splitCompressionValidateAfterCompletion() const { return m_splitCompressionValidateAfterCompletion; }
    void setSplitCompressionValidateAfterCompletion(bool value);
    const std::optional<QString>& splitCompressionVolumeSizeMessage() const {
        return m_splitCompressionVolumeSizeMessage;
    }
    void setSplitCompressionVolumeSizeMessage(const std::optional<QString>& value);
    bool splitCompressionOpenAfterCompletion() const { return m_splitCompressionOpenAfterCompletion; }
    void setSplitCompressionOpenAfterCompletion(bool value);
    bool splitCompressionNotifyAfterCompletion() const { return m_splitCompressionNotifyAfterCompletion; }
    void setSplitCompressionNotifyAfterCompletion(bool value);

    void selectFilesForSplitCompression();
    void selectFoldersForSplitCompression();
    void addSplitCompressionItems(const QStringList& urls);
    void removeSplitCompressionItem(const SplitCompressionSourceItem& item);
    void clearSplitCompressionItems();
    // Gives up the sources being sized and those waiting, cancelling the walk under way.
    void stopSizing();
    qint64 splitCompressionOriginalSizeBytes() const;
    std::optional<qint64> splitCompressionVolumeSizeBytes() const;
    void applySplitCompressionPreset(const SplitCompressionPreset& preset);
    std::optional<QString> splitCompressionSuggestionMessage() const;
    // With the estimate last given while it is current; its compressed size is not known otherwise.
    SplitCompressionPreview splitCompressionPreview() const;
    // The same with an estimate worked out elsewhere (the page's, off the GUI thread); nothing while
    // it is not known yet.
    SplitCompressionPreview splitCompressionPreview(std::optional<qint64> estimatedCompressedBytes) const;
    // The estimated archive size of the present sources, format and level, which the page works out
    // off the GUI thread (it walks the folders); a run's checks use it while those stay the same.
    void setSplitCompressionEstimate(std::optional<qint64> estimatedCompressedBytes);
    std::optional<QString> splitCompressionOutputDirectory() const;
    QString splitCompressionOutputDirectoryDescription() const;
    void selectSplitCompressionDestination();
    // Takes the preview the page already has: its estimate walks the sources' folders.
    QString splitCompressionAvailableSpaceDescription(const SplitCompressionPreview& preview) const;
    void startSplitCompression();

Q_SIGNALS:
    void changed();
    void splitCompressionItemsChanged();
    void isCalculatingSplitCompressionItemsChanged();
    void splitCompressionEnabledChanged();
    void splitCompressionVolumeValueChanged();
    void splitCompressionVolumeUnitChanged();
    void splitCompressionFormatChanged();
    void splitCompressionLevelChanged();
    void splitCompressionOutputDirectoryURLChanged();
    void splitCompressionBaseNameChanged();

private:
    struct SplitCompressionRun;

    void startSizing();
    void sizingFinished(const QList<SplitCompressionSourceItem>& items);
    static QStringList urlsOf(const QList<SplitCompressionSourceItem>& items);
    QStringList splitCompressionSourceURLs() const;
    std::optional<QString> firstItemFolder() const;
    std::optional<qint64> currentEstimate() const;
    // Throws the reason a run cannot start.
    void validateSplitCompressionBeforeStart() const;
    QString settleSplitCompressionBaseName(const QString& baseName, const QString& outputDirectory);
    SplitCompressionRun makeSplitCompressionRun();
    void splitCompressionSucceeded(const SplitCompressionRun& run, const SplitCompressionResult& result);
    static void cleanupSplitCompressionOutputs(const SplitCompressionRun& run);

    WorkbenchContext& m_context;
    QList<SplitCompressionSourceItem> m_splitCompressionItems;
    bool m_isCalculatingSplitCompressionItems = false;
    bool m_splitCompressionEnabled = true;
    QString m_splitCompressionVolumeValue = QStringLiteral("2");
    SplitCompressionUnit m_splitCompressionVolumeUnit = SplitCompressionUnit::gb;
    QString m_splitCompressionSelectedPresetTitle = QStringLiteral("2 GB");
    CompressionFormat m_splitCompressionFormat = CompressionFormat::sevenZip;
    CompressionLevel m_splitCompressionLevel = CompressionLevel::standard;
    std::optional<QString> m_splitCompressionOutputDirectoryURL;
    QString m_splitCompressionBaseName = QStringLiteral(u"压缩文件");
    SplitCompressionConflictStrategy m_splitCompressionConflictStrategy =
        SplitCompressionConflictStrategy::autoRename;
    bool m_splitCompressionPasswordEnabled = false;
    QString m_splitCompressionPassword;
    QString m_splitCompressionPasswordConfirmation;
    bool m_showSplitCompressionPassword = false;
    bool m_splitCompressionValidateAfterCompletion = true;
    std::optional<QString> m_splitCompressionVolumeSizeMessage;
    bool m_splitCompressionOpenAfterCompletion = true;
    bool m_splitCompressionNotifyAfterCompletion = true;

    // Batches of sources waiting to be sized, oldest first; the first one is being sized, its walk
    // under m_sizingToken. Stopping the sizing cancels that walk and bumps the generation, so it
    // applies nothing.
    QList<QStringList> m_pendingSizingBatches;
    quint64 m_sizingGeneration = 0;
    CancellationToken m_sizingToken;

    // The last estimate given, with what it was worked out for.
    struct Estimate {
        QStringList sources;
        CompressionFormat format;
        CompressionLevel level;
        std::optional<qint64> bytes;
    };
    std::optional<Estimate> m_estimate;
};
