#include "views/main/SplitExtractDropZone.h"

#include "viewmodels/SplitExtractViewModel.h"
#include "views/kit/DropIntake.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

// A centred column, 14 px apart.
QVBoxLayout* column(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setSpacing(14);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setAlignment(Qt::AlignCenter);
    return layout;
}

QLabel* centred(QLabel* label) {
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

SplitExtractDropZone::SplitExtractDropZone(SplitExtractViewModel& model, QWidget* parent)
    : DashedFrame(parent),
      m_model(model),
      m_contents(new QStackedLayout(this)),
      m_prompt(makePrompt()),
      m_scanning(makeScanning()),
      m_notSplitArchive(makeNotSplitArchive()) {
    setFill(Theme::color(Theme::Colour::textBackground, 0.28));
    setMinimumHeight(238);
    m_contents->addWidget(m_prompt);
    m_contents->addWidget(m_scanning);
    m_contents->addWidget(m_notSplitArchive);

    DropIntake::install(this, [&model](const QStringList& paths) { model.takeDroppedVolumes(paths); });
    connect(m_choose, &QPushButton::clicked, &model, [&model] { model.selectSplitArchiveForExtraction(); });
    connect(m_cancelScan, &QPushButton::clicked, this, &SplitExtractDropZone::cancelScan);
    connect(m_cancelRegular, &QPushButton::clicked, this, &SplitExtractDropZone::cancelScan);
    connect(m_regularExtract, &QPushButton::clicked, &model,
            &SplitExtractViewModel::goToRegularExtractFromSplitArchive);
    connect(&model, &SplitExtractViewModel::splitArchiveStateChanged, this,
            &SplitExtractDropZone::syncFromModel);
    syncFromModel();
}

QWidget* SplitExtractDropZone::makePrompt() {
    auto* panel = new QWidget;
    QVBoxLayout* layout = column(panel);
    auto* symbol =
        Labels::icon(QStringLiteral("folder-arrow-down-filled"), 46, Theme::color(Theme::Colour::accent));
    auto* symbolFrame = new QWidget;
    symbolFrame->setFixedSize(72, 64);
    auto* symbolLayout = new QHBoxLayout(symbolFrame);
    symbolLayout->setContentsMargins(0, 0, 0, 0);
    symbolLayout->addWidget(symbol, 0, Qt::AlignCenter);
    layout->addWidget(symbolFrame, 0, Qt::AlignHCenter);
    layout->addWidget(centred(
        Labels::make(QStringLiteral(u"拖入分卷压缩包开始解压"), Theme::TextStyle::title2, QFont::Bold)));
    layout->addWidget(
        centred(Labels::make(QStringLiteral(u"请将任意一卷文件拖入，软件将自动识别并解压完整文件"),
                             Theme::TextStyle::callout, Theme::Colour::secondary)));
    m_choose = Labels::prominentButton(QStringLiteral(u"选择文件"), QStringLiteral("chevron-down"));
    m_choose->setLayoutDirection(Qt::RightToLeft);
    m_choose->setFixedWidth(180);
    layout->addWidget(m_choose, 0, Qt::AlignHCenter);
    layout->addWidget(centred(Labels::make(QStringLiteral(u"支持 .part1.rar、.7z.001、.z01、.zip 等分卷格式"),
                                           Theme::TextStyle::caption, Theme::Colour::secondary)));
    return panel;
}

QWidget* SplitExtractDropZone::makeScanning() {
    auto* panel = new QWidget;
    QVBoxLayout* layout = column(panel);
    auto* busy = new QProgressBar;
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedSize(160, 8);
    layout->addWidget(busy, 0, Qt::AlignHCenter);
    layout->addWidget(centred(
        Labels::make(QStringLiteral(u"正在扫描同目录中的关联分卷…"), Theme::TextStyle::title3, QFont::Bold)));
    m_cancelScan = new QPushButton(QStringLiteral(u"取消扫描"));
    layout->addWidget(m_cancelScan, 0, Qt::AlignHCenter);
    return panel;
}

QWidget* SplitExtractDropZone::makeNotSplitArchive() {
    auto* panel = new QWidget;
    QVBoxLayout* layout = column(panel);
    layout->addWidget(Labels::icon(QStringLiteral("document-zip"), 46, Theme::color(Theme::Colour::accent)),
                      0, Qt::AlignHCenter);
    layout->addWidget(centred(
        Labels::make(QStringLiteral(u"该文件不是分卷压缩包"), Theme::TextStyle::title3, QFont::Bold)));
    layout->addWidget(centred(Labels::make(QStringLiteral(u"是否前往普通解压？"), Theme::TextStyle::body,
                                           Theme::Colour::secondary)));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancelRegular = new QPushButton(QStringLiteral(u"取消"));
    buttons->addWidget(m_cancelRegular);
    m_regularExtract = new QPushButton(QStringLiteral(u"前往普通解压"));
    m_regularExtract->setProperty("prominent", true);
    buttons->addWidget(m_regularExtract);
    buttons->addStretch();
    layout->addLayout(buttons);
    return panel;
}

SplitExtractPageRules::DropZoneContent SplitExtractDropZone::content() const {
    if (m_contents->currentWidget() == m_scanning) return SplitExtractPageRules::DropZoneContent::scanning;
    if (m_contents->currentWidget() == m_notSplitArchive)
        return SplitExtractPageRules::DropZoneContent::notSplitArchive;
    return SplitExtractPageRules::DropZoneContent::prompt;
}

void SplitExtractDropZone::syncFromModel() {
    switch (SplitExtractPageRules::dropZoneContent(m_model.splitArchiveState())) {
        case SplitExtractPageRules::DropZoneContent::prompt:
            m_contents->setCurrentWidget(m_prompt);
            return;
        case SplitExtractPageRules::DropZoneContent::scanning:
            m_contents->setCurrentWidget(m_scanning);
            return;
        case SplitExtractPageRules::DropZoneContent::notSplitArchive:
            m_contents->setCurrentWidget(m_notSplitArchive);
            return;
    }
}

// The model's reset also drops a scan under way: its late outcome is never applied.
void SplitExtractDropZone::cancelScan() { m_model.resetSplitArchiveState(false); }
