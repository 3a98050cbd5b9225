#pragma once

#include <QWidget>

class SplitCompressViewModel;
class SelectionSizes;
class SplitCompressionDestinationCard;
class SplitCompressionFileSelectionCard;
class SplitCompressionPreviewCard;
class SplitCompressionSettingsCard;
class SplitCompressionVolumeCard;
class TasksViewModel;

// The split-compress page: sources (card 1), volumes, settings and preview side by side (cards 2 to 4),
// and the destination with the start button and the status banner beside it (card 5).
class SplitCompressPage : public QWidget {
    Q_OBJECT

public:
    SplitCompressPage(SplitCompressViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);

    SplitCompressionFileSelectionCard* fileSelectionCard() const { return m_files; }
    SplitCompressionVolumeCard* volumeCard() const { return m_volume; }
    SplitCompressionSettingsCard* settingsCard() const { return m_settings; }
    SplitCompressionPreviewCard* previewCard() const { return m_preview; }
    SplitCompressionDestinationCard* destinationCard() const { return m_destination; }
    // The preview's estimate, worked out on a worker thread.
    SelectionSizes* estimate() const { return m_estimate; }

private:
    void schedulePreviewSync();
    void syncPreview();

    SplitCompressViewModel& m_model;
    SplitCompressionFileSelectionCard* m_files;
    SplitCompressionVolumeCard* m_volume;
    SplitCompressionSettingsCard* m_settings;
    SplitCompressionPreviewCard* m_preview;
    SplitCompressionDestinationCard* m_destination;
    SelectionSizes* m_estimate;
    bool m_previewSyncPending = false;
};
