#pragma once

#include "views/kit/Card.h"

class SplitCompressViewModel;
class QLabel;
class QPushButton;
class SplitCompressionSourceList;

// Card 1 of the split-compress page: the add and clear buttons, the source list and its totals.
class SplitCompressionFileSelectionCard : public Card {
    Q_OBJECT

public:
    explicit SplitCompressionFileSelectionCard(SplitCompressViewModel& model, QWidget* parent = nullptr);

    SplitCompressionSourceList* sourceList() const { return m_list; }
    QPushButton* clearButton() const { return m_clear; }
    QString countText() const;
    QString totalText() const;

private:
    void syncFromModel();

    SplitCompressViewModel& m_model;
    SplitCompressionSourceList* m_list;
    QPushButton* m_clear;
    QLabel* m_count;
    QLabel* m_total;
};
