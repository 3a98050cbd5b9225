#include "views/main/TasksPage.h"

#include "viewmodels/TaskPageRules.h"
#include "viewmodels/TasksViewModel.h"
#include "views/kit/EmptyState.h"
#include "views/kit/Labels.h"
#include "views/kit/QuietSync.h"
#include "views/kit/ScrollingList.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/TaskCard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QString filterButtonStyle(bool selected) {
    const Theme::Colour tint = selected ? Theme::Colour::accent : Theme::Colour::secondary;
    return QStringLiteral(
               "QPushButton { color: %1; background: %2; border: 1px solid %3; border-radius: 6px;"
               " padding: 5px 12px; }")
        .arg(Theme::color(tint).name(), Theme::color(tint, selected ? 0.14 : 0.08).name(QColor::HexArgb),
             Theme::color(tint, 0.35).name(QColor::HexArgb));
}

}  // namespace

TasksPage::TasksPage(TasksViewModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(34, 0, 34, 30);
    column->setSpacing(18);
    column->addWidget(buildFilterBar());
    column->addWidget(buildList(), 1);
    column->addWidget(buildBottomBar());

    connect(&m_model, &TasksViewModel::tasksChanged, this, &TasksPage::sync);
    connect(&m_model, &TasksViewModel::changed, this, &TasksPage::sync);
    sync();
}

QWidget* TasksPage::buildFilterBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    for (const TaskPageRules::FilterButton& filter : TaskPageRules::filterButtons({})) {
        auto* button = new QPushButton(bar);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this,
                [this, status = filter.status] { m_model.setTaskFilter(status); });
        m_filters << button;
        row->addWidget(button);
    }
    row->addStretch();
    return bar;
}

QWidget* TasksPage::buildList() {
    const ScrollingList::Parts list = ScrollingList::make(this);
    m_list = list.rows;
    m_list->setContentsMargins(0, 0, 0, 24);
    m_list->setSpacing(16);
    m_empty =
        new EmptyState(QStringLiteral(u"暂无任务"), QStringLiteral("list-bulleted"), list.area->widget());
    m_list->addWidget(m_empty);
    m_list->addStretch();
    return list.area;
}

QWidget* TasksPage::buildBottomBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_count = Labels::make({}, Theme::TextStyle::body, Theme::Colour::secondary, bar);
    row->addWidget(m_count);
    row->addStretch();
    m_clearCompleted = new QPushButton(QStringLiteral(u"清空已完成"), bar);
    m_pauseAll = Labels::prominentButton(QStringLiteral(u"全部暂停"), QStringLiteral("pause-filled"), bar);
    row->addWidget(m_clearCompleted);
    row->addWidget(m_pauseAll);
    connect(m_clearCompleted, &QPushButton::clicked, &m_model, &TasksViewModel::clearCompletedTasks);
    connect(m_pauseAll, &QPushButton::clicked, &m_model, &TasksViewModel::pauseAllRunningTasks);
    return bar;
}

QList<TaskCard*> TasksPage::cards() const {
    QList<TaskCard*> shown;
    for (int i = 0; i < m_list->count(); ++i) {
        if (auto* card = qobject_cast<TaskCard*>(m_list->itemAt(i)->widget())) shown << card;
    }
    return shown;
}

bool TasksPage::showsEmptyState() const { return !m_empty->isHidden(); }

void TasksPage::sync() {
    syncFilterBar();
    placeCards();
}

void TasksPage::syncFilterBar() {
    const QList<TaskPageRules::FilterButton> filters = m_model.filterButtons();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        QPushButton* button = m_filters[i];
        button->setText(filters[i].title);
        // Progress reports arrive many times a second; the style changes only with the filter.
        const bool selected = filters[i].status == m_model.taskFilter();
        if (button->property("selected").toBool() == selected && !button->styleSheet().isEmpty()) continue;
        button->setProperty("selected", selected);
        button->setStyleSheet(filterButtonStyle(selected));
    }
}

// Cards of tasks no longer shown go; the others keep their widget, take the task's new state and
// stand in the store's order.
void TasksPage::placeCards() {
    const QList<ArchiveTask> shown = m_model.shownTasks();
    QHash<QUuid, TaskCard*> kept;
    for (qsizetype position = 0; position < shown.size(); ++position) {
        const ArchiveTask& task = shown[position];
        TaskCard* card = m_cards.take(task.id);
        if (card) {
            card->setTask(task);
        } else {
            card = new TaskCard(task, m_model, m_list->parentWidget());
        }
        if (m_list->indexOf(card) != position) {
            m_list->removeWidget(card);
            m_list->insertWidget(int(position), card);
        }
        kept.insert(task.id, card);
    }
    // A card may be the one whose button removed its task: it goes once that click is over.
    for (TaskCard* gone : std::as_const(m_cards)) {
        m_list->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    m_cards = kept;
    m_empty->setVisible(shown.isEmpty());
    m_count->setText(TaskPageRules::taskCountText(shown.size()));
    // Over every task, as the button pauses every running one whatever the filter shows.
    QuietSync::setEnabled(m_pauseAll, WorkbenchTexts::firstRunningTask(m_model.tasks()).has_value());
}
