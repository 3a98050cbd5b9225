#include "views/main/HomePage.h"

#include "viewmodels/HomeViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/ActionCard.h"
#include "views/kit/AdaptiveGrid.h"
#include "views/kit/DropHero.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Labels.h"
#include "views/main/CurrentTaskPanel.h"
#include "views/main/RecentHistoryList.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <functional>

HomePage::HomePage(HomeViewModel& model, TasksViewModel& tasks, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_hero(new DropHero(
          QStringLiteral(u"拖入文件自动处理"), QStringLiteral(u"压缩包自动解压，普通文件自动压缩"),
          QStringLiteral(u"选择文件"), [&model](const QStringList& paths) { model.handleDropped(paths); },
          this)),
      m_banner(new FeedbackBanner(model.context(), tasks, this)),
      m_quickActions(new AdaptiveGrid(220, 18, this)),
      m_history(new RecentHistoryList(model, this)),
      m_currentTask(new CurrentTaskPanel(tasks, this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(34, 0, 34, 34);
    column->setSpacing(24);
    column->addWidget(m_hero);
    column->addWidget(m_banner);
    column->addWidget(Labels::make(QStringLiteral(u"快速操作"), Theme::TextStyle::title3, QFont::Bold));
    buildQuickActions();
    column->addWidget(m_quickActions);
    auto* panels = new QHBoxLayout;
    panels->setSpacing(24);
    panels->addWidget(m_history, 1, Qt::AlignTop);
    panels->addWidget(m_currentTask, 1, Qt::AlignTop);
    column->addLayout(panels);
    column->addStretch();

    connect(m_hero, &DropHero::actionRequested, &m_model, &HomeViewModel::selectItemsForHomeAction);
}

void HomePage::buildQuickActions() {
    const struct {
        QString title;
        QString subtitle;
        QString iconName;
        Theme::Colour colour;
        std::function<void()> action;
    } actions[] = {
        {QStringLiteral(u"一键解压"), QStringLiteral(u"智能解压到默认位置"),
         QStringLiteral("lightning-filled"), Theme::Colour::blue,
         [this] { m_model.selectArchiveAndExtract(); }},
        {QStringLiteral(u"解压到当前目录"), QStringLiteral(u"解压到文件所在目录"),
         QStringLiteral("folder-filled"), Theme::Colour::green,
         [this] { m_model.selectArchiveAndExtractInPlace(); }},
        {QStringLiteral(u"解压到指定文件夹"), QStringLiteral(u"选择目标文件夹"),
         QStringLiteral("folder-plus"), Theme::Colour::purple,
         [this] { m_model.selectArchiveAndExtractToDestination(); }},
        {QStringLiteral(u"压缩文件"), QStringLiteral(u"预置高级压缩入口"),
         QStringLiteral("archive-box-filled"), Theme::Colour::orange,
         [this] { m_model.context().setSelectedSection(WorkbenchSection::compress); }},
    };
    for (const auto& action : actions) {
        auto* card =
            new ActionCard(action.title, action.subtitle, action.iconName, action.colour, m_quickActions);
        connect(card, &ActionCard::clicked, this, action.action);
        m_quickActions->addItem(card);
    }
}
