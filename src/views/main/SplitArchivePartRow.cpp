#include "views/main/SplitArchivePartRow.h"

#include "views/kit/ElidedLabel.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// "主卷" in accent on a faint accent capsule.
QLabel* primaryTag() {
    QLabel* tag =
        Labels::make(QStringLiteral(u"主卷"), Theme::TextStyle::caption, QFont::Bold, Theme::Colour::accent);
    const QColor fill = Theme::color(Theme::Colour::accent, 0.12);
    tag->setStyleSheet(
        QStringLiteral("background: rgba(%1, %2, %3, %4); border-radius: 7px; padding: 1px 5px;")
            .arg(fill.red())
            .arg(fill.green())
            .arg(fill.blue())
            .arg(fill.alpha()));
    return tag;
}

}  // namespace

SplitArchivePartRow::SplitArchivePartRow(const SplitArchivePart& part, QWidget* parent)
    : QAbstractButton(parent), m_part(part), m_look(SplitExtractPageRules::partRowLook(part)) {
    setCursor(m_part.url ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(m_part.url.value_or(m_part.expectedFileName));
    const QColor symbolColor = Theme::color(m_look.symbolColour);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 9, 12, 9);
    row->setSpacing(10);
    row->addWidget(Labels::icon(m_look.leadingSymbol, 18, symbolColor));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* nameLine = new QHBoxLayout;
    nameLine->setSpacing(6);
    auto* name = new ElidedLabel(m_look.fileName);
    name->setFont(Theme::font(Theme::TextStyle::callout, QFont::DemiBold));
    name->setKeepsVolumeSuffix(true);
    nameLine->addWidget(name, 1);
    if (m_part.isPrimary) nameLine->addWidget(primaryTag());
    texts->addLayout(nameLine);
    if (!m_look.detail.isEmpty()) {
        auto* detail = new ElidedLabel(m_look.detail);
        detail->setElideMode(Qt::ElideRight);
        detail->setFont(Theme::font(Theme::TextStyle::caption));
        detail->setColor(Theme::color(Theme::Colour::orange));
        texts->addWidget(detail);
    }
    row->addLayout(texts, 1);
    row->addSpacing(8);
    row->addWidget(Labels::icon(m_look.trailingSymbol, 16, symbolColor));
}

QSize SplitArchivePartRow::sizeHint() const { return layout()->sizeHint(); }

void SplitArchivePartRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::color(m_look.borderColour, m_look.borderOpacity), 1));
    painter.setBrush(Theme::color(Theme::Colour::textBackground));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
}
