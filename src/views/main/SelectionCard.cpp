#include "views/main/SelectionCard.h"

#include "views/kit/EmptyState.h"
#include "views/kit/FileList.h"
#include "views/kit/Labels.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

SelectionCard::SelectionCard(const Texts& texts, ArchiveActivityKind kind, const SelectionSizes& sizes,
                             QWidget* parent)
    : Card(parent),
      m_texts(texts),
      m_header(Labels::make({}, Theme::TextStyle::title3, QFont::DemiBold)),
      m_add(Labels::button(texts.addTitle, QStringLiteral("plus-circle"), this)),
      m_clear(Labels::button(QStringLiteral(u"清空列表"), QStringLiteral("trash"), this)),
      m_empty(new EmptyState(texts.emptyTitle, texts.emptyIconName, this)),
      m_list(new FileList(kind, sizes, this)) {
    auto* header = new QHBoxLayout;
    header->addWidget(m_header);
    header->addStretch();
    header->addWidget(m_add);
    header->addWidget(m_clear);
    contentLayout()->addLayout(header);
    contentLayout()->addWidget(Labels::divider(Qt::Horizontal, this));
    contentLayout()->addWidget(m_empty);
    contentLayout()->addWidget(m_list);
    setPaths({});
}

void SelectionCard::setPaths(const QStringList& paths) {
    m_header->setText(QStringLiteral(u"已选择 ") + QString::number(paths.size()) + m_texts.unit);
    m_empty->setVisible(paths.isEmpty());
    m_list->setVisible(!paths.isEmpty());
    m_list->setPaths(paths);
}

QString SelectionCard::headerText() const { return m_header->text(); }

bool SelectionCard::showsEmptyState() const { return !m_empty->isHidden(); }
