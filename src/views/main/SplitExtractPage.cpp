#include "views/main/SplitExtractPage.h"

#include "viewmodels/SplitExtractViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Labels.h"
#include "views/kit/QuietSync.h"
#include "views/main/SplitExtractDropZone.h"
#include "views/main/SplitExtractInfoPanel.h"
#include "views/main/SplitExtractSettingsPanel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

SplitExtractPage::SplitExtractPage(SplitExtractViewModel& model, TasksViewModel& tasks, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_dropZone(new SplitExtractDropZone(model)),
      m_info(new SplitExtractInfoPanel(model)),
      m_settings(new SplitExtractSettingsPanel(model)),
      m_cancel(new QPushButton(QStringLiteral(u"取消"))),
      m_start(Labels::prominentButton(QStringLiteral(u"开始解压"), QStringLiteral("play-filled"))) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(34, 0, 34, 34);
    layout->setSpacing(18);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(Labels::make(QStringLiteral(u"分卷解压"), Theme::TextStyle::title2, QFont::Bold), 0,
                      Qt::AlignBaseline);
    header->addWidget(Labels::make(QStringLiteral(u"支持 RAR、7Z、ZIP 等格式的分卷压缩包解压"),
                                   Theme::TextStyle::callout, Theme::Colour::secondary),
                      0, Qt::AlignBaseline);
    header->addStretch();
    layout->addLayout(header);
    layout->addWidget(m_dropZone);
    layout->addWidget(new FeedbackBanner(model.context(), tasks));
    layout->addWidget(m_info);
    layout->addWidget(m_settings);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancel->setFixedSize(120, 40);
    buttons->addWidget(m_cancel);
    m_start->setFixedWidth(150);
    buttons->addWidget(m_start);
    layout->addLayout(buttons);
    layout->addStretch();

    connect(m_cancel, &QPushButton::clicked, &model, &SplitExtractViewModel::clearSelection);
    // The options are read at the press; the verify option is not among them, since the scan has
    // validated the set before the button could be pressed.
    connect(m_start, &QPushButton::clicked, this, [this] {
        m_model.extractSelectedSplitArchive(m_model.shouldOpenSplitArchiveDestinationAfterExtract(),
                                            m_model.shouldNotifyAfterSplitArchiveExtract());
    });
    connect(&model, &SplitExtractViewModel::splitArchiveDescriptorChanged, this,
            &SplitExtractPage::syncStartButton);
    connect(&model.context(), &WorkbenchContext::isWorkingChanged, this, &SplitExtractPage::syncStartButton);
    syncStartButton();
}

void SplitExtractPage::syncStartButton() {
    QuietSync::setEnabled(m_start, m_model.splitArchiveStartButtonEnabled());
}
