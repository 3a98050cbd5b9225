#pragma once

#include "views/kit/Card.h"
#include "views/main/SplitCompressionPageRules.h"

class ElidedLabel;
class QLabel;
class StatusLine;

// Card 4 of the split-compress page: what the run will produce, as estimates. It draws the texts the
// page makes from one preview; it reads nothing itself.
class SplitCompressionPreviewCard : public Card {
    Q_OBJECT

public:
    explicit SplitCompressionPreviewCard(QWidget* parent = nullptr);

    void showTexts(const SplitCompressionPageRules::PreviewTexts& texts);
    const SplitCompressionPageRules::PreviewTexts& texts() const { return m_texts; }
    // The naming rule's first volume and, after "~" on the next line, its last one (hidden for a single
    // name).
    ElidedLabel* firstVolumeLabel() const { return m_firstVolume; }
    ElidedLabel* lastVolumeLabel() const { return m_lastVolume; }

private:
    SplitCompressionPageRules::PreviewTexts m_texts;
    ElidedLabel* m_primaryName;
    QLabel* m_summary;
    StatusLine* m_original;
    StatusLine* m_compressed;
    StatusLine* m_saving;
    StatusLine* m_volumeSize;
    StatusLine* m_partCount;
    ElidedLabel* m_firstVolume;
    QLabel* m_rangeMark;
    ElidedLabel* m_lastVolume;
};
