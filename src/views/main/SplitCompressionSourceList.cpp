#include "views/main/SplitCompressionSourceList.h"

#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/DropIntake.h"
#include "views/kit/EmptyState.h"
#include "views/kit/Labels.h"
#include "views/main/SplitCompressionSourceRow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStackedLayout>

namespace {

QLabel* headerText(const QString& text, int width) {
    auto* label = Labels::make(text, Theme::TextStyle::caption, QFont::DemiBold, Theme::Colour::secondary);
    if (width > 0) label->setFixedWidth(width);
    return label;
}

// "名称 | 路径 | 大小 | 类型 |" over the rows' columns.
QWidget* columnHeader() {
    auto* header = new QWidget;
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Theme::color(Theme::Colour::textBackground, 0.7));
    header->setPalette(palette);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(12);
    layout->addSpacing(24);
    layout->addWidget(headerText(QStringLiteral(u"名称"), 0), 1);
    layout->addWidget(headerText(QStringLiteral(u"路径"), 0), 1);
    layout->addWidget(headerText(QStringLiteral(u"大小"), 120));
    layout->addWidget(headerText(QStringLiteral(u"类型"), 90));
    layout->addSpacing(36);
    return header;
}

QWidget* sizingIndicator() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setSpacing(10);
    layout->addStretch();
    auto* busy = new QProgressBar;
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedSize(120, 6);
    layout->addWidget(busy, 0, Qt::AlignHCenter);
    layout->addWidget(Labels::make(QStringLiteral(u"正在计算文件夹大小…"), Theme::TextStyle::body,
                                   Theme::Colour::secondary),
                      0, Qt::AlignHCenter);
    layout->addStretch();
    return panel;
}

}  // namespace

SplitCompressionSourceList::SplitCompressionSourceList(SplitCompressViewModel& model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_empty(
          new EmptyState(QStringLiteral(u"拖入文件或文件夹开始分卷压缩"), QStringLiteral("document-plus"))),
      m_sizing(sizingIndicator()),
      m_rowsPanel(new QWidget),
      m_rows(new QVBoxLayout(m_rowsPanel)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(columnHeader());

    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    auto* bodyHolder = new QWidget;
    m_body = new QStackedLayout(bodyHolder);
    m_empty->setMinimumHeight(112);
    m_sizing->setMinimumHeight(112);
    m_body->addWidget(m_empty);
    m_body->addWidget(m_sizing);
    m_body->addWidget(m_rowsPanel);
    layout->addWidget(bodyHolder);

    DropIntake::install(this, [&model](const QStringList& paths) { model.addSplitCompressionItems(paths); });
    connect(&model, &SplitCompressViewModel::splitCompressionItemsChanged, this,
            &SplitCompressionSourceList::syncFromModel);
    connect(&model, &SplitCompressViewModel::isCalculatingSplitCompressionItemsChanged, this,
            &SplitCompressionSourceList::syncFromModel);
    syncFromModel();
}

SplitCompressionSourceList::Body SplitCompressionSourceList::body() const {
    if (m_body->currentWidget() == m_rowsPanel) return Body::rows;
    return m_body->currentWidget() == m_sizing ? Body::sizing : Body::empty;
}

int SplitCompressionSourceList::rowCount() const { return int(m_shownItems.size()); }

void SplitCompressionSourceList::syncFromModel() {
    const QList<SplitCompressionSourceItem>& items = m_model.splitCompressionItems();
    if (items != m_shownItems) rebuildRows();
    // The sizing indicator stands in for the placeholder only; listed rows stay while more are sized.
    QWidget* body = !items.isEmpty()                               ? m_rowsPanel
                    : m_model.isCalculatingSplitCompressionItems() ? m_sizing
                                                                   : m_empty;
    m_body->setCurrentWidget(body);
}

void SplitCompressionSourceList::rebuildRows() {
    // Later, not now: the row whose remove button started this is still in its click handler.
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    m_shownItems = m_model.splitCompressionItems();
    for (const SplitCompressionSourceItem& item : m_shownItems) {
        auto* row = new SplitCompressionSourceRow(item);
        connect(row, &SplitCompressionSourceRow::removeRequested, this,
                [this](const SplitCompressionSourceItem& removed) {
                    m_model.removeSplitCompressionItem(removed);
                });
        m_rows->addWidget(row);
        m_rows->addWidget(Labels::divider(Qt::Horizontal));
    }
}

void SplitCompressionSourceList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Theme::color(Theme::Colour::black, 0.06), 1));
    painter.setBrush(Theme::color(Theme::Colour::textBackground, 0.35));
    painter.drawRoundedRect(frame, 8, 8);
}
