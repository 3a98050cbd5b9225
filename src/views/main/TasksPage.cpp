#include "views/main/TasksPage.h"

#include "viewmodels/TaskListModel.h"
#include "viewmodels/TaskPageRules.h"
#include "viewmodels/TasksViewModel.h"
#include "views/kit/EmptyState.h"
#include "views/kit/Labels.h"
#include "views/kit/QuietSync.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/TaskListDelegate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
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
    m_condition =
        Labels::make(m_model.taskListCondition(), Theme::TextStyle::callout, Theme::Colour::red, this);
    m_condition->setWordWrap(true);
    m_condition->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_condition->setVisible(!m_condition->text().isEmpty());
    column->addWidget(m_condition);
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
    m_listStack = new QStackedWidget(this);
    m_list = new QListView(m_listStack);
    m_list->setModel(m_model.shownTaskRows());
    m_delegate = new TaskListDelegate(m_list);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->verticalScrollBar()->setSingleStep(24);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusPolicy(Qt::StrongFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMouseTracking(true);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    m_empty = new EmptyState(QStringLiteral(u"暂无任务"), QStringLiteral("list-bulleted"), m_listStack);
    m_listStack->addWidget(m_list);
    m_listStack->addWidget(m_empty);

    connect(m_delegate, &TaskListDelegate::actionRequested, this,
            [this](const QUuid& id, TaskPageRules::TaskAction action) {
                switch (action) {
                    case TaskPageRules::TaskAction::pause:
                        m_model.pauseTask(id);
                        break;
                    case TaskPageRules::TaskAction::cancel:
                        m_model.cancelTask(id);
                        break;
                    case TaskPageRules::TaskAction::remove:
                        m_model.removeTask(id);
                        break;
                }
            });
    return m_listStack;
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

const TaskCard* TasksPage::card(const QUuid& taskId) const {
    const QAbstractItemModel* rows = m_list->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        const QModelIndex index = rows->index(row, 0);
        if (index.data(TaskListModel::TaskRole).value<ArchiveTask>().id == taskId)
            return &m_delegate->cardFor(index, m_list->visualRect(index));
    }
    return nullptr;
}

bool TasksPage::showsEmptyState() const { return m_listStack->currentWidget() == m_empty; }

void TasksPage::sync() {
    syncFilterBar();
    const int shown = m_list->model()->rowCount();
    m_listStack->setCurrentWidget(shown == 0 ? static_cast<QWidget*>(m_empty) : m_list);
    m_count->setText(TaskPageRules::taskCountText(shown));
    // Over every task, as the button pauses every running one whatever the filter shows.
    QuietSync::setEnabled(m_pauseAll, WorkbenchTexts::firstRunningTask(m_model.tasks()).has_value());
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
