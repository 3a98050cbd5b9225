#include "views/main/HistoryPage.h"

#include "viewmodels/DateFormattingHelper.h"
#include "viewmodels/HistoryPageRules.h"
#include "viewmodels/HistoryTableModel.h"
#include "viewmodels/HistoryViewModel.h"
#include "views/kit/Card.h"
#include "views/kit/EmptyState.h"
#include "views/kit/Labels.h"
#include "views/main/HistoryTableDelegate.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString filterButtonStyle(bool selected) {
    if (selected) {
        return QStringLiteral(
                   "QPushButton { color: white; background: %1; border: none; border-radius: 5px;"
                   " padding: 6px 14px; }")
            .arg(Theme::color(Theme::Colour::accent).name());
    }
    return QStringLiteral(
               "QPushButton { color: %1; background: transparent; border: none; padding: 6px 14px; }")
        .arg(Theme::color(Theme::Colour::primary, 0.72).name(QColor::HexArgb));
}

// Wide enough for the longest date the column shows: two-digit month, day, hour and minute.
int timeColumnWidth(const QFontMetrics& metrics) {
    const QDateTime longest(QDate(2026, 12, 28), QTime(23, 58));
    constexpr int kCellPadding = 24;
    return metrics.horizontalAdvance(DateFormattingHelper::dateTime(longest)) + kCellPadding;
}

}  // namespace

HistoryPage::HistoryPage(HistoryViewModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_delegate(new HistoryTableDelegate(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(34, 0, 34, 30);
    column->setSpacing(10);
    column->addWidget(buildTopBar());
    column->addWidget(buildTableCard(), 1);
    column->addWidget(buildPager());

    connect(&m_model, &HistoryViewModel::changed, this, &HistoryPage::syncFromModel);
    syncFromModel();
}

QWidget* HistoryPage::buildTopBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(buildFilterGroup());
    row->addStretch();
    m_search = new QLineEdit(bar);
    m_search->setPlaceholderText(QStringLiteral(u"搜索文件名或路径"));
    m_search->setClearButtonEnabled(true);
    m_search->setMinimumWidth(220);
    m_search->setMaximumWidth(320);
    row->addWidget(m_search, 1);
    m_clear = Labels::button(QStringLiteral(u"清空记录"), QStringLiteral("trash"), bar);
    row->addWidget(m_clear);

    connect(m_search, &QLineEdit::textChanged, &m_model, &HistoryViewModel::setHistorySearch);
    connect(m_clear, &QPushButton::clicked, &m_model, &HistoryViewModel::clearHistory);
    return bar;
}

QWidget* HistoryPage::buildFilterGroup() {
    auto* group = new QFrame(this);
    group->setObjectName(QStringLiteral("historyFilterGroup"));
    group->setStyleSheet(
        QStringLiteral("#historyFilterGroup { background: white; border: 1px solid rgba(0,0,0,20);"
                       " border-radius: 6px; }"));
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(3, 3, 3, 3);
    row->setSpacing(0);
    for (const HistoryPageRules::FilterButton& filter : HistoryPageRules::filterButtons()) {
        if (!m_filters.isEmpty()) {
            QFrame* divider = Labels::divider(Qt::Vertical, group);
            divider->setFixedHeight(18);
            row->addWidget(divider, 0, Qt::AlignVCenter);
        }
        auto* button = new QPushButton(filter.title, group);
        button->setFont(Theme::font(Theme::TextStyle::callout, QFont::DemiBold));
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this,
                [this, kind = filter.kind] { m_model.setHistoryFilter(kind); });
        m_filters << button;
        row->addWidget(button);
    }
    return group;
}

QWidget* HistoryPage::buildTableCard() {
    auto* card = new Card(this);
    card->setSpacing(0);
    m_tableStack = new QStackedWidget(card);
    m_table = new QTableView(m_tableStack);
    m_table->setModel(m_model.shownRecords());
    m_table->setItemDelegate(m_delegate);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setShowGrid(false);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setWordWrap(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(52);
    QHeaderView* header = m_table->horizontalHeader();
    header->setFont(Theme::font(Theme::TextStyle::headline));
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(HistoryTableModel::fileNameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(HistoryTableModel::pathColumn, QHeaderView::Stretch);
    header->resizeSection(HistoryTableModel::kindColumn, 72);
    header->resizeSection(HistoryTableModel::statusColumn, 72);
    header->resizeSection(HistoryTableModel::timeColumn, timeColumnWidth(m_table->fontMetrics()));
    header->resizeSection(HistoryTableModel::sizeColumn, 90);
    header->resizeSection(HistoryTableModel::actionsColumn, 50);
    header->setMinimumHeight(36);
    m_table->setStyleSheet(
        QStringLiteral(
            "QTableView { background: transparent; }"
            "QTableView::item { border-top: 1px solid rgba(0,0,0,18); padding-left: 4px; }"
            "QHeaderView::section { background: transparent; color: %1; border: none; padding: 0 4px; }")
            .arg(Theme::color(Theme::Colour::secondary).name()));
    m_empty = new EmptyState(QStringLiteral(u"暂无历史记录"), QStringLiteral("clock-history"), m_tableStack);
    m_tableStack->addWidget(m_table);
    m_tableStack->addWidget(m_empty);
    card->contentLayout()->addWidget(m_tableStack);

    connect(m_delegate, &HistoryTableDelegate::openRequested, this, [](const QModelIndex& index) {
        // Nothing is reported when the path is gone: the desktop decides what opening it does.
        QDesktopServices::openUrl(QUrl::fromLocalFile(index.data(HistoryTableModel::PathRole).toString()));
    });
    return card;
}

QWidget* HistoryPage::buildPager() {
    auto* pager = new QWidget(this);
    auto* row = new QHBoxLayout(pager);
    row->setContentsMargins(0, 0, 0, 0);
    m_count = Labels::make({}, Theme::TextStyle::body, Theme::Colour::secondary, pager);
    row->addWidget(m_count);
    row->addStretch();
    // Every record is on the one page; the pager is shown as it is, never enabled.
    m_previous = new QPushButton(QStringLiteral(u"上一页"), pager);
    m_next = new QPushButton(QStringLiteral(u"下一页"), pager);
    m_previous->setEnabled(false);
    m_next->setEnabled(false);
    row->addWidget(m_previous);
    row->addWidget(
        Labels::make(QStringLiteral("1"), Theme::TextStyle::headline, Theme::Colour::accent, pager));
    row->addWidget(m_next);
    return pager;
}

bool HistoryPage::showsEmptyState() const { return m_tableStack->currentWidget() == m_empty; }

void HistoryPage::syncFromModel() {
    const std::optional<ArchiveActivityKind>& kind = m_model.historyFilter();
    const QList<HistoryPageRules::FilterButton>& filters = HistoryPageRules::filterButtons();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        m_filters[i]->setStyleSheet(filterButtonStyle(filters[i].kind == kind));
    }
    if (m_search->text() != m_model.historySearch()) {
        const QSignalBlocker blocker(m_search);
        m_search->setText(m_model.historySearch());
    }
    const int shown = m_model.shownCount();
    m_count->setText(HistoryPageRules::recordCountText(shown));
    m_tableStack->setCurrentWidget(shown == 0 ? static_cast<QWidget*>(m_empty) : m_table);
}
