#include "views/main/SplitExtractInfoPanel.h"

#include "core/split/SplitArchiveExtractionCoordinator.h"
#include "viewmodels/SplitExtractViewModel.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/EmptyState.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Labels.h"
#include "views/main/SplitArchivePartRow.h"
#include "views/main/SplitExtractMetric.h"
#include "views/main/SplitExtractPageRules.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QString rgba(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

ElidedLabel* captionLine(const QString& text) {
    auto* label = new ElidedLabel(text);
    label->setFont(Theme::font(Theme::TextStyle::caption));
    label->setColor(Theme::color(Theme::Colour::secondary));
    return label;
}

// The verdict's colour on a capsule of the same colour at 12 %.
QLabel* formatBadge(const QString& text, Theme::Colour colour) {
    QLabel* badge = Labels::make(text, Theme::TextStyle::caption, QFont::DemiBold, colour);
    badge->setStyleSheet(QStringLiteral("background: %1; border-radius: 8px; padding: 3px 8px;")
                             .arg(rgba(Theme::color(colour, 0.12))));
    badge->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return badge;
}

QLabel* messageBox(const QString& text, Theme::Colour colour) {
    QLabel* box = Labels::make(text, Theme::TextStyle::callout, QFont::DemiBold, colour);
    box->setWordWrap(true);
    box->setStyleSheet(QStringLiteral("background: %1; border-radius: 8px; padding: 10px;")
                           .arg(rgba(Theme::color(colour, 0.1))));
    return box;
}

}  // namespace

SplitExtractInfoPanel::SplitExtractInfoPanel(SplitExtractViewModel& model, QWidget* parent)
    : Card(parent), m_model(model) {
    contentLayout()->addWidget(
        Labels::make(QStringLiteral(u"分卷信息"), Theme::TextStyle::title3, QFont::Bold));
    connect(&model, &SplitExtractViewModel::splitArchiveDescriptorChanged, this,
            &SplitExtractInfoPanel::syncFromModel);
    connect(&model, &SplitExtractViewModel::splitArchiveStateChanged, this,
            &SplitExtractInfoPanel::syncFromModel);
    rebuild();
}

QString SplitExtractInfoPanel::badgeText() const { return m_badgeText; }

QString SplitExtractInfoPanel::emptyText() const { return m_shownEmptyText; }

void SplitExtractInfoPanel::syncFromModel() {
    const std::optional<SplitArchiveDescriptor>& descriptor = m_model.splitArchiveDescriptor();
    const QString emptyText =
        descriptor ? QString() : SplitExtractPageRules::emptyInfo(m_model.splitArchiveState()).text;
    if (descriptor == m_shownDescriptor && emptyText == m_shownEmptyText) return;
    rebuild();
}

void SplitExtractInfoPanel::rebuild() {
    delete m_content;
    m_partRows.clear();
    m_metrics.clear();
    m_badgeText.clear();
    m_shownDescriptor = m_model.splitArchiveDescriptor();
    if (m_shownDescriptor) {
        m_shownEmptyText.clear();
        m_content = makeSetView(*m_shownDescriptor);
    } else {
        const SplitExtractPageRules::EmptyInfo empty =
            SplitExtractPageRules::emptyInfo(m_model.splitArchiveState());
        m_shownEmptyText = empty.text;
        m_content = new EmptyState(empty.text, empty.symbol);
        m_content->setMinimumHeight(132);
    }
    contentLayout()->addWidget(m_content);
}

QWidget* SplitExtractInfoPanel::makeSetView(const SplitArchiveDescriptor& descriptor) {
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addWidget(makeHeader(descriptor));
    if (descriptor.validationMessage) {
        layout->addWidget(messageBox(*descriptor.validationMessage,
                                     SplitExtractPageRules::validationColour(descriptor.validationState)));
    }
    layout->addWidget(Labels::divider(Qt::Horizontal));
    layout->addWidget(Labels::make(QStringLiteral(u"分卷文件列表"), Theme::TextStyle::headline));
    layout->addWidget(makePartGrid(descriptor));
    return view;
}

QWidget* SplitExtractInfoPanel::makeHeader(const SplitArchiveDescriptor& descriptor) {
    const Theme::Colour verdict = SplitExtractPageRules::validationColour(descriptor.validationState);
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(18);
    row->addWidget(new FileIcon(ArchiveActivityKind::extract));

    auto* names = new QVBoxLayout;
    names->setSpacing(5);
    auto* nameLine = new QHBoxLayout;
    nameLine->setSpacing(8);
    auto* name = new ElidedLabel(descriptor.archiveName);
    name->setFont(Theme::font(Theme::TextStyle::headline));
    name->setKeepsVolumeSuffix(true);
    // As wide as the name when there is room, so the badge follows it; cut when there is not.
    name->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    nameLine->addWidget(name);
    m_badgeText = SplitArchiveExtractionCoordinator::archiveFormatText(descriptor);
    nameLine->addWidget(formatBadge(m_badgeText, verdict));
    nameLine->addStretch(1);
    names->addLayout(nameLine);
    ElidedLabel* primary =
        captionLine(QStringLiteral(u"主卷：") + SplitExtractPageRules::primaryName(descriptor));
    primary->setKeepsVolumeSuffix(true);
    names->addWidget(primary);
    names->addWidget(captionLine(QStringLiteral(u"所在目录：") + descriptor.directoryURL));
    row->addLayout(names, 1);

    const qsizetype missing = descriptor.missingPartFileNames.size();
    m_metrics = {
        new SplitExtractMetric(QStringLiteral(u"分卷总数"), QString::number(descriptor.parts.size()),
                               Theme::Colour::primary),
        new SplitExtractMetric(QStringLiteral(u"已找到"), QString::number(descriptor.foundPartCount()),
                               Theme::Colour::green),
        new SplitExtractMetric(QStringLiteral(u"缺失数量"), QString::number(missing),
                               SplitExtractPageRules::missingCountColour(missing)),
        new SplitExtractMetric(QStringLiteral(u"总大小"),
                               SplitExtractPageRules::splitArchiveTotalSizeDescription(descriptor),
                               Theme::Colour::primary),
        new SplitExtractMetric(QStringLiteral(u"状态"),
                               SplitArchiveValidationStates::title(descriptor.validationState), verdict),
    };
    for (SplitExtractMetric* metric : m_metrics) row->addWidget(metric);
    return header;
}

QWidget* SplitExtractInfoPanel::makePartGrid(const SplitArchiveDescriptor& descriptor) {
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(10);
    for (int column = 0; column < 3; ++column) layout->setColumnStretch(column, 1);
    int index = 0;
    for (const SplitArchivePart& part : descriptor.parts) {
        auto* row = new SplitArchivePartRow(part);
        connect(row, &SplitArchivePartRow::clicked, &m_model,
                [this, part] { m_model.revealSplitArchivePart(part); });
        layout->addWidget(row, index / 3, index % 3);
        m_partRows.append(row);
        ++index;
    }
    return grid;
}
