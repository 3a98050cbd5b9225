#include "views/main/SplitCompressionPreviewCard.h"

#include "views/kit/ElidedLabel.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/NumberedSectionTitle.h"
#include "views/kit/StatusLine.h"

#include <QFrame>
#include <QHBoxLayout>

namespace {

// The document symbol on an accent tile.
QLabel* iconTile() {
    auto* tile = new QLabel;
    tile->setFixedSize(52, 52);
    tile->setAlignment(Qt::AlignCenter);
    tile->setPixmap(
        Icons::pixmap(QStringLiteral("document-rich-text-filled"), 22, Theme::color(Theme::Colour::accent)));
    const QColor fill = Theme::color(Theme::Colour::accent, 0.12);
    tile->setStyleSheet(QStringLiteral("background: rgba(%1, %2, %3, %4); border-radius: 8px;")
                            .arg(fill.red())
                            .arg(fill.green())
                            .arg(fill.blue())
                            .arg(fill.alpha()));
    return tile;
}

// A file name on one line; a long one loses the end of its stem, never its volume suffix.
ElidedLabel* fileNameText() {
    auto* label = new ElidedLabel;
    label->setFont(Theme::font(Theme::TextStyle::headline));
    label->setKeepsVolumeSuffix(true);
    return label;
}

}  // namespace

SplitCompressionPreviewCard::SplitCompressionPreviewCard(QWidget* parent)
    : Card(parent),
      m_primaryName(fileNameText()),
      m_summary(Labels::make({}, Theme::TextStyle::caption, Theme::Colour::secondary)),
      m_original(new StatusLine(QStringLiteral(u"原始大小"))),
      m_compressed(new StatusLine(QStringLiteral(u"预计压缩后大小"))),
      m_saving(new StatusLine(QStringLiteral(u"节省比例"))),
      m_volumeSize(new StatusLine(QStringLiteral(u"分卷大小"))),
      m_partCount(new StatusLine(QStringLiteral(u"预计分卷数量"))),
      m_firstVolume(fileNameText()),
      m_rangeMark(Labels::make(QStringLiteral("~"), Theme::TextStyle::headline)),
      m_lastVolume(fileNameText()) {
    setFixedWidth(360);
    contentLayout()->addWidget(new NumberedSectionTitle(4, QStringLiteral(u"预览信息")));

    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    header->addWidget(iconTile());
    auto* names = new QVBoxLayout;
    names->setSpacing(5);
    names->addWidget(m_primaryName);
    names->addWidget(m_summary);
    header->addLayout(names, 1);
    contentLayout()->addLayout(header);

    contentLayout()->addWidget(Labels::divider(Qt::Horizontal));

    for (StatusLine* line : {m_original, m_compressed, m_saving, m_volumeSize, m_partCount})
        contentLayout()->addWidget(line);

    auto* naming = new QVBoxLayout;
    naming->setSpacing(6);
    naming->addWidget(
        Labels::make(QStringLiteral(u"文件命名规则"), Theme::TextStyle::body, Theme::Colour::secondary));
    naming->addWidget(m_firstVolume);
    auto* last = new QHBoxLayout;
    last->setSpacing(6);
    last->addWidget(m_rangeMark);
    last->addWidget(m_lastVolume, 1);
    naming->addLayout(last);
    contentLayout()->addLayout(naming);

    QLabel* estimateNote = Labels::make(QStringLiteral(u"分卷数量按原始大小估算，实际输出以压缩完成为准。"),
                                        Theme::TextStyle::caption, Theme::Colour::secondary);
    estimateNote->setWordWrap(true);
    contentLayout()->addWidget(estimateNote);
    contentLayout()->addStretch();
}

void SplitCompressionPreviewCard::showTexts(const SplitCompressionPageRules::PreviewTexts& texts) {
    if (texts == m_texts) return;
    m_texts = texts;
    m_primaryName->setText(texts.primaryFileName);
    m_summary->setText(texts.outputSummary);
    m_original->setValue(texts.originalSize);
    m_compressed->setValue(texts.compressedSize);
    m_saving->setValue(texts.saving);
    m_volumeSize->setValue(texts.volumeSize);
    m_partCount->setValue(texts.partCount);
    const bool range = texts.namingRange.size() == 2;
    m_firstVolume->setText(texts.namingRange.value(0));
    m_lastVolume->setText(texts.namingRange.value(1));
    m_rangeMark->setVisible(range);
    m_lastVolume->setVisible(range);
    for (ElidedLabel* label : {m_firstVolume, m_lastVolume}) label->setToolTip(texts.namingRule);
}
