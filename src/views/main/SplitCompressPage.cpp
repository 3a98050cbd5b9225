#include "views/main/SplitCompressPage.h"

#include "viewmodels/SelectionSizes.h"
#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/Labels.h"
#include "views/main/SplitCompressionDestinationCard.h"
#include "views/main/SplitCompressionFileSelectionCard.h"
#include "views/main/SplitCompressionPageRules.h"
#include "views/main/SplitCompressionPreviewCard.h"
#include "views/main/SplitCompressionSettingsCard.h"
#include "views/main/SplitCompressionVolumeCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SplitCompressPage::SplitCompressPage(SplitCompressViewModel& model, TasksViewModel& tasks, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_files(new SplitCompressionFileSelectionCard(model)),
      m_volume(new SplitCompressionVolumeCard(model)),
      m_settings(new SplitCompressionSettingsCard(model)),
      m_preview(new SplitCompressionPreviewCard),
      m_destination(new SplitCompressionDestinationCard(model, tasks)),
      m_estimate(new SelectionSizes(nullptr, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(34, 0, 34, 34);
    layout->setSpacing(14);

    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    header->addWidget(Labels::make(QStringLiteral(u"分卷压缩"), Theme::TextStyle::title2, QFont::Bold), 0,
                      Qt::AlignBaseline);
    header->addWidget(Labels::make(QStringLiteral(u"将大文件压缩并分割成多个卷文件，便于存储和传输"),
                                   Theme::TextStyle::callout, Theme::Colour::secondary),
                      0, Qt::AlignBaseline);
    header->addStretch();
    layout->addLayout(header);
    layout->addWidget(m_files);

    // Volumes and settings share what the fixed-width preview leaves.
    auto* cards = new QHBoxLayout;
    cards->setSpacing(14);
    cards->addWidget(m_volume, 1, Qt::AlignTop);
    cards->addWidget(m_settings, 1, Qt::AlignTop);
    cards->addWidget(m_preview, 0, Qt::AlignTop);
    layout->addLayout(cards);
    layout->addWidget(m_destination);
    layout->addStretch();

    // The preview's estimate walks the sources' folders: it is worked out on a worker thread when the
    // sources, format or level change, and the preview is built once for a batch of changes to what
    // it depends on, never for a status text or a progress report.
    connect(m_estimate, &SelectionSizes::changed, this, &SplitCompressPage::schedulePreviewSync);
    for (auto signal : {&SplitCompressViewModel::splitCompressionItemsChanged,
                        &SplitCompressViewModel::splitCompressionFormatChanged,
                        &SplitCompressViewModel::splitCompressionLevelChanged,
                        &SplitCompressViewModel::splitCompressionEnabledChanged,
                        &SplitCompressViewModel::splitCompressionVolumeValueChanged,
                        &SplitCompressViewModel::splitCompressionVolumeUnitChanged,
                        &SplitCompressViewModel::splitCompressionBaseNameChanged,
                        &SplitCompressViewModel::splitCompressionOutputDirectoryURLChanged})
        connect(&model, signal, this, &SplitCompressPage::schedulePreviewSync);
    connect(&model.context(), &WorkbenchContext::destinationURLChanged, this,
            &SplitCompressPage::schedulePreviewSync);
    syncPreview();
}

void SplitCompressPage::schedulePreviewSync() {
    if (m_previewSyncPending) return;
    m_previewSyncPending = true;
    QMetaObject::invokeMethod(this, &SplitCompressPage::syncPreview, Qt::QueuedConnection);
}

void SplitCompressPage::syncPreview() {
    // Still pending while the estimate takes the new sources, so its own change signal adds no step.
    QStringList sources;
    for (const SplitCompressionSourceItem& item : m_model.splitCompressionItems()) sources << item.url;
    m_estimate->setPaths(sources);
    m_estimate->setEstimateParameters(m_model.splitCompressionFormat(), m_model.splitCompressionLevel());
    m_previewSyncPending = false;
    m_model.setSplitCompressionEstimate(m_estimate->estimate());
    const SplitCompressionPreview preview = m_model.splitCompressionPreview();
    m_preview->showTexts(SplitCompressionPageRules::previewTexts(preview));
    m_destination->setAvailableSpace(m_model.splitCompressionAvailableSpaceDescription(preview));
}
