#include "views/main/CompactTaskRow.h"

#include "views/kit/CapsuleProgressBar.h"
#include "views/kit/ElidedLabel.h"
#include "views/kit/FileIcon.h"
#include "views/kit/Labels.h"
#include "views/kit/StatusBadge.h"
#include "views/kit/WorkbenchTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

ElidedLabel* captionLabel(QWidget* parent) {
    auto* label = new ElidedLabel({}, parent);
    label->setFont(Theme::font(Theme::TextStyle::caption));
    label->setColor(Theme::color(Theme::Colour::secondary));
    return label;
}

}  // namespace

CompactTaskRow::CompactTaskRow(const ArchiveTask& task, QWidget* parent)
    : Card(parent),
      m_task(task),
      m_icon(new FileIcon(task.kind, 42, this)),
      m_name(new ElidedLabel({}, this)),
      m_badge(new StatusBadge(task.status, this)),
      m_bar(new CapsuleProgressBar(8, this)),
      m_message(captionLabel(this)),
      m_target(captionLabel(this)),
      m_percent(Labels::make({}, Theme::TextStyle::callout, QFont::DemiBold)) {
    setBackground(Theme::Colour::textBackground);
    setContentMargin(16);
    setMinimumHeight(96);
    setMaximumHeight(112);
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(m_icon);

    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    auto* title = new QHBoxLayout;
    title->setSpacing(10);
    m_name->setFont(Theme::font(Theme::TextStyle::headline));
    title->addWidget(m_name, 1);
    title->addWidget(m_badge);
    column->addLayout(title);
    column->addWidget(m_bar);
    auto* details = new QHBoxLayout;
    details->setSpacing(8);
    details->addWidget(m_message, 1);
    details->addWidget(m_target, 1);
    column->addLayout(details);
    row->addLayout(column, 1);

    m_percent->setFixedWidth(44);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_percent);
    contentLayout()->addLayout(row);
    setTask(task);
}

void CompactTaskRow::setTask(const ArchiveTask& task) {
    m_task = task;
    m_icon->setKind(task.kind);
    m_name->setText(task.name);
    m_badge->setStatus(task.status);
    m_bar->setProgress(task.progress);
    m_message->setText(task.message);
    m_target->setText(task.targetPath);
    m_target->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent->setText(WorkbenchTexts::percentText(task.progress));
    QPalette palette = m_percent->palette();
    palette.setColor(QPalette::WindowText, Theme::color(Theme::statusColour(task.status)));
    m_percent->setPalette(palette);
}

QString CompactTaskRow::percentText() const { return m_percent->text(); }

double CompactTaskRow::barProgress() const { return CapsuleProgressBar::filledFraction(m_bar->progress()); }
