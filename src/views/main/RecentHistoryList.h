#pragma once

#include "views/kit/Card.h"

class HomeViewModel;
class QPushButton;
class QVBoxLayout;

// The home page's card of the five newest history records, with a button to the history page, or
// "暂无最近记录" while the history is empty.
class RecentHistoryList : public Card {
    Q_OBJECT

public:
    explicit RecentHistoryList(HomeViewModel& model, QWidget* parent = nullptr);

    QPushButton* allHistoryButton() const { return m_allHistory; }
    // The file names shown, in order.
    QStringList shownFileNames() const;
    bool showsEmptyState() const;

private:
    void rebuild();

    HomeViewModel& m_model;
    QPushButton* m_allHistory;
    QVBoxLayout* m_rows;
};
