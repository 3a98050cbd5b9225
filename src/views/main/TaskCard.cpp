#include "views/main/TaskCard.h"

#include "views/kit/CapsuleProgressBar.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/StatusBadge.h"
#include "views/kit/WorkbenchTexts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using TaskPageRules::TaskAction;

namespace {

ElidedLabel* elided(Theme::TextStyle style, Theme::Colour colour, QWidget* parent) {
    auto* label = new ElidedLabel({}, parent);
    label->setFont(Theme::font(style));
    label->setColor(Theme::color(colour));
    return label;
}

struct ActionLook {
    QString title;
    QString iconName;
    bool destructive;
};

ActionLook look(TaskAction action) {
    switch (action) {
        case TaskAction::pause:
            return {QStringLiteral(u"暂停"), QStringLiteral("pause-filled"), false};
        case TaskAction::cancel:
            return {QStringLiteral(u"取消"), QStringLiteral("cross"), true};
        case TaskAction::remove:
            return {QStringLiteral(u"删除"), QStringLiteral("trash"), true};
    }
    return {};
}

}  // namespace

TaskCard::TaskCard(QWidget* parent)
    : Card(parent),
      m_icon(new FileIcon(m_task.kind, 38, this)),
      m_name(elided(Theme::TextStyle::headline, Theme::Colour::primary, this)),
      m_target(elided(Theme::TextStyle::caption, Theme::Colour::secondary, this)),
      m_badge(new StatusBadge(m_task.status, this)),
      m_bar(new CapsuleProgressBar(8, this)),
      m_percent(Labels::make({}, Theme::TextStyle::caption, QFont::DemiBold)),
      m_message(elided(Theme::TextStyle::caption, Theme::Colour::secondary, this)) {
    m_message->setMaximumLines(2);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QVBoxLayout* content = contentLayout();
    content->setSpacing(14);
    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    header->addWidget(m_icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->setSpacing(6);
    names->addWidget(m_name);
    names->addWidget(m_target);
    header->addLayout(names, 1);
    header->addSpacing(12);
    header->addWidget(m_badge, 0, Qt::AlignTop);
    content->addLayout(header);

    auto* progress = new QVBoxLayout;
    progress->setSpacing(8);
    progress->addWidget(m_bar);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(10);
    m_percent->setFixedWidth(46);
    bottom->addWidget(m_percent, 0, Qt::AlignTop);
    bottom->addWidget(m_message, 1, Qt::AlignTop);
    bottom->addSpacing(8);
    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    for (TaskAction action : {TaskAction::pause, TaskAction::cancel, TaskAction::remove}) {
        m_buttons[action] = makeButton(action);
        actions->addWidget(m_buttons[action], 0, Qt::AlignTop);
    }
    bottom->addLayout(actions);
    progress->addLayout(bottom);
    content->addLayout(progress);
    // A row has room for the buttons; a card without them keeps its rows together at the top.
    content->addStretch();

    setTask(m_task);
}

void TaskCard::setTask(const ArchiveTask& task) {
    m_task = task;
    m_icon->setKind(task.kind);
    m_name->setText(task.name);
    m_target->setText(task.targetPath);
    m_badge->setStatus(task.status);
    m_bar->setFillColour(Theme::statusBarColour(task.status));
    m_bar->setProgress(TaskPageRules::clampedProgress(task.progress));
    m_percent->setText(percentText());
    QPalette palette = m_percent->palette();
    palette.setColor(QPalette::WindowText, Theme::color(Theme::statusColour(task.status)));
    m_percent->setPalette(palette);
    m_message->setText(task.message);
    const QList<TaskAction> offered = TaskPageRules::actions(task.status);
    for (const auto& [action, button] : m_buttons) button->setVisible(offered.contains(action));
}

void TaskCard::fitInto(const QSize& size) {
    QVBoxLayout* content = contentLayout();
    content->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    const int over = std::max(0, content->totalHeightForWidth(size.width()) - size.height());
    content->setContentsMargins(kMargin, kMargin, kMargin,
                                kMargin - std::min(over, kMargin - kLeastBottomMargin));
    resize(size);
    content->activate();
}

QString TaskCard::percentText() const {
    return WorkbenchTexts::percentText(TaskPageRules::clampedProgress(m_task.progress));
}

QPushButton* TaskCard::actionButton(TaskAction action) const {
    QPushButton* button = m_buttons.at(action);
    return button->isHidden() ? nullptr : button;
}

QList<TaskAction> TaskCard::offeredActions() const { return TaskPageRules::actions(m_task.status); }

QRect TaskCard::actionRect(TaskAction action) const {
    const QPushButton* button = actionButton(action);
    return button ? QRect(button->mapTo(this, QPoint()), button->size()) : QRect();
}

std::optional<TaskAction> TaskCard::actionAt(const QPoint& position) const {
    for (const TaskAction action : offeredActions()) {
        if (actionRect(action).contains(position)) return action;
    }
    return std::nullopt;
}

void TaskCard::showPointer(std::optional<TaskAction> hovered, std::optional<TaskAction> pressed) {
    for (const auto& [action, button] : m_buttons) {
        button->setAttribute(Qt::WA_UnderMouse, hovered == action);
        button->setDown(pressed == action);
    }
}

QString TaskCard::cutTextAt(const QPoint& position) const {
    for (const ElidedLabel* label : {m_name, m_target, m_message}) {
        if (QRect(label->mapTo(this, QPoint()), label->size()).contains(position) && label->isCut())
            return label->text();
    }
    return {};
}

QPushButton* TaskCard::makeButton(TaskAction action) {
    const ActionLook actionLook = look(action);
    const Theme::Colour colour = actionLook.destructive ? Theme::Colour::red : Theme::Colour::accent;
    auto* button =
        new QPushButton(Icons::icon(actionLook.iconName, Theme::color(colour)), actionLook.title, this);
    button->setIconSize(QSize(13, 13));
    if (actionLook.destructive) {
        button->setStyleSheet(QStringLiteral("QPushButton { color: %1; }").arg(Theme::color(colour).name()));
    }
    return button;
}
