#include "views/kit/FeedbackBanner.h"

#include "viewmodels/TasksViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/CapsuleProgressBar.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/WorkbenchTexts.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kSymbolSize = 16;

QToolButton* taskButton(const QString& iconName, const QString& toolTip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(Icons::icon(iconName, Theme::color(Theme::Colour::secondary)));
    button->setIconSize(QSize(13, 13));
    button->setFixedSize(22, 22);
    button->setAutoRaise(true);
    button->setToolTip(toolTip);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

FeedbackBanner::FeedbackBanner(WorkbenchContext& model, TasksViewModel& tasks, QWidget* parent, Room room)
    : QWidget(parent),
      m_model(model),
      m_tasks(tasks),
      m_room(room),
      m_symbol(new QLabel(this)),
      m_message(new ElidedLabel({}, this)),
      m_taskRow(new QWidget(this)),
      m_percent(
          Labels::make({}, Theme::TextStyle::callout, QFont::DemiBold, Theme::Colour::accent, m_taskRow)),
      m_pause(taskButton(QStringLiteral("pause-filled"), QStringLiteral(u"暂停任务"), m_taskRow)),
      m_cancel(taskButton(QStringLiteral("cross"), QStringLiteral(u"取消任务"), m_taskRow)),
      m_bar(new CapsuleProgressBar(6, this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 10, 14, 10);
    column->setSpacing(8);
    column->addStretch(1);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    m_symbol->setFixedSize(kSymbolSize, kSymbolSize);
    row->addWidget(m_symbol);
    m_message->setFont(Theme::font(Theme::TextStyle::callout, QFont::DemiBold));
    row->addWidget(m_message, 1);
    auto* taskLayout = new QHBoxLayout(m_taskRow);
    taskLayout->setContentsMargins(0, 0, 0, 0);
    taskLayout->setSpacing(6);
    // A steady width, so the buttons do not move while the number grows.
    m_percent->setMinimumWidth(QFontMetrics(m_percent->font()).horizontalAdvance(QStringLiteral("100%")));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    taskLayout->addWidget(m_percent);
    taskLayout->addWidget(m_pause);
    taskLayout->addWidget(m_cancel);
    row->addWidget(m_taskRow);
    column->addLayout(row);
    column->addWidget(m_bar);
    column->addStretch(1);
    // The height with a task whether or not one runs, so the page does not move when one starts.
    keepRoom(room == Room::alwaysKept);
    setFixedHeight(column->contentsMargins().top() + column->contentsMargins().bottom() +
                   std::max({row->sizeHint().height(), m_pause->height(), kSymbolSize}) + column->spacing() +
                   m_bar->sizeHint().height());

    connect(m_pause, &QToolButton::clicked, this, [this] {
        if (!m_taskId.isNull()) m_tasks.pauseTask(m_taskId);
    });
    connect(m_cancel, &QToolButton::clicked, this, [this] {
        if (!m_taskId.isNull()) m_tasks.cancelTask(m_taskId);
    });
    connect(&m_model, &WorkbenchContext::statusMessageChanged, this, &FeedbackBanner::syncFromModel);
    connect(&m_model, &WorkbenchContext::isWorkingChanged, this, &FeedbackBanner::syncFromModel);
    connect(&m_tasks, &TasksViewModel::tasksChanged, this, &FeedbackBanner::syncFromModel);
    // Leaving the page ends its use: a page shown again without a message has no empty band.
    connect(&m_model, &WorkbenchContext::selectedSectionChanged, this, [this] {
        if (m_room == Room::keptWhileInUse) keepRoom(m_model.statusMessage().has_value());
    });
    syncFromModel();
}

void FeedbackBanner::keepRoom(bool keep) {
    QSizePolicy policy = sizePolicy();
    if (policy.retainSizeWhenHidden() == keep) return;
    policy.setRetainSizeWhenHidden(keep);
    setSizePolicy(policy);
}

FeedbackBanner::Look FeedbackBanner::look(bool working, StatusKind kind) {
    using Theme::Colour;
    if (working) return {QStringLiteral("archive-box-filled"), Colour::blue, Colour::accent};
    switch (kind) {
        case StatusKind::success:
            break;
        case StatusKind::warning:
            return {QStringLiteral("warning-triangle-filled"), Colour::orange, Colour::orange};
        case StatusKind::error:
            return {QStringLiteral("cross-circle-filled"), Colour::red, Colour::red};
    }
    return {QStringLiteral("check-circle-filled"), Colour::green, Colour::accent};
}

QString FeedbackBanner::message() const { return m_message->text(); }

QString FeedbackBanner::percentText() const { return m_taskRow->isHidden() ? QString() : m_percent->text(); }

void FeedbackBanner::syncFromModel() {
    const auto& status = m_model.statusMessage();
    if (status) keepRoom(true);
    setVisible(status.has_value());
    m_message->setText(status.value_or(QString()));

    m_look = look(m_model.isWorking(), m_model.statusKind());
    m_symbol->setPixmap(Icons::pixmap(m_look.symbol, kSymbolSize, Theme::color(m_look.colour)));
    update();

    const auto task = WorkbenchTexts::firstRunningTask(m_tasks.tasks());
    m_taskId = task ? task->id : QUuid();
    m_taskRow->setVisible(task.has_value());
    m_bar->setVisible(task.has_value());
    if (!task) return;
    m_percent->setText(WorkbenchTexts::percentText(task->progress));
    m_bar->setProgress(task->progress);
}

void FeedbackBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::color(m_look.tint, 0.18), 1));
    painter.setBrush(Theme::color(m_look.tint, 0.08));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}
