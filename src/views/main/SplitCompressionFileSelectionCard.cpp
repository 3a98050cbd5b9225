#include "views/main/SplitCompressionFileSelectionCard.h"

#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/Labels.h"
#include "views/kit/NumberedSectionTitle.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/SplitCompressionPageRules.h"
#include "views/main/SplitCompressionSourceList.h"

#include <QHBoxLayout>
#include <QPushButton>

SplitCompressionFileSelectionCard::SplitCompressionFileSelectionCard(SplitCompressViewModel& model,
                                                                     QWidget* parent)
    : Card(parent),
      m_model(model),
      m_list(new SplitCompressionSourceList(model)),
      m_clear(Labels::button(QStringLiteral(u"清空"), QStringLiteral("trash"))),
      m_count(Labels::make({}, Theme::TextStyle::body, Theme::Colour::secondary)),
      m_total(Labels::make({}, Theme::TextStyle::headline)) {
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new NumberedSectionTitle(1, QStringLiteral(u"选择要压缩的文件或文件夹")));
    titleRow->addStretch();
    auto* addFiles = Labels::button(QStringLiteral(u"添加文件"), QStringLiteral("folder-plus"));
    auto* addFolders = Labels::button(QStringLiteral(u"添加文件夹"), QStringLiteral("folder-plus"));
    titleRow->addWidget(addFiles);
    titleRow->addWidget(addFolders);
    titleRow->addWidget(m_clear);
    contentLayout()->addLayout(titleRow);
    contentLayout()->addWidget(m_list);

    auto* totals = new QHBoxLayout;
    totals->addWidget(m_count);
    totals->addStretch();
    totals->addWidget(
        Labels::make(QStringLiteral(u"总大小："), Theme::TextStyle::body, Theme::Colour::secondary));
    totals->addWidget(m_total);
    contentLayout()->addLayout(totals);

    connect(addFiles, &QPushButton::clicked, &model, [&model] { model.selectFilesForSplitCompression(); });
    connect(addFolders, &QPushButton::clicked, &model,
            [&model] { model.selectFoldersForSplitCompression(); });
    connect(m_clear, &QPushButton::clicked, &model, &SplitCompressViewModel::clearSplitCompressionItems);
    connect(&model, &SplitCompressViewModel::splitCompressionItemsChanged, this,
            &SplitCompressionFileSelectionCard::syncFromModel);
    syncFromModel();
}

QString SplitCompressionFileSelectionCard::countText() const { return m_count->text(); }

QString SplitCompressionFileSelectionCard::totalText() const { return m_total->text(); }

void SplitCompressionFileSelectionCard::syncFromModel() {
    const qsizetype count = m_model.splitCompressionItems().size();
    m_clear->setEnabled(count > 0);
    m_count->setText(SplitCompressionPageRules::itemCountText(count));
    m_total->setText(WorkbenchTexts::sizeText(m_model.splitCompressionOriginalSizeBytes()));
}
