#include "views/main/TaskCard.h"

#include "viewmodels/TasksViewModel.h"
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
    label->setMaximumLines(2);
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

TaskCard::TaskCard(const ArchiveTask& task, TasksViewModel& model, QWidget* parent)
    : Card(parent),
      m_task(task),
      m_model(model),
      m_icon(new FileIcon(task.kind, 38, this)),
      m_name(elided(Theme::TextStyle::headline, Theme::Colour::primary, this)),
      m_target(elided(Theme::TextStyle::caption, Theme::Colour::secondary, this)),
      m_badge(new StatusBadge(task.status, this)),
      m_bar(new CapsuleProgressBar(8, this)),
      m_percent(Labels::make({}, Theme::TextStyle::caption, QFont::DemiBold)),
      m_message(elided(Theme::TextStyle::caption, Theme::Colour::secondary, this)),
      m_actions(new QHBoxLayout) {
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
    m_actions->setSpacing(8);
    bottom->addLayout(m_actions);
    progress->addLayout(bottom);
    content->addLayout(progress);

    showTask(task);
    syncActions();
}

void TaskCard::setTask(const ArchiveTask& task) {
    const bool statusChanged = task.status != m_task.status;
    showTask(task);
    if (statusChanged) syncActions();
}

void TaskCard::showTask(const ArchiveTask& task) {
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
}

QString TaskCard::percentText() const {
    return WorkbenchTexts::percentText(TaskPageRules::clampedProgress(m_task.progress));
}

QPushButton* TaskCard::actionButton(TaskAction action) const {
    const auto found = m_buttons.find(action);
    return found == m_buttons.end() ? nullptr : found->second;
}

void TaskCard::syncActions() {
    // A button may be the one whose click changed the status: it goes once its click is over.
    for (const auto& [action, button] : m_buttons) {
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    for (TaskAction action : TaskPageRules::actions(m_task.status)) {
        QPushButton* button = makeButton(action);
        m_buttons[action] = button;
        m_actions->addWidget(button);
    }
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
    const QUuid id = m_task.id;
    connect(button, &QPushButton::clicked, this, [this, action, id] {
        switch (action) {
            case TaskAction::pause:
                m_model.pauseTask(id);
                break;
            case TaskAction::cancel:
                m_model.cancelTask(id);
                break;
            case TaskAction::remove:
                m_model.removeTask(id);
                break;
        }
    });
    return button;
}
