#pragma once

#include <QWidget>

class AdaptiveGrid;
class CurrentTaskPanel;
class DropHero;
class FeedbackBanner;
class HomeViewModel;
class RecentHistoryList;
class TasksViewModel;

// The page shown at launch: a drop area that extracts archives and compresses everything else, four
// quick actions, the recent history and the running task.
class HomePage : public QWidget {
    Q_OBJECT

public:
    HomePage(HomeViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);

    DropHero* dropHero() const { return m_hero; }
    FeedbackBanner* banner() const { return m_banner; }
    AdaptiveGrid* quickActions() const { return m_quickActions; }
    RecentHistoryList* recentHistory() const { return m_history; }
    CurrentTaskPanel* currentTask() const { return m_currentTask; }

private:
    void buildQuickActions();

    HomeViewModel& m_model;
    DropHero* m_hero;
    FeedbackBanner* m_banner;
    AdaptiveGrid* m_quickActions;
    RecentHistoryList* m_history;
    CurrentTaskPanel* m_currentTask;
};
