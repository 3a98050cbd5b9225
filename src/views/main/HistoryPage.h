#pragma once

#include <QList>
#include <QWidget>

class EmptyState;
class HistoryTableDelegate;
class HistoryViewModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;

// The history page: the store's history records as a table, filtered by kind and searched by file
// name or path, each row able to open its path; "清空记录" empties the whole history. The records, the
// filter and the search are the page's HistoryViewModel.
class HistoryPage : public QWidget {
    Q_OBJECT

public:
    explicit HistoryPage(HistoryViewModel& model, QWidget* parent = nullptr);

    // "全部记录", "解压记录", "压缩记录".
    const QList<QPushButton*>& filterButtons() const { return m_filters; }
    QLineEdit* searchField() const { return m_search; }
    QPushButton* clearButton() const { return m_clear; }
    QTableView* table() const { return m_table; }
    HistoryTableDelegate* delegate() const { return m_delegate; }
    QLabel* countLabel() const { return m_count; }
    QPushButton* previousPageButton() const { return m_previous; }
    QPushButton* nextPageButton() const { return m_next; }
    bool showsEmptyState() const;

private:
    QWidget* buildTopBar();
    QWidget* buildFilterGroup();
    QWidget* buildTableCard();
    QWidget* buildPager();
    void syncFromModel();

    HistoryViewModel& m_model;
    HistoryTableDelegate* m_delegate;
    QList<QPushButton*> m_filters;
    QLineEdit* m_search = nullptr;
    QPushButton* m_clear = nullptr;
    QStackedWidget* m_tableStack = nullptr;
    QTableView* m_table = nullptr;
    EmptyState* m_empty = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
};
